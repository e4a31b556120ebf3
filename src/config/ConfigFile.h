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

namespace configfile {

// The keys, as files have always spelt them.
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
    Document document;
};

// Checks the whole text before anything is applied: JSON, an object, and the
// three members present with the types above ("CANParam" and "Route" arrays,
// "FiberParam" an object).
ParseResult parse(const QByteArray& text);

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

// A route row as a file string: "1" or "0" per destination, each followed by a blank.
QString routeString(const QVector<bool>& cells);
// The cells of a route string: one per number, on when it is not 0.
QVector<bool> parseRouteString(const QString& text);

}  // namespace configfile
