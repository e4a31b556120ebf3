#include "ConfigTransfer.h"

#include "Exchange.h"

using namespace protocol;

namespace {

constexpr const char* kContext = "CorvelleRepeater";

// Family 1 --------------------------------------------------------------------

bool readFamily1Channel(Exchange& link, QByteArray& request, unsigned char* answer, int channel,
                        ConfigReadSink& sink, TransferResult* result)
{
    const char c = char(channel + 1);
    setCommand(request, f1::kReadBitTiming);
    request[4] = c;
    if (!link.exchange(request, answer, f1::kReadBitTiming.timeoutMs) ||
        answer[kFamily1StatusIndex] != kFamily1TimingReadAck) {
        *result = TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read CANBautrate fail"));
        return false;
    }
    sink.setBaudRateBytes(channel, answerBytes(answer, 5, 4));

    QList<QByteArray> records;
    for (int bank = 0; bank < f1::kFilterBanks; ++bank) {
        setCommand(request, f1::kReadFilterBank);
        request[4] = c;
        request[5] = char(bank);  // stays in the buffer for later requests
        if (!link.send(request)) {
            *result = TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read mask data fail"));
            return false;
        }
        if (!link.receive(answer, f1::kReadFilterBank.timeoutMs)) {
            *result = TransferResult::failure();  // a missing bank answer ends the read silently
            return false;
        }
        records << answerBytes(answer, 0, 14);
    }
    sink.decodeFilterBanks(channel, records);
    return true;
}

// Family 2 --------------------------------------------------------------------

// Reads the answers to one read-filters request until the device says it sent
// its last record. A device that never says so is cut off at the most records
// a channel can hold of that frame kind.
bool readFamily2FilterAnswers(Exchange& link, const QByteArray& request, int maxRecords,
                              QList<QByteArray>* records)
{
    if (!link.send(request))
        return false;
    for (int received = 0;;) {
        unsigned char answer[kBufferSize] = {};
        if (!link.receive(answer, f2::kReadFilters.timeoutMs))
            return false;
        if (answer[8] == 0)
            return true;  // none of this frame kind
        *records << answerBytes(answer, 1, 18);
        if (answer[8] == answer[9])
            return true;
        if (++received >= maxRecords)
            return false;
    }
}

bool readFamily2Channel(Exchange& link, QByteArray& request, int channel, ConfigReadSink& sink,
                        TransferResult* result)
{
    setCommand(request, f2::kReadChannel);
    request[5] = 0x00;
    request[6] = char(channel + 1);  // offset 7 keeps what the previous channel's filter request left there
    unsigned char answer[kBufferSize] = {};
    if (!link.exchange(request, answer, f2::kReadChannel.timeoutMs)) {
        *result = TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read CANBautrate fail"));
        return false;
    }
    sink.setFDConfig(channel, answer[7], answer[8], answerBytes(answer, 9, 4), answerBytes(answer, 13, 4));
    sink.setRouteWord(channel, answerBytes(answer, 17, 4));

    QList<QByteArray> records;
    setCommand(request, f2::kReadFilters);
    request[7] = 0x00;  // standard frames
    if (!readFamily2FilterAnswers(link, request, f2::kMaxStandardFilters, &records)) {
        *result =
            TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read filter standard frame fail"));
        return false;
    }
    request[7] = 0x01;  // extended frames
    if (!readFamily2FilterAnswers(link, request, f2::kMaxExtendedFilters, &records)) {
        *result =
            TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read filter extended frame fail"));
        return false;
    }
    sink.decodeFilterRecords(channel, records);
    return true;
}

}  // namespace

TransferResult TransferResult::failure(const char* text)
{
    TransferResult r;
    r.ok = false;
    if (text) {
        r.message.context = kContext;
        r.message.text = text;
    }
    return r;
}

TransferResult readFamily1Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigReadSink& sink)
{
    Exchange link(device, kFamily1);
    // One request buffer for the whole sequence, each request setting only its
    // own offsets: the device is sent the last bank number at offset 5 of the
    // requests after a channel's banks.
    QByteArray request = family1Request(f1::kReadBitTiming);
    unsigned char answer[kBufferSize] = {};
    TransferResult result;
    for (int i = 0; i < nCAN; ++i)
        if (!readFamily1Channel(link, request, answer, i, sink, &result))
            return result;

    if (nFiberOptic > 0) {
        setCommand(request, f1::kReadFibre);
        request[4] = 0x00;
        if (!link.exchange(request, answer, f1::kReadFibre.timeoutMs))
            return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read fiber data fail"));
        // The answer holds the codes from index 3; channels beyond it have none.
        for (int i = 0; i < nFiberOptic && 3 + i < kFamily1AnswerLength; ++i)
            sink.setFibreCode(i, answer[3 + i]);
    }

    setCommand(request, f1::kReadRoute);
    request[4] = 0x00;
    if (!link.exchange(request, answer, f1::kReadRoute.timeoutMs))
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read route data fail"));
    sink.decodeRouteBytes(answerBytes(answer, 0, kFamily1AnswerLength));
    return TransferResult::success();
}

TransferResult readFamily2Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigReadSink& sink)
{
    Exchange link(device, kFamily2);
    // One request buffer changed in place: offsets 6 and 7 carry the last
    // channel number and frame kind into the later requests.
    QByteArray request = family2Request(f2::kReadChannel);
    TransferResult result;
    for (int i = 0; i < nCAN; ++i)
        if (!readFamily2Channel(link, request, i, sink, &result))
            return result;

    for (int i = 0; i < nFiberOptic; ++i) {
        setCommand(request, f2::kReadFibre);
        request[5] = char(i + 1);
        unsigned char answer[kBufferSize] = {};
        if (!link.exchange(request, answer, f2::kReadFibre.timeoutMs))
            return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "read fiber data fail"));
        sink.setFibreBaud(i, answerBytes(answer, 9, 4));
        sink.setRouteWord(nCAN + i, answerBytes(answer, 13, 4));
    }
    return TransferResult::success();
}
