// Every decoder of device answers, fed through the real sequences: the
// identity of both families, the configuration reads (bit timing, filter
// banks, filter records, fibre codes and rates, route bytes and words), the
// firmware version query and the upgrade's status answers.

#include "FuzzBackend.h"

#include "device/DeviceSearch.h"
#include "operations/BitTiming.h"
#include "operations/ConfigTransfer.h"
#include "operations/FibreCodec.h"
#include "operations/FilterCodec.h"
#include "operations/Firmware.h"
#include "operations/RouteCodec.h"

namespace {

// Decodes what the read delivers exactly as the editors' decoders do.
class DecodingSink final : public ConfigReadSink {
public:
    explicit DecodingSink(route::Ports ports) : m_ports(ports) {}
    void setBaudRateBytes(int, const QByteArray& timing) override
    {
        can::decodeBitTiming(timing, can::RateList::Classic);
    }
    void decodeFilterBanks(int, const QList<QByteArray>& records) override { can::decodeFilterBanks(records); }
    void setFibreCode(int, quint8 code) override { fibre::family1IndexForCode(code, fibre::kFamily1RateCount); }
    void decodeRouteBytes(const QByteArray& answer) override
    {
        for (int s = 0; s < m_ports.nCAN + m_ports.nFiberOptic; ++s)
            route::family1AnswerRow(answer, s, m_ports);
    }
    void setFDConfig(int, int, int, const QByteArray& arbitration, const QByteArray& data) override
    {
        can::decodeBitTiming(arbitration, can::RateList::Arbitration);
        can::decodeBitTiming(data, can::RateList::Data);
    }
    void setRouteWord(int, const QByteArray& word) override { route::decodeFamily2RouteBytes(word, m_ports); }
    void decodeFilterRecords(int, const QList<QByteArray>& records) override
    {
        can::decodeFilterRecords(records);
    }
    void setFibreBaud(int, const QByteArray& baud) override
    {
        fibre::family2SelectionForRate(fibre::rateFromBytes(baud));
    }

private:
    route::Ports m_ports;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool installed = (fuzzbackend::install(), true);
    (void)installed;
    if (size < 1)
        return 0;
    const int family = data[0] & 1 ? 2 : 1;
    fuzzbackend::setInput(data + 1, size - 1);

    HIDDevice device;
    const SearchResult found = searchDevice(device, family);
    // The channel counts come from the (fuzzed) identity, as in the tool.
    const int nCAN = qBound(0, found.identity.nCAN, 4);
    const int nFibre = qBound(0, found.identity.nFiberOptic, 16);
    DecodingSink sink({nCAN, nFibre});
    if (found.driveType == 2) {
        readFamily2Config(device, nCAN, nFibre, sink);
        FirmwareVersions versions;
        queryFirmwareVersions(device, &versions);
        upgradeFirmware(device, QByteArray(70, '\x5a'), {[](int) {}, [](int) {}});
    } else {
        readFamily1Config(device, nCAN, nFibre, sink);
    }
    return 0;
}
