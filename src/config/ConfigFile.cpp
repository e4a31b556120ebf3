#include "ConfigFile.h"

#include "RepeatedKeys.h"

#include <QJsonDocument>
#include <QJsonParseError>

#include <cmath>
#include <limits>

namespace configfile {

QByteArray serialize(const QJsonArray& channels, const QStringList& baud, const QStringList& route)
{
    QJsonObject fibre;
    fibre.insert(kBaud, QJsonArray::fromStringList(baud));
    QJsonObject root;
    root.insert(kCanParam, channels);
    root.insert(kFiberParam, fibre);
    root.insert(kRoute, QJsonArray::fromStringList(route));
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ParseResult parse(const QByteArray& text)
{
    ParseResult result;
    if (text.size() > kMaxFileSize) {
        result.problem = QStringLiteral("larger than %1 bytes").arg(kMaxFileSize);
        return result;
    }
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(withoutRepeatedKeys(text, &result.repeats), &error);
    if (doc.isNull() || error.error != QJsonParseError::NoError) {
        result.parserError = error.errorString();
        result.problem =
            text.trimmed().isEmpty()
                ? QStringLiteral("empty")
                : QStringLiteral("not JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset);
        return result;
    }
    if (!doc.isObject()) {
        result.problem = QStringLiteral("not a JSON object");
        return result;
    }
    const QJsonObject root = doc.object();
    const QJsonValue channels = root.value(kCanParam);
    const QJsonValue fibre = root.value(kFiberParam);
    const QJsonValue route = root.value(kRoute);
    const char* wrong = !channels.isArray() ? kCanParam
                        : !fibre.isObject() ? kFiberParam
                        : !route.isArray()  ? kRoute
                                            : nullptr;
    if (wrong) {
        result.problem = QStringLiteral("member \"%1\" is missing or not %2")
                             .arg(QLatin1String(wrong), wrong == kFiberParam ? QStringLiteral("an object")
                                                                             : QStringLiteral("an array"));
        return result;
    }

    for (const QJsonValue& v : channels.toArray())
        result.document.channels << v.toObject();
    for (const QJsonValue& v : fibre.toObject().value(kBaud).toArray())
        result.document.baud << v.toString();
    for (const QJsonValue& v : route.toArray())
        result.document.route << v.toString();
    result.ok = true;
    return result;
}

QJsonObject classicChannel(const QString& baudRate, const QJsonArray& filters)
{
    return {{kChannelId, 0}, {kBaudRate, baudRate}, {kDataList, filters}};
}

QJsonObject canFdChannel(const QString& arbitrateRate, const QString& dataRate, int mode, int fd,
                         const QJsonArray& filters)
{
    return {
        {kChannelId, 0},     {kArbitrateRate, arbitrateRate}, {kDataRate, dataRate}, {kMode, mode}, {kFd, fd},
        {kDataList, filters}};
}

int intMember(const QJsonObject& object, const char* key)
{
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isDouble())
        return 0;
    const double d = value.toDouble();
    if (d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max() || d != std::floor(d))
        return 0;
    return int(d);
}

QString filterString(int kind, int mode, const QString& idText, const QString& maskText)
{
    return QStringLiteral("%1, %2, %3, %4").arg(kind).arg(mode).arg(idText, maskText);
}

bool parseFilterString(const QString& text, bool classic, FilterFields* fields)
{
    QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& p : parts)
        p = p.trimmed();
    if (classic && parts.size() == 5) {
        if (parts.first() == QLatin1String("0"))
            return false;
        parts.removeFirst();
    }
    while (parts.size() < 4)
        parts << QString();
    fields->kind = parts[0].toInt();
    fields->mode = parts[1].toInt();
    fields->idText = parts[2];
    fields->maskText = parts[3];
    return true;
}

QVector<FilterFields> filterFields(const QJsonObject& channel, bool classic)
{
    QVector<FilterFields> rows;
    for (const QJsonValue& v : channel.value(QLatin1String(kDataList)).toArray()) {
        if (rows.size() >= kMaxFilterRows)
            break;
        FilterFields fields;
        if (v.isString() && parseFilterString(v.toString(), classic, &fields))
            rows << fields;
    }
    return rows;
}

QString family1BaudString(const QByteArray& code)
{
    return QString::fromLatin1(code.left(1).toHex());
}

int family1BaudIndex(const QString& text)
{
    bool ok = false;
    const int code = text.toInt(&ok, 16);
    return ok && code >= 1 ? code - 1 : -1;
}

QString routeString(const QVector<bool>& cells)
{
    QString s;
    for (bool on : cells)
        s += on ? QStringLiteral("1 ") : QStringLiteral("0 ");
    return s;
}

QVector<bool> parseRouteString(const QString& text, int maxCells)
{
    // Token by token, so that a huge string costs no list of its parts.
    QVector<bool> cells;
    int start = 0;
    while (start < text.size() && (maxCells < 0 || cells.size() < maxCells)) {
        int end = text.indexOf(QLatin1Char(' '), start);
        if (end < 0)
            end = text.size();
        if (end > start)
            cells << (text.mid(start, end - start).toInt() != 0);
        start = end + 1;
    }
    return cells;
}

}  // namespace configfile
