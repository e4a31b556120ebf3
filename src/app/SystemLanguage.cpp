#include "SystemLanguage.h"

#include "SystemLanguagePlatform.h"

#include <optional>

namespace {
std::optional<QLocale>& systemOverride()
{
    static std::optional<QLocale> locale;
    return locale;
}
}  // namespace

UiLanguage languageOfLocale(const QLocale& locale)
{
    if (locale.language() == QLocale::English && locale.country() == QLocale::UnitedStates)
        return UiLanguage::English;
    if (locale.language() == QLocale::Chinese && locale.country() == QLocale::China)
        return UiLanguage::Chinese;
    return UiLanguage::None;
}

UiLanguage languageOfLangId(unsigned langId)
{
    switch (langId) {
        case 0x0409:
            return UiLanguage::English;
        case 0x0804:
            return UiLanguage::Chinese;
        default:
            return UiLanguage::None;
    }
}

UiLanguage systemDefaultLanguage()
{
    if (systemOverride())
        return languageOfLocale(*systemOverride());
    return platformDefaultLanguage();
}

void overrideSystemLanguage(const QLocale& locale)
{
    systemOverride() = locale;
}

void clearSystemLanguageOverride()
{
    systemOverride().reset();
}
