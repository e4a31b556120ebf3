#include "SystemLanguagePlatform.h"

UiLanguage platformDefaultLanguage()
{
    return languageOfLocale(QLocale::system());
}
