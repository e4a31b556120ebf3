#pragma once
// The system's default language, asked once at start-up when Config.ini says
// to follow it. Only English (United States) and Chinese (China) choose a
// language; every other system language chooses none.

#include <QLocale>

enum class UiLanguage { None, English, Chinese };

UiLanguage languageOfLocale(const QLocale& locale);
// A Windows language identifier: 0x0409 English, 0x0804 Chinese.
UiLanguage languageOfLangId(unsigned langId);

// The override when one is set, else what the platform reports.
UiLanguage systemDefaultLanguage();

// Tests make the system report this locale; clearSystemLanguageOverride ends it.
void overrideSystemLanguage(const QLocale& locale);
void clearSystemLanguageOverride();
