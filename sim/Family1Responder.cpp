#include "Responder.h"

#include "device/Protocol.h"

namespace sim {
namespace {

using namespace protocol;

constexpr int kAnswerLength = kFamily1AnswerLength;

// The report id is not delivered, so index 0 is the class byte; the
// configuration fields sit one position lower than in the write requests.
QByteArray answer(quint8 code, quint8 status)
{
    QByteArray a(kAnswerLength, '\0');
    a[0] = char(kFamily1Class);
    a[1] = char(code);
    a[2] = char(status);
    return a;
}

quint8 at(const QByteArray& bytes, int index)
{
    return quint8(bytes[index]);
}

void put(QByteArray& a, int index, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size() && index + i < a.size(); ++i)
        a[index + i] = bytes[i];
}

ChannelState* channel(DeviceData& d, int number)
{
    return number >= 1 && number <= d.state.channels.size() ? &d.state.channels[number - 1] : nullptr;
}

FilterBank* bank(DeviceData& d, int channelNumber, int bankNumber)
{
    ChannelState* ch = channel(d, channelNumber);
    if (!ch || bankNumber < 0 || bankNumber >= ch->banks.size())
        return nullptr;
    return &ch->banks[bankNumber];
}

QByteArray versionAnswer(quint8 code, const Version& v)
{
    QByteArray a = answer(code, kReadAnswered);
    a[4] = char(v.minor);
    a[5] = char(v.major);
    return a;
}

QByteArray readTiming(const QByteArray& rq, DeviceData& d)
{
    const ChannelState* ch = channel(d, at(rq, 4));
    QByteArray a = answer(f1::kReadBitTiming.code, ch ? kReadAnswered : kRefused);
    a[3] = rq[3];
    a[4] = rq[4];
    if (ch)
        put(a, 5, ch->timing);
    return a;
}

QByteArray readBank(const QByteArray& rq, DeviceData& d)
{
    const FilterBank* b = bank(d, at(rq, 4), at(rq, 5));
    QByteArray a = answer(f1::kReadFilterBank.code, b ? kReadAnswered : kRefused);
    a[3] = rq[5];
    if (b) {
        a[4] = char(b->control);
        a[5] = char(b->modeScale);
        put(a, 6, b->id);
        put(a, 10, b->mask);
    }
    return a;
}

QByteArray readFibre(DeviceData& d)
{
    QByteArray a = answer(f1::kReadFibre.code, kReadAnswered);
    for (int i = 0; i < d.state.fibres.size() && 3 + i < kAnswerLength; ++i)
        a[3 + i] = char(d.state.fibres[i].code);
    return a;
}

QByteArray readRoute(DeviceData& d)
{
    QByteArray a = answer(f1::kReadRoute.code, kReadAnswered);
    put(a, 4, d.state.routeBytes);
    return a;
}

QByteArray writeTiming(const QByteArray& rq, DeviceData& d)
{
    ChannelState* ch = channel(d, at(rq, 5));
    if (ch)
        ch->timing = rq.mid(6, 4);
    return answer(f1::kWriteBitTiming.code, ch ? kWriteAcknowledged : kRefused);
}

QByteArray writeBank(const QByteArray& rq, DeviceData& d)
{
    FilterBank* b = bank(d, at(rq, 5) & 0x0F, at(rq, 4));
    if (b) {
        b->control = at(rq, 5);
        b->modeScale = at(rq, 6);
        b->id = rq.mid(7, 4);
        b->mask = rq.mid(11, 4);
    }
    return answer(f1::kWriteFilterBank.code, b ? kWriteAcknowledged : kRefused);
}

QByteArray writeFibre(const QByteArray& rq, DeviceData& d)
{
    for (int i = 0; i < d.state.fibres.size() && 5 + i < kFamily1RequestLength; ++i)
        d.state.fibres[i].code = at(rq, 5 + i);
    return answer(f1::kWriteFibre.code, kWriteAcknowledged);
}

QByteArray writeRoute(const QByteArray& rq, DeviceData& d)
{
    d.state.routeBytes = rq.mid(5, 8);
    return answer(f1::kWriteRoute.code, kWriteAcknowledged);
}

}  // namespace

Response respondFamily1(const QByteArray& rq, DeviceData& d)
{
    Response r;
    const quint8 code = at(rq, 2);
    if (at(rq, 1) != kFamily1Class) {
        r.events << QStringLiteral("unknown request class, no answer");
        return r;
    }
    if (code == f1::kIdentify.code) {
        QByteArray a = answer(code, kReadAnswered);
        a[4] = char(d.identity.typeCode);
        r.answers << a;
    } else if (code == f1::kBoardNumber.code) {
        QByteArray a = answer(code, kReadAnswered);
        put(a, 4, d.identity.boardNumber.left(12));
        r.answers << a;
    } else if (code == f1::kHardwareVersion.code) {
        r.answers << versionAnswer(code, d.identity.hardware);
    } else if (code == f1::kFirmwareVersion.code) {
        r.answers << versionAnswer(code, d.identity.firmware);
    } else if (code == f1::kReadBitTiming.code) {
        r.answers << readTiming(rq, d);
    } else if (code == f1::kReadFilterBank.code) {
        r.answers << readBank(rq, d);
    } else if (code == f1::kReadFibre.code) {
        r.answers << readFibre(d);
    } else if (code == f1::kReadRoute.code) {
        r.answers << readRoute(d);
    } else if (code == f1::kWriteBitTiming.code) {
        r.answers << writeTiming(rq, d);
    } else if (code == f1::kWriteFilterBank.code) {
        r.answers << writeBank(rq, d);
    } else if (code == f1::kWriteFibre.code) {
        r.answers << writeFibre(rq, d);
    } else if (code == f1::kWriteRoute.code) {
        r.answers << writeRoute(rq, d);
    } else if (code == f1::kReset.code) {
        r.answers << answer(code, kWriteAcknowledged);
        r.events << QStringLiteral("reset");
    } else {
        r.events << QStringLiteral("unknown command %1, no answer").arg(code, 2, 16, QLatin1Char('0'));
    }
    if (!r.answers.isEmpty() && quint8(r.answers.first()[2]) == kRefused)
        r.events << QStringLiteral("refused: no such channel or bank");
    return r;
}

}  // namespace sim
