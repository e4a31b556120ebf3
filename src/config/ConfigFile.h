#pragma once
// The configuration file: one JSON object with the members "CANParam" (one
// object per CAN channel), "FiberParam" ({"Baud": one string per fibre
// channel}) and "Route" (one string of 0/1 digits per port). It names no
// device; it is applied by position to the editors of the connected device.
// Members of an unexpected JSON type read as missing.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include "RepeatedKeys.h"

namespace configfile {

// The keys of the file format, letter for letter ("ChannalID" included).
constexpr const char* kCanParam = "CANParam";
constexpr const char* kChannelId = "ChannalID";
constexpr const char* kBaudRate = "BaudRate";
constexpr const char* kArbitrateRate = "ArbitrateRate";
constexpr const char* kDataRate = "DataRate";
constexpr const char* kMode = "Mode";
constexpr const char* kFd = "FD";
constexpr const char* kDataList = "DataList";
constexpr const char* kFiberParam = "FiberParam";
constexpr const char* kBaud = "Baud";
constexpr const char* kRoute = "Route";

// A configuration file is a few kilobytes; a larger one is refused unread
// rather than loaded whole into memory.
constexpr int kMaxFileSize = 16 * 1024 * 1024;
// More filter rows than any device holds (14 banks; 128 + 64 records): a
// longer list is cut here instead of building the rows for minutes.
constexpr int kMaxFilterRows = 1024;

struct Document {
    QVector<QJsonObject> channels;  // "CANParam"; an element that is not an object reads as {}
    QStringList baud;               // "FiberParam"."Baud"; a non-string element reads as ""
    QStringList route;              // "Route"; likewise
};

// The file text: Qt's indented JSON (keys in ascending order, four blanks of
// indentation), UTF-8.
QByteArray serialize(const QJsonArray& channels, const QStringList& baud, const QStringList& route);

struct ParseResult {
    bool ok = false;
    QString parserError;  // the JSON parser's description; empty when the text was JSON
    QString problem;      // in English: what is wrong, with the JSON error's offset or the member
    Document document;
    // Members given twice in one object; the document holds the last of each.
    QVector<RepeatedMember> repeats;
};

// Checks the whole text before anything is applied: at most kMaxFileSize
// bytes, JSON, an object, and the three members present with the types above
// ("CANParam" and "Route" arrays, "FiberParam" an object).
ParseResult parse(const QByteArray& text);

// The channel objects as the editors give them; "ChannalID" is 0 until the
// caller numbers the channels.
QJsonObject classicChannel(const QString& baudRate, const QJsonArray& filters);
QJsonObject canFdChannel(const QString& arbitrateRate, const QString& dataRate, int mode, int fd,
                         const QJsonArray& filters);

// An integer member; 0 when it is missing, not a number, fractional or out of range.
int intMember(const QJsonObject& object, const char* key);

// One filter row as a file string: "kind, mode, id text, mask text".
QString filterString(int kind, int mode, const QString& idText, const QString& maskText);

struct FilterFields {
    int kind = 0;
    int mode = 0;
    QString idText;
    QString maskText;
};
// Reads a filter string: fields split at "," with empty fields dropped and
// blanks trimmed. A classic file may carry a fifth, leading enable flag: "0"
// skips the row (false is returned). Missing fields read as empty.
bool parseFilterString(const QString& text, bool classic, FilterFields* fields);
// The rows of a channel object's "DataList", skipped rows and elements that
// are not strings left out, at most kMaxFilterRows.
QVector<FilterFields> filterFields(const QJsonObject& channel, bool classic);

// Family 1 "Baud" strings: the entry's one-byte code as two lower-case digits
// ("0b"), empty when no entry is selected; and back, the entry index (the code
// read as hexadecimal, minus one), -1 when the text is no such number.
QString family1BaudString(const QByteArray& code);
int family1BaudIndex(const QString& text);

// A route row as a file string: "1" or "0" per destination, each followed by a blank.
QString routeString(const QVector<bool>& cells);
// The cells of a route string: one per number, on when it is not 0; no more
// than maxCells when that is not negative.
QVector<bool> parseRouteString(const QString& text, int maxCells = -1);

}  // namespace configfile
