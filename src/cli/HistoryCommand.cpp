#include "HistoryCommand.h"

#include "history/History.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

namespace cli {

namespace {

void put(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString text(const QJsonObject& record, const char* key)
{
    return record.value(QLatin1String(key)).toString();
}

// A device is named by its path or by its board number: paths are handed out
// again after an unplug, the board number stays with the device.
bool isOf(const QJsonObject& record, const QString& device)
{
    return device.isEmpty() || text(record, "device") == device || text(record, "boardNumber") == device;
}

QString localTime(const QString& stored)
{
    const QDateTime time = QDateTime::fromString(stored, Qt::ISODateWithMs);
    return time.isValid() ? time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : stored;
}

QString tableLine(const QJsonObject& r)
{
    QString line = QStringList{localTime(text(r, "time")),
                               text(r, "program") + QLatin1Char(' ') + text(r, "version"),
                               text(r, "operation"),
                               text(r, "device"),
                               text(r, "model"),
                               text(r, "boardNumber"),
                               text(r, "firmware"),
                               text(r, "result"),
                               text(r, "file"),
                               text(r, "sha256")}
                       .join(QLatin1Char('\t')) +
                   QLatin1Char('\n');
    if (!text(r, "message").isEmpty())
        line += QStringLiteral("\t%1\n").arg(text(r, "message"));
    for (const QJsonValue& value : r.value(QLatin1String("differences")).toArray()) {
        const QJsonObject d = value.toObject();
        line += QStringLiteral("\t%1\t%2\twritten %3\tread back %4\n")
                    .arg(text(d, "channel"), text(d, "field"), text(d, "written"), text(d, "readBack"));
    }
    return line;
}

}  // namespace

int printHistory(const Options& o)
{
    QString error;
    const QVector<QJsonObject> records = history::readAll(&error);
    if (!error.isEmpty()) {
        put(stderr, error + QLatin1Char('\n'));
        return kBadUsage;
    }
    int shown = 0;
    for (const QJsonObject& record : records) {
        if (!isOf(record, o.devicePath))
            continue;
        if (o.json) {
            put(stdout,
                QString::fromUtf8(QJsonDocument(record).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
        } else {
            if (shown == 0)
                put(stdout, QStringLiteral("time\tprogram\toperation\tdevice\tmodel\tboard number\tfirmware\t"
                                           "result\tfile\tSHA-256\n"));
            put(stdout, tableLine(record));
        }
        ++shown;
    }
    if (shown == 0 && !o.json)
        put(stderr, QStringLiteral("no records in %1\n").arg(history::filePath()));
    return kDone;
}

}  // namespace cli
