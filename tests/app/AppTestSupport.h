#pragma once
// Shared by the main-window tests: the window's settings file beside the test
// program, and a finished search with its result delivered.

#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

inline QString configPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Config.ini");
}

// Writes "/Language/id" as text; an empty text removes the file. Through
// QSettings, whose per-process cache would not notice a same-size rewrite
// within the file system's time resolution.
inline void writeConfig(const QString& id)
{
    {
        QSettings settings(configPath(), QSettings::IniFormat);
        settings.clear();
        if (!id.isEmpty())
            settings.setValue(QStringLiteral("Language/id"), id);
    }
    if (id.isEmpty())
        QFile::remove(configPath());
}

inline QVariant storedLanguageId()
{
    return QSettings(configPath(), QSettings::IniFormat).value(QStringLiteral("Language/id"));
}

// The search threads have ended and their showName has reached the window.
inline void finishSearch()
{
    searchthreads::waitForAll(10000);
    QCoreApplication::sendPostedEvents();
}
