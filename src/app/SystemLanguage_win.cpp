#include "SystemLanguagePlatform.h"

#include <windows.h>

UiLanguage platformDefaultLanguage()
{
    return languageOfLangId(GetSystemDefaultLangID());
}
