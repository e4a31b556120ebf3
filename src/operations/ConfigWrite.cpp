#include "ConfigTransfer.h"

#include "Exchange.h"

using namespace protocol;

namespace {

void put(QByteArray& request, int offset, const QByteArray& bytes, int count)
{
    for (int i = 0; i < count && i < bytes.size(); ++i)
        request[offset + i] = bytes[i];
}

// Sends a family-1 write and tests its acknowledgement: false with no message
// when the exchange fails, false with `nack` when the device does not answer 0x81.
bool family1Write(Exchange& link, const QByteArray& request, int timeoutMs, const char* nack,
                  TransferResult* result, bool silentTransportFailure = true)
{
    unsigned char answer[kBufferSize] = {};
    if (!link.exchange(request, answer, timeoutMs)) {
        *result = TransferResult::failure(silentTransportFailure ? nullptr : nack);
        return false;
    }
    if (answer[kFamily1StatusIndex] != kFamily1WriteAck) {
        *result = TransferResult::failure(nack);
        return false;
    }
    return true;
}

bool family2Exchange(Exchange& link, const QByteArray& request, int timeoutMs)
{
    unsigned char answer[kBufferSize] = {};
    return link.exchange(request, answer, timeoutMs);
}

TransferResult sendReset(Exchange& link)
{
    if (!link.send(family1Request(f1::kReset).left(f1::kResetRequestLength)))
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "send reset instruct fail"));
    unsigned char answer[kBufferSize] = {};
    if (!link.receive(answer, f1::kReset.timeoutMs))
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "reset fail"));
    if (answer[kFamily1StatusIndex] != kFamily1WriteAck)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "reset faild"));
    return TransferResult::success();
}

}  // namespace

QByteArray family2ChannelRequest(int channel, const Family2ChannelSettings& s)
{
    QByteArray request = family2Request(f2::kWriteChannel);
    request[6] = char(channel);
    request[7] = char(s.mode);
    const bool canFd = s.mode == 1;  // the data phase goes out only in CAN FD mode
    request[8] = char(canFd ? s.fd : 0);
    put(request, 9, s.arbitration, 4);
    if (canFd)
        put(request, 13, s.data, 4);
    put(request, 17, s.routeWord, 4);
    return request;
}

QByteArray family2FibreRequest(int fibre, const QByteArray& baud, const QByteArray& routeWord)
{
    QByteArray request = family2Request(f2::kWriteFibre);
    request[5] = char(fibre);
    put(request, 9, baud, 4);
    put(request, 13, routeWord, 4);
    return request;
}

TransferResult writeFamily1Config(HIDDevice& device, int nCAN, ConfigWriteSource& source)
{
    Exchange link(device, kFamily1);
    TransferResult result;
    for (int c = 1; c <= nCAN; ++c) {
        QByteArray timing;
        QList<QByteArray> banks;
        if (!source.channelRequests(c, &timing, &banks) || banks.isEmpty())
            return TransferResult::failure();  // the editor has shown why
        if (!family1Write(link, timing, f1::kWriteBitTiming.timeoutMs,
                          QT_TRANSLATE_NOOP("CorvelleRepeater", "set up CANBautrate fail"), &result))
            return result;
        for (const QByteArray& bank : banks)
            if (!family1Write(link, bank, f1::kWriteFilterBank.timeoutMs,
                              QT_TRANSLATE_NOOP("CorvelleRepeater", "set CAN mask fail"), &result))
                return result;
    }
    // The fibre codes go out also when the device has no fibre channel.
    if (!family1Write(link, source.fibreRequest(), f1::kWriteFibre.timeoutMs,
                      QT_TRANSLATE_NOOP("CorvelleRepeater", "set fiber fail"), &result, false))
        return result;
    if (!family1Write(link, source.routeRequest(), f1::kWriteRoute.timeoutMs,
                      QT_TRANSLATE_NOOP("CorvelleRepeater", "set route fail"), &result))
        return result;
    return sendReset(link);
}

TransferResult writeFamily2Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigWriteSource& source)
{
    Exchange link(device, kFamily2);
    for (int i = 0; i < nCAN; ++i) {
        Family2ChannelSettings settings;
        if (!source.channelSettings(i, &settings))
            return TransferResult::failure();
        if (!family2Exchange(link, family2ChannelRequest(i + 1, settings), f2::kWriteChannel.timeoutMs))
            return TransferResult::failure();
        const QList<QByteArray> filters = source.filterCommands(i + 1);
        if (filters.isEmpty())
            return TransferResult::failure();  // the device cannot be told "no filter"
        for (const QByteArray& filter : filters)
            if (!family2Exchange(link, filter, f2::kWriteFilter.timeoutMs))
                return TransferResult::failure();
    }
    for (int i = 0; i < nFiberOptic; ++i) {
        const QByteArray request =
            family2FibreRequest(i + 1, source.fibreBaudBytes(i), source.routeWord(nCAN + i));
        if (!family2Exchange(link, request, f2::kWriteFibre.timeoutMs))
            return TransferResult::failure();
    }
    if (!link.send(family2Request(f2::kFinish)))
        return TransferResult::failure();
    unsigned char answer[kBufferSize] = {};
    link.receive(answer, f2::kFinish.timeoutMs);  // whether the device answers does not matter
    return TransferResult::success();
}

bool sendFamily2Defaults(HIDDevice& device)
{
    Exchange link(device, kFamily2);
    return link.send(family2Request(f2::kRestoreDefaults));
}
