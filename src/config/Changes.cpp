#include "Changes.h"

#include "ConfigFile.h"

#include "operations/FibreCodec.h"
#include "operations/RateTables.h"
#include "operations/RegisterText.h"

#include <QCoreApplication>

namespace config {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("Changes", text);
}

// A listed rate by its entry text, any other register value as it is typed.
QString rateName(const QString& registerText, can::RateList list)
{
    const QByteArray bytes = can::rateTextToBytes(registerText);
    const can::RateTable table = can::rateTable(list);
    for (int i = 0; i < table.count; ++i) {
        const can::RateEntry& e = table.entries[i];
        if (i != table.customIndex && QByteArray::fromHex(e.registerHex) == bytes)
            return e.translated ? QCoreApplication::translate("CANParamWidget", e.text)
                                : QString::fromLatin1(e.text);
    }
    return registerText.trimmed().isEmpty() ? tr("none") : registerText.trimmed();
}

QString fibreName(const QString& text, const Shape& shape)
{
    if (text.isEmpty())
        return tr("none");
    if (shape.canFd())
        return text;
    const int index = configfile::family1BaudIndex(text);
    return index >= 0 && index < fibre::kFamily1RateCount
               ? QString::fromLatin1(fibre::kFamily1Rates[index].text)
               : text;
}

QString modeName(int mode)
{
    return mode == 0 ? QStringLiteral("CAN") : mode == 1 ? QStringLiteral("CANFD") : tr("none");
}

QString fdName(int fd)
{
    return fd == 0 ? QStringLiteral("ISO") : fd == 1 ? QStringLiteral("UN-ISO") : tr("none");
}

QString onOff(bool on)
{
    return on ? tr("on") : tr("off");
}

// The number that ends "CAN12" or "Fiber3", less one.
int indexIn(const QString& where)
{
    int start = where.size();
    while (start > 0 && where.at(start - 1).isDigit())
        --start;
    return where.mid(start).toInt() - 1;
}

// The row index in "DataList[2]".
int rowIn(const QString& field)
{
    const int open = field.indexOf(QLatin1Char('['));
    return field.mid(open + 1, field.size() - open - 2).toInt();
}

QString arrow(const QString& from, const QString& to)
{
    return QStringLiteral("%1 → %2").arg(from, to);
}

}  // namespace

namespace {

// "CAN channel 3", "CAN channels 3 to 4".
QString span(int from, int count, const char* one, const char* several)
{
    return count == 1 ? tr(one).arg(from + 1) : tr(several).arg(from + 1).arg(from + count);
}

}  // namespace

QStringList notInFile(const Configuration& file, const Shape& shape)
{
    QStringList out;
    if (file.channels.size() < shape.nCAN)
        out << span(int(file.channels.size()), shape.nCAN - int(file.channels.size()),
                    "CAN channel %1 is not in the file and takes the defaults.",
                    "CAN channels %1 to %2 are not in the file and take the defaults.");
    if (file.fibreRates.size() < shape.nFiberOptic)
        out << span(int(file.fibreRates.size()), shape.nFiberOptic - int(file.fibreRates.size()),
                    "Fiber%1 is not in the file and keeps its rate.",
                    "Fiber%1 to Fiber%2 are not in the file and keep their rates.");
    if (file.routes.size() < shape.ports().count())
        out << tr("The routes of %1 are not in the file and stay as they are.")
                   .arg(int(file.routes.size()) + 1 == shape.ports().count()
                            ? portName(int(file.routes.size()), shape)
                            : QStringLiteral("%1 to %2")
                                  .arg(portName(int(file.routes.size()), shape),
                                       portName(shape.ports().count() - 1, shape)));
    return out;
}

QString portName(int port, const Shape& shape)
{
    return port < shape.nCAN ? QStringLiteral("CAN%1").arg(port + 1)
                             : QStringLiteral("Fiber%1").arg(port - shape.nCAN + 1);
}

QVector<Change> changes(const Configuration& baseline, const Configuration& edited, const Shape& shape)
{
    QVector<Change> list;
    for (const Difference& d : differences(edited, baseline, shape)) {
        const int index = indexIn(d.where);
        const QString& from = d.readBack;
        const QString& to = d.written;
        const QString channel = tr("CAN channel %1").arg(index + 1);
        auto add = [&](Change::Field field, int item, const QString& line, const QString& device) {
            list.push_back({field, index, item, line, device});
        };
        const QByteArray field = d.field.toLatin1();
        if (field == configfile::kBaudRate || field == configfile::kArbitrateRate) {
            const can::RateList rates = shape.canFd() ? can::RateList::Arbitration : can::RateList::Classic;
            const QString name = shape.canFd() ? tr("arbitration rate") : tr("bit rate");
            add(Change::Field::CanRate, 0,
                tr("%1, %2: %3").arg(channel, name, arrow(rateName(from, rates), rateName(to, rates))),
                rateName(from, rates));
        } else if (field == configfile::kDataRate) {
            add(Change::Field::CanDataRate, 0,
                tr("%1, %2: %3")
                    .arg(channel, tr("data rate"),
                         arrow(rateName(from, can::RateList::Data), rateName(to, can::RateList::Data))),
                rateName(from, can::RateList::Data));
        } else if (field == configfile::kMode) {
            add(Change::Field::CanMode, 0,
                tr("%1, %2: %3")
                    .arg(channel, tr("mode"), arrow(modeName(from.toInt()), modeName(to.toInt()))),
                modeName(from.toInt()));
        } else if (field == configfile::kFd) {
            add(Change::Field::CanFd, 0,
                tr("%1, %2: %3")
                    .arg(channel, tr("FD standard"), arrow(fdName(from.toInt()), fdName(to.toInt()))),
                fdName(from.toInt()));
        } else if (field.startsWith(configfile::kDataList)) {
            const int row = rowIn(d.field);
            QString line;
            if (from.isEmpty())
                line = tr("%1: filter row %2 added").arg(channel).arg(row + 1);
            else if (to.isEmpty())
                line = tr("%1: filter row %2 removed").arg(channel).arg(row + 1);
            else
                line = tr("%1, filter row %2: %3").arg(channel).arg(row + 1).arg(arrow(from, to));
            add(Change::Field::CanFilter, row, line, from.isEmpty() ? tr("no row") : from);
        } else if (field == configfile::kBaud) {
            add(Change::Field::Fibre, 0,
                tr("Fiber%1: %2").arg(index + 1).arg(arrow(fibreName(from, shape), fibreName(to, shape))),
                fibreName(from, shape));
        } else if (field == configfile::kRoute) {
            // One line per route cell that differs.
            const route::Row& a = baseline.routes.at(index);
            const route::Row& b = edited.routes.at(index);
            for (int c = 0; c < qMax(a.size(), b.size()); ++c) {
                const bool wasOn = c < a.size() && a.at(c);
                const bool isOn = c < b.size() && b.at(c);
                if (wasOn != isOn)
                    add(Change::Field::Route, c,
                        tr("route %1: %2")
                            .arg(arrow(portName(index, shape), portName(c, shape)),
                                 arrow(onOff(wasOn), onOff(isOn))),
                        onOff(wasOn));
            }
        }
    }
    return list;
}

}  // namespace config
