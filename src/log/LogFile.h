#pragma once
// The log file of a program: every message of the "corvelle.*" categories,
// and warnings from anywhere, one line each with its time, appended to
// PROGRAM.log in the user's state folder (LOGDIR below). When the file
// passes kMaxLogBytes it becomes PROGRAM.log.1 (the older ones move up to
// .3, the oldest is dropped) and a new one begins.

#include <QString>

namespace corvellelog {

constexpr qint64 kMaxLogBytes = 1 << 20;
constexpr int kKeptLogs = 3;

// CORVELLE_LOG_DIR when set; else the state folder: $XDG_STATE_HOME or
// ~/.local/state, then "CorvelleRepeater"; on Windows the local application
// data folder, "CorvelleRepeater".
QString logDirectory();
// The current log file of this program (after startLog).
QString logFilePath();

// Installs the message handler. With toStandardError the same lines also go
// to standard error (corvelle-cli -v). A folder that cannot be made leaves
// the file out (and says so on standard error with toStandardError).
void startLog(const QString& program, bool toStandardError);
// A line that goes only to standard error, when toStandardError is on (the
// exchanges of corvelle-cli -v).
void traceLine(const QByteArray& line);

// Copies the kept logs, oldest first, into one file. False with the reason.
bool saveLog(const QString& fileName, QString* error);

}  // namespace corvellelog
