#pragma once
// What four bit-timing register bytes mean: the field layouts of the classic
// controller (36 MHz) and of the CAN FD controller's arbitration and data
// phases (60 MHz), both ways, and the family-1 request that writes a
// channel's timing.

#include "operations/RateTables.h"

#include <QByteArray>
#include <QString>

namespace can {

// Why four register bytes are no timing the controller can run.
enum class TimingFault {
    None,
    NotFourBytes,
    BitsOutsideFields,  // also the all-FF "custom" seed, in every layout
    JumpWidthTooLong,   // longer than segment 1 or segment 2
    TooFast,            // above what the phase carries; also the all-zero code
};

struct BitTiming {
    bool valid = false;
    TimingFault fault = TimingFault::NotFourBytes;
    int prescaler = 0;  // fields as the controller counts them (register value + 1)
    int segment1 = 0;
    int segment2 = 0;
    int jumpWidth = 0;
    qint64 bitRate = 0;        // bit/s, rounded to the nearest
    double samplePoint = 0.0;  // 0..1

    int quanta() const { return 1 + segment1 + segment2; }
};

// What a layout allows: its clock, the fastest rate its phase carries and the
// largest count each field holds (every field holds at least 1).
struct TimingLayout {
    qint64 clockHz;
    qint64 maxBitRate;
    int maxPrescaler;
    int maxSegment1;
    int maxSegment2;
    int maxJumpWidth;
};
TimingLayout timingLayout(RateList list);

// The timing these counts give in `list`'s layout: rate, sample point and
// validity; not valid, with its fault, when a count does not fit its field.
BitTiming bitTiming(RateList list, int prescaler, int segment1, int segment2, int jumpWidth);

// Decodes the bytes, first byte most significant, with the layout of `list`.
// Not valid: anything but four bytes; a bit set outside the layout's fields
// (this rejects the all-FF "custom" seed in every layout); a jump width longer
// than either segment; or a bit rate above what the phase can carry (1 Mbit/s
// classic and arbitration, 8 Mbit/s data), which also rejects the all-zero
// self-adaption code when it is read as a timing.
BitTiming decodeBitTiming(const QByteArray& bytes, RateList list);
// The four register bytes of a timing's counts; empty when a count does not
// fit its field.
QByteArray encodeBitTiming(const BitTiming& timing, RateList list);

// The hint beside a rate's register text, translated in context "CANParamWidget":
// "500 kbit/s · SP 66.7 %", or "not a valid timing".
QString bitTimingHint(const BitTiming& timing);
// Why a timing is not valid, in a sentence (context "CANParamWidget"); empty
// for a valid one.
QString bitTimingFaultText(const BitTiming& timing, RateList list);

// The family-1 write-bit-timing request: 00 12 23 06 00, the channel, the
// four timing bytes, seven zeros (17 bytes). Empty when `timing` is not four
// bytes: a cut or padded timing is never sent.
QByteArray bitTimingWriteRequest(int channel, const QByteArray& timing);

}  // namespace can
