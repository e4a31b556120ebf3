#pragma once
// Register values as the user sees them: bit timing as "0x" and eight digits,
// filter registers as four digit pairs ("1a 00 ff 07"), and the checks that
// a text holds exactly the four bytes a request has room for.

#include "operations/UserMessage.h"

#include <QByteArray>
#include <QString>

namespace can {

// Rate text to bytes: every "0x" removed (case-sensitive, so "0X" stays and
// its 0 counts as a digit), then QByteArray::fromHex, which skips other
// characters and pairs the digits from the end.
QByteArray rateTextToBytes(const QString& text);
// "0x0012000B": what a listed entry shows.
QString rateSelectionText(const QByteArray& bytes);
// "0x00040702": what a value that matches no entry shows.
QString customRateText(const QByteArray& bytes);

// Filter cell to bytes: whitespace removed, then hexadecimal pairs in text order.
QByteArray filterTextToBytes(const QString& text);
// "1a 00 ff 07".
QString filterCellText(const QByteArray& bytes);

// True when the text is exactly eight hexadecimal digits once "0x" (rate
// texts) and whitespace are removed.
bool isFourByteRateText(const QString& text);
bool isFourByteFilterText(const QString& text);

enum class RateField { BitRate, ArbitrationRate, DataRate };

// Empty when the rate text gives exactly four bytes, else the message that
// names the channel and the field (context "CANParamWidget").
UserMessage checkRateText(const QString& text, int channel, RateField field);

}  // namespace can
