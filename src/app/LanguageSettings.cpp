#include "LanguageSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace languagesettings {

namespace {
const QString kFileName = QStringLiteral("Config.ini");
}

QString settingsFilePath()
{
    const QString besideProgram = QCoreApplication::applicationDirPath();
    if (QFileInfo(besideProgram).isWritable())
        return besideProgram + QLatin1Char('/') + kFileName;
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QLatin1Char('/') + kFileName;
}

int readLanguageId()
{
    QSettings settings(settingsFilePath(), QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Language"));
    return settings.value(QStringLiteral("id"), QVariant()).toInt();
}

void writeLanguageId(int id)
{
    const QString path = settingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings settings(path, QSettings::IniFormat);
    settings.setValue(QStringLiteral("/Language/id"), id);
}

}  // namespace languagesettings
