#pragma once
// One definition per platform: SystemLanguage_linux.cpp, SystemLanguage_win.cpp.

#include "SystemLanguage.h"

UiLanguage platformDefaultLanguage();
