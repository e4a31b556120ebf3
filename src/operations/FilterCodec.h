#pragma once
// A CAN channel's acceptance filters as device bytes and back. Family 1 has
// fourteen banks per channel, always written all together; family 2 keeps a
// list of records, numbered within their frame kind.

#include "operations/UserMessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVector>

namespace can {

// One row of the filter table: the indices of the two combo boxes (-1 when a
// combo has no current entry) and the texts of the two register cells.
//   family 1: kind 0 mask mode, 1 list mode; mode 0 16-bit, 1 32-bit
//   family 2: kind 0 standard, 1 extended frame; mode 0 range, 1 clear, 2 mask ID
struct FilterRow {
    int kind = 0;
    int mode = 0;
    QString idText;
    QString maskText;
};

inline bool operator==(const FilterRow& a, const FilterRow& b)
{
    return a.kind == b.kind && a.mode == b.mode && a.idText == b.idText && a.maskText == b.maskText;
}

// The requests that write one channel's filters, or the message that refuses
// them; a refused channel gets no request at all.
struct FilterEncoding {
    QList<QByteArray> requests;
    UserMessage message;
    bool ok() const { return message.isEmpty(); }
};

// Family 1: fourteen 17-byte requests, bank 0 first; banks without a row are
// sent as not in use. Channel numbers count from 1.
FilterEncoding filterBankCommands(const QVector<FilterRow>& rows, int channel);
// Family 1: one row per bank in use, from 14-byte bank records in bank order.
QVector<FilterRow> decodeFilterBanks(const QList<QByteArray>& records);

// Family 2: zero-filled 48-byte requests, every standard-frame record first,
// then every extended-frame record; no request when there is no row.
FilterEncoding filterCommands(const QVector<FilterRow>& rows, int channel);
// Family 2: one row per 18-byte filter record.
QVector<FilterRow> decodeFilterRecords(const QList<QByteArray>& records);

}  // namespace can
