#include "operations/BitTiming.h"

#include "device/Request.h"

#include <QCoreApplication>

namespace can {

namespace {

struct Field {
    int shift;
    int width;
    quint32 mask() const { return ((1u << width) - 1u) << shift; }
    int read(quint32 value) const { return int((value >> shift) & ((1u << width) - 1u)) + 1; }
    int largest() const { return 1 << width; }
    bool fits(int count) const { return count >= 1 && count <= largest(); }
    quint32 write(int count) const { return quint32(count - 1) << shift; }
};

struct Layout {
    qint64 clockHz;
    qint64 maxBitRate;
    Field prescaler;
    Field segment1;
    Field segment2;
    Field jumpWidth;
    quint32 used() const { return prescaler.mask() | segment1.mask() | segment2.mask() | jumpWidth.mask(); }
};

constexpr Layout kClassicLayout{36000000, 1000000, {0, 10}, {16, 4}, {20, 3}, {24, 2}};
constexpr Layout kArbitrationLayout{60000000, 1000000, {16, 9}, {8, 8}, {0, 7}, {25, 7}};
constexpr Layout kDataLayout{60000000, 8000000, {16, 5}, {8, 5}, {4, 4}, {0, 4}};

const Layout& layoutOf(RateList list)
{
    switch (list) {
        case RateList::Classic:
            return kClassicLayout;
        case RateList::Arbitration:
            return kArbitrationLayout;
        case RateList::Data:
            break;
    }
    return kDataLayout;
}

QString translated(const char* text)
{
    return QCoreApplication::translate("CANParamWidget", text);
}

}  // namespace

TimingLayout timingLayout(RateList list)
{
    const Layout& l = layoutOf(list);
    return {l.clockHz,
            l.maxBitRate,
            l.prescaler.largest(),
            l.segment1.largest(),
            l.segment2.largest(),
            l.jumpWidth.largest()};
}

BitTiming bitTiming(RateList list, int prescaler, int segment1, int segment2, int jumpWidth)
{
    const Layout& l = layoutOf(list);
    BitTiming t;
    t.prescaler = prescaler;
    t.segment1 = segment1;
    t.segment2 = segment2;
    t.jumpWidth = jumpWidth;
    if (!l.prescaler.fits(prescaler) || !l.segment1.fits(segment1) || !l.segment2.fits(segment2) ||
        !l.jumpWidth.fits(jumpWidth)) {
        t.fault = TimingFault::BitsOutsideFields;
        return t;
    }
    const qint64 divisor = qint64(prescaler) * t.quanta();
    t.bitRate = (l.clockHz + divisor / 2) / divisor;
    t.samplePoint = double(1 + segment1) / t.quanta();
    if (jumpWidth > segment1 || jumpWidth > segment2)
        t.fault = TimingFault::JumpWidthTooLong;
    else if (t.bitRate > l.maxBitRate)
        t.fault = TimingFault::TooFast;
    else
        t.fault = TimingFault::None;
    t.valid = t.fault == TimingFault::None;
    return t;
}

BitTiming decodeBitTiming(const QByteArray& bytes, RateList list)
{
    if (bytes.size() != 4)
        return BitTiming{};
    const quint32 value = quint32(quint8(bytes[0])) << 24 | quint32(quint8(bytes[1])) << 16 |
                          quint32(quint8(bytes[2])) << 8 | quint32(quint8(bytes[3]));
    const Layout& l = layoutOf(list);
    BitTiming t = bitTiming(list, l.prescaler.read(value), l.segment1.read(value), l.segment2.read(value),
                            l.jumpWidth.read(value));
    if (value & ~l.used()) {
        t.valid = false;
        t.fault = TimingFault::BitsOutsideFields;
    }
    return t;
}

QByteArray encodeBitTiming(const BitTiming& timing, RateList list)
{
    const Layout& l = layoutOf(list);
    if (!l.prescaler.fits(timing.prescaler) || !l.segment1.fits(timing.segment1) ||
        !l.segment2.fits(timing.segment2) || !l.jumpWidth.fits(timing.jumpWidth))
        return {};
    const quint32 value = l.prescaler.write(timing.prescaler) | l.segment1.write(timing.segment1) |
                          l.segment2.write(timing.segment2) | l.jumpWidth.write(timing.jumpWidth);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(value >> (24 - 8 * i));
    return bytes;
}

QString bitTimingHint(const BitTiming& timing)
{
    if (!timing.valid)
        return translated("not a valid timing");
    const QString samplePoint = QString::number(timing.samplePoint * 100.0, 'f', 1);
    if (timing.bitRate >= 1000000) {
        return QCoreApplication::translate("CANParamWidget", "%1 Mbit/s · SP %2 %")
            .arg(QString::number(timing.bitRate / 1e6, 'g', 4), samplePoint);
    }
    return QCoreApplication::translate("CANParamWidget", "%1 kbit/s · SP %2 %")
        .arg(QString::number(timing.bitRate / 1e3, 'g', 4), samplePoint);
}

QString bitTimingFaultText(const BitTiming& timing, RateList list)
{
    switch (timing.fault) {
        case TimingFault::None:
            return {};
        case TimingFault::NotFourBytes:
            return translated("a timing register holds four bytes");
        case TimingFault::BitsOutsideFields:
            return translated("bits are set outside the register's fields");
        case TimingFault::JumpWidthTooLong:
            return translated("the jump width %1 is longer than segment 1 (%2) or segment 2 (%3)")
                .arg(timing.jumpWidth)
                .arg(timing.segment1)
                .arg(timing.segment2);
        case TimingFault::TooFast:
            break;
    }
    return translated("%1 bit/s is above the %2 bit/s this phase carries")
        .arg(timing.bitRate)
        .arg(layoutOf(list).maxBitRate);
}

QByteArray bitTimingWriteRequest(int channel, const QByteArray& timing)
{
    if (timing.size() != 4)
        return {};
    QByteArray request = protocol::family1Request(protocol::f1::kWriteBitTiming);
    request[5] = char(channel);
    request.replace(6, 4, timing);
    return request;
}

}  // namespace can
