#include "Responder.h"

#include "device/Protocol.h"

namespace sim {
namespace {

using namespace protocol;

constexpr int kAnswerLength = kFamily2ReportLength;

quint8 at(const QByteArray& bytes, int index)
{
    return quint8(bytes[index]);
}

quint32 bigEndian(const QByteArray& bytes, int index, int length)
{
    quint32 value = 0;
    for (int i = 0; i < length; ++i)
        value = (value << 8) | at(bytes, index + i);
    return value;
}

void put(QByteArray& a, int index, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size() && index + i < a.size(); ++i)
        a[index + i] = bytes[i];
}

void put(QByteArray& a, int index, const Version& v)
{
    a[index] = char(v.major);
    a[index + 1] = char(v.minor);
    a[index + 2] = char(v.patch);
}

// An answer starts with the request's header: report id, class, code, argument, offset 4.
QByteArray echo(const QByteArray& rq)
{
    QByteArray a(kAnswerLength, '\0');
    put(a, 0, rq.left(5));
    return a;
}

ChannelState* channel(DeviceData& d, int number)
{
    return number >= 1 && number <= d.state.channels.size() ? &d.state.channels[number - 1] : nullptr;
}

FibreState* fibre(DeviceData& d, int number)
{
    return number >= 1 && number <= d.state.fibres.size() ? &d.state.fibres[number - 1] : nullptr;
}

// A read of a channel or fibre the device does not have gets no answer.
bool found(const void* item, const char* what, int number, Response& r)
{
    if (!item)
        r.events << QStringLiteral("no %1 %2, no answer").arg(QLatin1String(what)).arg(number);
    return item != nullptr;
}

void identify(const QByteArray& rq, DeviceData& d, Response& r)
{
    QByteArray a = echo(rq);
    a[5] = char(d.identity.typeCode);
    put(a, 6, d.identity.hardware);
    put(a, 9, d.identity.firmware);
    put(a, 12, d.identity.boardNumber.left(36));
    r.answers << a;
}

void readChannel(const QByteArray& rq, DeviceData& d, Response& r)
{
    const ChannelState* ch = channel(d, at(rq, 6));
    if (!found(ch, "CAN channel", at(rq, 6), r))
        return;
    QByteArray a = echo(rq);
    a[6] = rq[6];
    a[7] = char(ch->mode);
    a[8] = char(ch->fdStandard);
    put(a, 9, ch->timing);
    put(a, 13, ch->dataTiming);
    put(a, 17, ch->routeWord);
    r.answers << a;
}

void writeChannel(const QByteArray& rq, DeviceData& d, Response& r)
{
    ChannelState* ch = channel(d, at(rq, 6));
    if (!ch) {
        r.events << QStringLiteral("no CAN channel %1, not stored").arg(at(rq, 6));
    } else {
        ch->mode = at(rq, 7);
        ch->fdStandard = at(rq, 8);
        ch->timing = rq.mid(9, 4);
        ch->dataTiming = rq.mid(13, 4);
        ch->routeWord = rq.mid(17, 4);
        // The filter writes that follow fill the lists afresh.
        ch->standardFilters.clear();
        ch->extendedFilters.clear();
    }
    r.answers << echo(rq);
}

void readFilters(const QByteArray& rq, DeviceData& d, Response& r)
{
    const ChannelState* ch = channel(d, at(rq, 6));
    if (!found(ch, "CAN channel", at(rq, 6), r))
        return;
    const quint8 frameKind = at(rq, 7);
    const QVector<FilterRecord>& list = frameKind == 0 ? ch->standardFilters : ch->extendedFilters;
    QByteArray a = echo(rq);
    a[6] = rq[6];
    a[7] = char(frameKind);
    if (list.isEmpty()) {
        r.answers << a;  // sequence number 0: none of this kind
        return;
    }
    for (int j = 0; j < list.size(); ++j) {
        a[8] = char(j + 1);
        a[9] = char(list.size());
        a[10] = char(list[j].kind);
        put(a, 11, list[j].id);
        put(a, 15, list[j].second);
        r.answers << a;
    }
}

void writeFilter(const QByteArray& rq, DeviceData& d, Response& r)
{
    ChannelState* ch = channel(d, at(rq, 6));
    const quint8 frameKind = at(rq, 7);
    const int sequence = at(rq, 8);
    const int count = at(rq, 9);
    const int limit = frameKind == 0 ? f2::kMaxStandardFilters : f2::kMaxExtendedFilters;
    r.answers << echo(rq);
    if (!ch || sequence < 1 || sequence > count || count > limit) {
        r.events
            << QStringLiteral("filter refused: channel %1, %2 of %3").arg(at(rq, 6)).arg(sequence).arg(count);
        return;
    }
    QVector<FilterRecord>& list = frameKind == 0 ? ch->standardFilters : ch->extendedFilters;
    if (list.size() < sequence)
        list.resize(sequence);
    FilterRecord& rec = list[sequence - 1];
    rec.kind = at(rq, 10);
    rec.id = rq.mid(11, 4);
    rec.second = rq.mid(15, 4);
}

void readFibre(const QByteArray& rq, DeviceData& d, Response& r)
{
    const FibreState* f = fibre(d, at(rq, 5));
    if (!found(f, "fibre channel", at(rq, 5), r))
        return;
    QByteArray a = echo(rq);
    a[5] = rq[5];
    put(a, 9, f->baud);
    put(a, 13, f->routeWord);
    r.answers << a;
}

void writeFibre(const QByteArray& rq, DeviceData& d, Response& r)
{
    FibreState* f = fibre(d, at(rq, 5));
    if (f) {
        f->baud = rq.mid(9, 4);
        f->routeWord = rq.mid(13, 4);
    } else {
        r.events << QStringLiteral("no fibre channel %1, not stored").arg(at(rq, 5));
    }
    r.answers << echo(rq);
}

void configuration(const QByteArray& rq, DeviceData& d, Response& r)
{
    const quint8 code = at(rq, 2);
    const bool write = at(rq, 3) == kFamily2Write;
    if (code == f2::kIdentify.code && !write)
        identify(rq, d, r);
    else if (code == f2::kReadChannel.code)
        write ? writeChannel(rq, d, r) : readChannel(rq, d, r);
    else if (code == f2::kReadFilters.code)
        write ? writeFilter(rq, d, r) : readFilters(rq, d, r);
    else if (code == f2::kReadFibre.code)
        write ? writeFibre(rq, d, r) : readFibre(rq, d, r);
    else if (code == f2::kRestoreDefaults.code && write) {
        d.state = factoryState(d.family, d.model);  // answers nothing
        r.events << QStringLiteral("factory configuration restored");
    } else if (code == f2::kFinish.code && write)
        r.answers << echo(rq);
    else
        r.events << QStringLiteral("unknown command %1, no answer").arg(code, 2, 16, QLatin1Char('0'));
}

QByteArray status(const QByteArray& rq, quint8 value)
{
    QByteArray a = echo(rq);
    a[kFamily2StatusIndex] = char(value);
    return a;
}

void upgrade(const QByteArray& rq, DeviceData& d, Response& r)
{
    const quint8 code = at(rq, 2);
    if (at(rq, 3) != f2::kUpgradeLength.argument) {
        r.answers << status(rq, kStatusWrongInstruction);
    } else if (code == f2::kUpgradeLength.code) {
        r.answers << status(
            rq, at(rq, 4) != 0 ? kStatusWrongInstruction : d.firmware.announce(bigEndian(rq, 5, 4)));
    } else if (code == f2::kUpgradeBlock.code) {
        r.answers << status(rq, d.firmware.block(bigEndian(rq, 4, 4), rq.mid(8, f2::kUpgradeBlockSize)));
    } else if (code == f2::kUpgradeChecksum.code) {
        const quint8 s = d.firmware.checksum(quint16(bigEndian(rq, 4, 2)));
        if (s == kStatusAccepted) {
            r.events << QStringLiteral("firmware image of %1 bytes accepted")
                            .arg(d.firmware.acceptedImage().size());
            if (const auto v = versionMarkedIn(d.firmware.acceptedImage()))
                d.identity.firmware = *v;
        }
        r.answers << status(rq, s);
    } else {
        r.answers << status(rq, kStatusWrongInstruction);
    }
}

void firmware(const QByteArray& rq, DeviceData& d, Response& r)
{
    if (at(rq, 2) == f2::kQueryVersions.code && at(rq, 3) == f2::kQueryVersions.argument) {
        QByteArray a = status(rq, kStatusAccepted);
        put(a, 5, d.identity.bootloader);
        put(a, 8, d.identity.firmware);
        r.answers << a;
    } else {
        upgrade(rq, d, r);
    }
}

}  // namespace

Response respondFamily2(const QByteArray& rq, DeviceData& d)
{
    Response r;
    if (at(rq, 1) == kFamily2ConfigClass)
        configuration(rq, d, r);
    else if (at(rq, 1) == kFamily2FirmwareClass)
        firmware(rq, d, r);
    else
        r.events << QStringLiteral("unknown request class, no answer");
    return r;
}

}  // namespace sim
