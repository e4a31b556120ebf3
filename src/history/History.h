#pragma once
// The history of every write, defaults and upgrade that either program sent to
// a device: one JSON object a line in a file shared by the window and
// corvelle-cli, in the user's data folder. Appends are safe across threads and
// processes; the oldest records go when the file grows beyond kMaxBytes.

#include "config/Configuration.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QString>
#include <QVector>

#include <functional>

namespace history {

// Past this size the oldest records are dropped until kKeepBytes remain.
constexpr qint64 kMaxBytes = 4 * 1024 * 1024;
constexpr qint64 kKeepBytes = 3 * 1024 * 1024;

struct Record {
    QString program;    // "corvelle-cli", "corvelle-repeater"
    QString operation;  // "write", "defaults", "upgrade"
    QString devicePath;
    QString model;
    QString boardNumber;
    QString firmware;  // the version the device reported when it was found
    QString file;      // the configuration file or firmware image; empty: none (the window's editors)
    QString sha256;    // of the file's bytes, or of what was written when there is no file
    QString result;    // "ok", "failed", "different" (a verify found differences)
    QString message;   // why it failed
    QVector<config::Difference> differences;
    QDateTime time;  // when it ended; none: when it is appended
};

// The history file: $CORVELLE_HISTORY_FILE, or a setFilePath() of the tests,
// or corvelle-repeater/history.jsonl in the user's data folder.
QString filePath();
void setFilePath(const QString& path);  // empty: back to the default

// Stamps the time and the program's version and appends the record as one
// line. Returns an empty string, or why the history could not be written.
QString append(const Record& record);

// As append, on a thread of the history's own, so that an operation does not
// wait for the disk (the lock file alone syncs to it). content() gives the
// bytes whose SHA-256 the record keeps when it has none; failed gets why the
// history could not be written, on that thread. Records are appended in the
// order given.
void appendLater(Record record, std::function<QByteArray()> content,
                 std::function<void(const QString&)> failed);
// Returns when every record given to appendLater is in the file; readAll
// waits so too. A program waits before it ends.
void waitForPending();

// Every readable record, oldest first; *error is set when the file exists
// but cannot be read. Lines that are not JSON objects are skipped.
QVector<QJsonObject> readAll(QString* error = nullptr);

QJsonObject toJson(const Record& record);
QString sha256Hex(const QByteArray& bytes);
// The SHA-256 of a file's bytes; empty when it cannot be read.
QString fileSha256(const QString& fileName);

}  // namespace history
