# Helpers shared by the tool, the test suite and the benchmarks.

# Sanitizer builds: any report fails the test. Qt itself is not instrumented;
# the suppression files name only what is Qt's own.
set(_san ${PROJECT_SOURCE_DIR}/tests/sanitizers)
set(CORVELLE_SANITIZER_ENV
  "ASAN_OPTIONS=halt_on_error=1:detect_leaks=1"
  "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
  "LSAN_OPTIONS=suppressions=${_san}/lsan.supp:print_suppressions=0"
  "TSAN_OPTIONS=halt_on_error=1:suppressions=${_san}/tsan.supp")

# Every program links the resources directly: they are an object library, so
# their registration code is kept by the linker.
function(corvelle_link_program target)
  target_link_libraries(${target} PRIVATE corvelle_resources ${ARGN})
endfunction()

# corvelle_add_test(NAME name SOURCES a.cpp b.cpp LIBS lib1 lib2 [ENV VAR=value ...] [TIMEOUT s])
# A Qt Test program run by CTest on the offscreen platform.
function(corvelle_add_test)
  cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  # Each test program in a folder of its own: the tool keeps Config.ini beside
  # its executable, and tests run in parallel.
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/${T_NAME})
  corvelle_link_program(${T_NAME} Qt::Test ${T_LIBS})
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # The history of writes goes beside the test, never into the user's data folder.
  set_tests_properties(${T_NAME} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_QPA_FONTDIR=/usr/share/fonts;${CORVELLE_SANITIZER_ENV};CORVELLE_HISTORY_FILE=${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}/history.jsonl;CORVELLE_LOG_DIR=${CMAKE_CURRENT_BINARY_DIR}/${T_NAME}/log;${T_ENV}")
endfunction()

# corvelle_library(name dir LIBS ...): a static library of every .cpp, .h and
# .ui file in dir (main.cpp excepted). Files ending in _win.cpp build only on
# Windows, files ending in _linux.cpp only elsewhere.
function(corvelle_library name dir)
  cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h ${dir}/*.ui)
  list(FILTER files EXCLUDE REGEX "/main\\.cpp$")
  if(WIN32)
    list(FILTER files EXCLUDE REGEX "_linux\\.cpp$")
  else()
    list(FILTER files EXCLUDE REGEX "_win\\.cpp$")
  endif()
  set(compiled ${files})
  list(FILTER compiled INCLUDE REGEX "\\.(cpp|ui)$")
  if(compiled)
    add_library(${name} STATIC ${files})
    set(scope PUBLIC)
  else()
    add_library(${name} INTERFACE)  # headers only, so far
    set(scope INTERFACE)
  endif()
  target_include_directories(${name} ${scope} ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR} ${dir})
  target_link_libraries(${name} ${scope} ${L_LIBS})
endfunction()
