#include "DeviceState.h"

#include "device/Protocol.h"

namespace sim {
namespace {

// Listed entries of the tool's rate lists: classic "500K", arbitration
// "500K", data "2M"; fibre "1380K" (family 1) and 115200 bit/s (family 2).
const QByteArray kClassic500K = QByteArray::fromHex("0012000b");
const QByteArray kArbitration500K = QByteArray::fromHex("00070a02");
const QByteArray kData2M = QByteArray::fromHex("00010930");
constexpr quint8 kFibre1380K = 0x0B;
const QByteArray kFibre115200 = QByteArray::fromHex("0001c200");

bool routed(int source, int destination)
{
    return source != destination;
}

}  // namespace

quint8 family1RouteByte(int sourcePort, int nCAN, int nFibre)
{
    quint8 byte = 0;
    for (int j = 0; j < qMin(nCAN, 4); ++j)
        if (routed(sourcePort, j))
            byte |= quint8(0x80 >> j);
    for (int k = 0; k < qMin(nFibre, 4); ++k)
        if (routed(sourcePort, nCAN + k))
            byte |= quint8(0x08 >> k);
    return byte;
}

QByteArray family2RouteWord(int sourcePort, int nCAN, int nFibre)
{
    quint32 word = 0;
    for (int j = 0; j < qMin(nCAN, 16); ++j)
        if (routed(sourcePort, j))
            word |= 0x80000000u >> j;
    for (int k = 0; k < qMin(nFibre, 16); ++k)
        if (routed(sourcePort, nCAN + k))
            word |= 0x8000u >> k;
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char(word >> (24 - 8 * i));
    return bytes;
}

DeviceState factoryState(int family, const models::Model& model)
{
    DeviceState s;
    const int nCAN = model.nCAN;
    const int nFibre = model.nFiberOptic;
    s.channels.resize(nCAN);
    for (int c = 0; c < nCAN; ++c) {
        ChannelState& ch = s.channels[c];
        if (family == protocol::kFamily1) {
            ch.timing = kClassic500K;
            ch.banks.resize(protocol::f1::kFilterBanks);
            for (FilterBank& bank : ch.banks)
                bank.control = quint8((c + 1) & 0x0F);
            ch.banks[0].control |= 0x80;
            ch.banks[0].modeScale = 0x01;  // mask mode, 32 bits, mask 0: passes everything
        } else {
            ch.timing = kArbitration500K;
            ch.mode = 1;
            ch.dataTiming = kData2M;
            ch.routeWord = family2RouteWord(c, nCAN, nFibre);
            FilterRecord all;
            all.kind = 2;  // mask 0: passes every standard frame
            ch.standardFilters << all;
        }
    }
    s.fibres.resize(nFibre);
    for (int f = 0; f < nFibre; ++f) {
        s.fibres[f].code = family == protocol::kFamily1 ? kFibre1380K : 0;
        if (family == protocol::kFamily2) {
            s.fibres[f].baud = kFibre115200;
            s.fibres[f].routeWord = family2RouteWord(nCAN + f, nCAN, nFibre);
        }
    }
    if (family == protocol::kFamily1) {
        for (int c = 0; c < qMin(nCAN, 4); ++c)
            s.routeBytes[c] = char(family1RouteByte(c, nCAN, nFibre));
        for (int f = 0; f < qMin(nFibre, 4); ++f)
            s.routeBytes[4 + f] = char(family1RouteByte(nCAN + f, nCAN, nFibre));
    }
    return s;
}

Identity factoryIdentity(int family, const models::Model& model)
{
    Identity id;
    id.typeCode = model.typeCode;
    if (family == protocol::kFamily1) {
        id.hardware = {1, 5, 0};
        id.firmware = {2, 3, 0};
        id.boardNumber = "SIM1000042";
    } else {
        id.hardware = {1, 0, 0};
        id.firmware = {2, 1, 0};
        id.bootloader = {1, 0, 2};
        id.boardNumber = "SIM2000042";
    }
    return id;
}

}  // namespace sim
