#pragma once
// What four bit-timing register bytes mean: the field layouts of the classic
// controller (36 MHz) and of the CAN FD controller's arbitration and data
// phases (60 MHz), and the family-1 request that writes a channel's timing.

#include "operations/RateTables.h"

#include <QByteArray>
#include <QString>

namespace can {

struct BitTiming {
    bool valid = false;
    int prescaler = 0;  // fields as the controller counts them (register value + 1)
    int segment1 = 0;
    int segment2 = 0;
    int jumpWidth = 0;
    qint64 bitRate = 0;        // bit/s
    double samplePoint = 0.0;  // 0..1
};

// Decodes the bytes, first byte most significant, with the layout of `list`.
// Not valid: anything but four bytes; a bit set outside the layout's fields
// (this rejects the all-FF "custom" seed in every layout); a jump width longer
// than either segment; or a bit rate above what the phase can carry (1 Mbit/s
// classic and arbitration, 8 Mbit/s data), which also rejects the all-zero
// self-adaption code when it is read as a timing.
BitTiming decodeBitTiming(const QByteArray& bytes, RateList list);

// The hint beside a rate's register text, translated in context "CANParamWidget":
// "500 kbit/s · SP 66.7 %", or "not a valid timing".
QString bitTimingHint(const BitTiming& timing);

// The family-1 write-bit-timing request: 00 12 23 06 00, the channel, the
// four timing bytes, seven zeros (17 bytes). Empty when `timing` is not four
// bytes: a cut or padded timing is never sent.
QByteArray bitTimingWriteRequest(int channel, const QByteArray& timing);

}  // namespace can
