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
};

struct Layout {
    qint64 clockHz;
    qint64 maxBitRate;
    Field prescaler;
    Field segment1;
    Field segment2;
    Field jumpWidth;
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

}  // namespace

BitTiming decodeBitTiming(const QByteArray& bytes, RateList list)
{
    BitTiming t;
    if (bytes.size() != 4)
        return t;
    const quint32 value = quint32(quint8(bytes[0])) << 24 | quint32(quint8(bytes[1])) << 16 |
                          quint32(quint8(bytes[2])) << 8 | quint32(quint8(bytes[3]));
    const Layout& l = layoutOf(list);
    const quint32 used = l.prescaler.mask() | l.segment1.mask() | l.segment2.mask() | l.jumpWidth.mask();
    if (value & ~used)
        return t;
    t.prescaler = l.prescaler.read(value);
    t.segment1 = l.segment1.read(value);
    t.segment2 = l.segment2.read(value);
    t.jumpWidth = l.jumpWidth.read(value);
    const int quanta = 1 + t.segment1 + t.segment2;
    t.bitRate = l.clockHz / (qint64(t.prescaler) * quanta);
    t.samplePoint = double(1 + t.segment1) / quanta;
    t.valid = t.jumpWidth <= t.segment1 && t.jumpWidth <= t.segment2 && t.bitRate <= l.maxBitRate;
    return t;
}

QString bitTimingHint(const BitTiming& timing)
{
    if (!timing.valid)
        return QCoreApplication::translate("CANParamWidget", "not a valid timing");
    const QString samplePoint = QString::number(timing.samplePoint * 100.0, 'f', 1);
    if (timing.bitRate >= 1000000) {
        return QCoreApplication::translate("CANParamWidget", "%1 Mbit/s · SP %2 %")
            .arg(QString::number(timing.bitRate / 1e6, 'g', 4), samplePoint);
    }
    return QCoreApplication::translate("CANParamWidget", "%1 kbit/s · SP %2 %")
        .arg(QString::number(timing.bitRate / 1e3, 'g', 4), samplePoint);
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
