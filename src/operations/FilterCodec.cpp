#include "operations/FilterCodec.h"

#include "device/Request.h"
#include "operations/RegisterText.h"

namespace can {

namespace {

constexpr const char* kContext = "CANParamWidget";

constexpr quint8 kBankInUse = 0x80;
constexpr quint8 kListModeBit = 0x10;
constexpr quint8 kScale32Bit = 0x01;
constexpr int kBankRecordLength = 14;
constexpr int kFilterRecordLength = 18;

constexpr quint32 kStandardIdLimit = 0x7FF;
constexpr quint32 kExtendedIdLimit = 0x1FFFFFFF;

UserMessage message(const char* text)
{
    return {kContext, text, {}};
}

UserMessage message(const char* text, int channel)
{
    return {kContext, text, {QString::number(channel)}};
}

UserMessage message(const char* text, int channel, int filter)
{
    return {kContext, text, {QString::number(channel), QString::number(filter)}};
}

// Rows whose combo boxes lost their entry (an index from a file beyond the
// list) are refused rather than sent with a made-up mode or a kind of 0xFF.
UserMessage checkRow(const FilterRow& row, int kindCount, int modeCount, const char* choiceText, int channel,
                     int filter)
{
    if (row.kind < 0 || row.kind >= kindCount || row.mode < 0 || row.mode >= modeCount)
        return message(choiceText, channel, filter);
    if (!isFourByteFilterText(row.idText)) {
        return message(
            QT_TRANSLATE_NOOP("CANParamWidget",
                              "channel %1: the ID register of filter %2 must be 8 hexadecimal digits"),
            channel, filter);
    }
    if (!isFourByteFilterText(row.maskText)) {
        return message(
            QT_TRANSLATE_NOOP("CANParamWidget",
                              "channel %1: the mask register of filter %2 must be 8 hexadecimal digits"),
            channel, filter);
    }
    return {};
}

QByteArray bankRequest(int channel, int bank)
{
    QByteArray request = protocol::family1Request(protocol::f1::kWriteFilterBank);
    request[4] = char(bank);
    request[5] = char(channel & 0x0F);
    return request;
}

QByteArray bankRequest(int channel, int bank, const FilterRow& row)
{
    QByteArray request = bankRequest(channel, bank);
    request[5] = char(kBankInUse | (channel & 0x0F));
    request[6] = char((row.kind != 0 ? kListModeBit : 0) | (row.mode != 0 ? kScale32Bit : 0));
    request.replace(7, 4, filterTextToBytes(row.idText));
    request.replace(11, 4, filterTextToBytes(row.maskText));
    return request;
}

QByteArray filterRequest(int channel, const FilterRow& row)
{
    QByteArray request = protocol::family2Request(protocol::f2::kWriteFilter);
    request[6] = char(channel);
    request[7] = char(row.kind);
    request[10] = char(row.mode);
    request.replace(11, 4, filterTextToBytes(row.idText));
    request.replace(15, 4, filterTextToBytes(row.maskText));
    return request;
}

void numberWithinKind(QList<QByteArray>& requests)
{
    for (int j = 0; j < requests.size(); ++j) {
        requests[j][8] = char(j + 1);
        requests[j][9] = char(requests.size());
    }
}

}  // namespace

FilterEncoding filterBankCommands(const QVector<FilterRow>& rows, int channel)
{
    constexpr int banks = protocol::f1::kFilterBanks;
    if (rows.size() > banks)
        return {{}, message(QT_TRANSLATE_NOOP("CANParamWidget", "channel %1: filter at most 14"), channel)};
    FilterEncoding out;
    for (int r = 0; r < rows.size(); ++r) {
        UserMessage refusal =
            checkRow(rows[r], 2, 2,
                     QT_TRANSLATE_NOOP("CANParamWidget",
                                       "channel %1: choose the work mode and bit width of filter %2"),
                     channel, r + 1);
        if (!refusal.isEmpty())
            return {{}, refusal};
        out.requests << bankRequest(channel, r, rows[r]);
    }
    for (int b = rows.size(); b < banks; ++b)
        out.requests << bankRequest(channel, b);
    return out;
}

QVector<FilterRow> decodeFilterBanks(const QList<QByteArray>& records)
{
    QVector<FilterRow> rows;
    for (const QByteArray& record : records) {
        // A short record is no bank answer; like a bank number past 13 it ends the list.
        if (record.size() < kBankRecordLength || qint8(record[3]) > protocol::f1::kFilterBanks - 1)
            break;
        if (!(quint8(record[4]) & kBankInUse))
            continue;
        const quint8 modeBits = quint8(record[5]);
        rows.push_back({(modeBits & kListModeBit) ? 1 : 0, (modeBits & kScale32Bit) ? 1 : 0,
                        filterCellText(record.mid(6, 4)), filterCellText(record.mid(10, 4))});
    }
    return rows;
}

FilterEncoding filterCommands(const QVector<FilterRow>& rows, int channel)
{
    QList<QByteArray> standard;
    QList<QByteArray> extended;
    int standardCount = 0;
    int extendedCount = 0;
    for (int r = 0; r < rows.size(); ++r) {
        const FilterRow& row = rows[r];
        if (row.kind == 0)
            ++standardCount;
        else
            ++extendedCount;
        if (standardCount > protocol::f2::kMaxStandardFilters)
            return {{},
                    message(QT_TRANSLATE_NOOP("CANParamWidget", "channel %1: standard frame at most 128"),
                            channel)};
        if (extendedCount > protocol::f2::kMaxExtendedFilters)
            return {{},
                    message(QT_TRANSLATE_NOOP("CANParamWidget", "channel %1: extended frame at most 64"),
                            channel)};
        UserMessage refusal =
            checkRow(row, 2, 3,
                     QT_TRANSLATE_NOOP("CANParamWidget", "channel %1: choose the type and mode of filter %2"),
                     channel, r + 1);
        if (!refusal.isEmpty())
            return {{}, refusal};
        const quint32 limit = row.kind == 0 ? kStandardIdLimit : kExtendedIdLimit;
        if (filterTextToBytes(row.idText).toHex().toUInt(nullptr, 16) > limit) {
            return {{},
                    message(QT_TRANSLATE_NOOP(
                        "CANParamWidget", "standard frame ID<=0x000007FF\nextended frame ID<=0x1FFFFFFF"))};
        }
        if (filterTextToBytes(row.maskText).toHex().toUInt(nullptr, 16) > limit) {
            return {
                {},
                message(QT_TRANSLATE_NOOP(
                    "CANParamWidget", "standard frame MASK<=0x000007FF\nextended frame MASK<=0x1FFFFFFF"))};
        }
        (row.kind == 0 ? standard : extended) << filterRequest(channel, row);
    }
    numberWithinKind(standard);
    numberWithinKind(extended);
    return {standard + extended, {}};
}

QVector<FilterRow> decodeFilterRecords(const QList<QByteArray>& records)
{
    QVector<FilterRow> rows;
    for (const QByteArray& record : records) {
        if (record.size() < kFilterRecordLength)
            continue;
        rows.push_back({quint8(record[6]), quint8(record[9]), filterCellText(record.mid(10, 4)),
                        filterCellText(record.mid(14, 4))});
    }
    return rows;
}

}  // namespace can
