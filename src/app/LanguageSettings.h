#pragma once
// The settings file Config.ini and its one key, "/Language/id": 0 Chinese,
// 1 English, −1 follow the system language.

#include <QString>

namespace languagesettings {

constexpr int kChinese = 0;
constexpr int kEnglish = 1;
constexpr int kFollowSystem = -1;

// Beside the executable; where that folder cannot be written (an installed
// tool), the same file name in the user's configuration folder.
QString settingsFilePath();
// 0 for a missing file, a missing key or a value that is not a number.
int readLanguageId();
void writeLanguageId(int id);

}  // namespace languagesettings
