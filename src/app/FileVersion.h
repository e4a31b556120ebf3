#pragma once
// The version of the running program as the About dialog shows it: on
// Windows the FileVersion of the executable's version resource, elsewhere the
// version compiled in. Empty when there is none.

#include <QString>

QString readFileVersion();

// The value path of the FileVersion string for a translation pair of a version
// resource, each number as four lower-case hexadecimal digits: language
// 0x0409 and code page 0x04E4 give "\StringFileInfo\040904e4\FileVersion".
QString fileVersionQueryPath(unsigned language, unsigned codePage);
