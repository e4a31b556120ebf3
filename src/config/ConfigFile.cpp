#include "ConfigFile.h"

#include <QJsonDocument>
#include <QJsonParseError>

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
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (doc.isNull() || error.error != QJsonParseError::NoError) {
        result.parserError = error.errorString();
        return result;
    }
    if (!doc.isObject())
        return result;
    const QJsonObject root = doc.object();
    const QJsonValue channels = root.value(kCanParam);
    const QJsonValue fibre = root.value(kFiberParam);
    const QJsonValue route = root.value(kRoute);
    if (!channels.isArray() || !fibre.isObject() || !route.isArray())
        return result;

    for (const QJsonValue& v : channels.toArray())
        result.document.channels << v.toObject();
    for (const QJsonValue& v : fibre.toObject().value(kBaud).toArray())
        result.document.baud << v.toString();
    for (const QJsonValue& v : route.toArray())
        result.document.route << v.toString();
    result.ok = true;
    return result;
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

QString routeString(const QVector<bool>& cells)
{
    QString s;
    for (bool on : cells)
        s += on ? QStringLiteral("1 ") : QStringLiteral("0 ");
    return s;
}

QVector<bool> parseRouteString(const QString& text)
{
    QVector<bool> cells;
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& p : parts)
        cells << (p.toInt() != 0);
    return cells;
}

}  // namespace configfile
