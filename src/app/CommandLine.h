#pragma once
// The program's own options. They are read from argv before the Qt
// application exists, so --help and --version need no display; options this
// parser does not know are left for Qt.

#include <QString>
#include <QStringList>

struct CommandLine {
    enum Action { Run, ShowHelp, ShowVersion, Fail };
    Action action = Run;
    bool simulate = false;
    QStringList simulateValues;  // one virtual device each; an empty one: the default device
    int simLatencyMs = 0;
    QString recordFile;  // --record: the session recorded to this file
    QString replayFile;  // --replay: a recording served as the device
    bool replayTiming = false;
    QString error;  // for Fail
};

// arguments[0] is the program.
CommandLine parseCommandLine(const QStringList& arguments);
QString usageText();
QString versionText();
