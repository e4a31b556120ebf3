// The encoders of what the user typed: filter rows of both families and rate
// register texts, from arbitrary text.

#include "operations/BitTiming.h"
#include "operations/FilterCodec.h"
#include "operations/RegisterText.h"

#include <QString>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), int(size));
    const QStringList lines = text.split(QLatin1Char('\n'));
    QVector<can::FilterRow> rows;
    for (const QString& line : lines) {
        const QStringList f = line.split(QLatin1Char('|'));
        can::FilterRow row;
        row.kind = f.value(0).toInt();
        row.mode = f.value(1).toInt();
        row.idText = f.value(2);
        row.maskText = f.value(3);
        rows << row;
    }
    const int channel = size ? data[0] % 16 : 1;
    can::filterBankCommands(rows, channel);
    can::filterCommands(rows, channel);
    for (const QString& line : lines) {
        const QByteArray bytes = can::rateTextToBytes(line);
        can::decodeBitTiming(bytes, can::RateList::Classic);
        can::decodeBitTiming(bytes, can::RateList::Data);
        can::bitTimingWriteRequest(channel, bytes);
        can::checkRateText(line, channel, can::RateField::BitRate);
        can::filterCellText(can::filterTextToBytes(line));
    }
    return 0;
}
