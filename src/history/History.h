#pragma once
// The history of every write, defaults and upgrade that either program sent to
// a device: one JSON object a line in a file shared by the window and
// corvelle-cli, in the user's data folder. Appends are safe across threads and
// processes; the oldest records go when the file grows beyond kMaxBytes.

#include "config/Configuration.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QVector>

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
};

// The history file: $CORVELLE_HISTORY_FILE, or a setFilePath() of the tests,
// or corvelle-repeater/history.jsonl in the user's data folder.
QString filePath();
void setFilePath(const QString& path);  // empty: back to the default

// Stamps the time and the program's version and appends the record as one
// line. Returns an empty string, or why the history could not be written.
QString append(const Record& record);

// Every readable record, oldest first; *error is set when the file exists
// but cannot be read. Lines that are not JSON objects are skipped.
QVector<QJsonObject> readAll(QString* error = nullptr);

QJsonObject toJson(const Record& record);
QString sha256Hex(const QByteArray& bytes);
// The SHA-256 of a file's bytes; empty when it cannot be read.
QString fileSha256(const QString& fileName);

}  // namespace history
