#include "operations/RouteCodec.h"

#include "device/Request.h"

namespace route {

namespace {

bool forwarded(const Row& row, int destination)
{
    return destination < row.size() && row[destination];
}

// A row as the bits of the destinations it forwards to, in either family's layout.
template <typename Bits>
Bits packRow(const Row& row, Ports ports, Bits (*bitOf)(int, Ports))
{
    Bits bits = 0;
    for (int d = 0; d < ports.count(); ++d) {
        if (forwarded(row, d))
            bits |= bitOf(d, ports);
    }
    return bits;
}

template <typename Bits>
Row unpackRow(Bits bits, Ports ports, Bits (*bitOf)(int, Ports))
{
    Row row(ports.count(), false);
    for (int d = 0; d < ports.count(); ++d)
        row[d] = (bits & bitOf(d, ports)) != 0;
    return row;
}

}  // namespace

Matrix defaultMatrix(Ports ports)
{
    Matrix matrix(ports.count(), Row(ports.count(), true));
    for (int p = 0; p < ports.count(); ++p)
        matrix[p][p] = false;
    return matrix;
}

std::uint8_t family1DestinationBit(int destination, Ports ports)
{
    if (destination < 0 || destination >= ports.count())
        return 0;
    if (destination < ports.nCAN)
        return destination < kFamily1MaxCAN ? std::uint8_t(0x80 >> destination) : 0;
    const int k = destination - ports.nCAN;
    return k < kFamily1MaxFibre ? std::uint8_t(0x08 >> k) : 0;
}

std::uint8_t family1RouteByte(const Row& row, Ports ports)
{
    return packRow(row, ports, family1DestinationBit);
}

Row decodeFamily1RouteByte(std::uint8_t byte, Ports ports)
{
    return unpackRow(byte, ports, family1DestinationBit);
}

QByteArray family1RouteRequest(const Matrix& matrix, Ports ports)
{
    QByteArray request = protocol::family1Request(protocol::f1::kWriteRoute);
    for (int i = 0; i < qMin(ports.nCAN, kFamily1MaxCAN) && i < matrix.size(); ++i)
        request[kFamily1CanSourceOffset + i] = char(family1RouteByte(matrix[i], ports));
    for (int m = 0; m < qMin(ports.nFiberOptic, kFamily1MaxFibre) && ports.nCAN + m < matrix.size(); ++m)
        request[kFamily1FibreSourceOffset + m] = char(family1RouteByte(matrix[ports.nCAN + m], ports));
    return request;
}

std::optional<Row> family1AnswerRow(const QByteArray& answer, int source, Ports ports)
{
    int index = -1;
    if (source >= 0 && source < ports.nCAN && source < kFamily1MaxCAN)
        index = kFamily1CanSourceOffset - 1 + source;
    const int m = source - ports.nCAN;
    if (m >= 0 && m < ports.nFiberOptic && m < kFamily1MaxFibre)
        index = kFamily1FibreSourceOffset - 1 + m;
    if (index < 0 || index >= answer.size())
        return std::nullopt;
    return decodeFamily1RouteByte(std::uint8_t(answer[index]), ports);
}

std::uint32_t family2DestinationBit(int destination, Ports ports)
{
    if (destination < 0 || destination >= ports.count())
        return 0;
    if (destination < ports.nCAN)
        return destination < kFamily2MaxCAN ? 0x80000000u >> destination : 0;
    const int k = destination - ports.nCAN;
    return k < kFamily2MaxFibre ? 0x8000u >> k : 0;
}

std::uint32_t family2RouteWord(const Row& row, Ports ports)
{
    return packRow(row, ports, family2DestinationBit);
}

QByteArray family2RouteBytes(const Row& row, Ports ports)
{
    const std::uint32_t word = family2RouteWord(row, ports);
    QByteArray bytes(4, '\0');
    for (int i = 0; i < 4; ++i)
        bytes[i] = char((word >> (24 - 8 * i)) & 0xFF);
    return bytes;
}

std::optional<Row> decodeFamily2RouteBytes(const QByteArray& bytes, Ports ports)
{
    if (bytes.size() < 4)
        return std::nullopt;
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word = (word << 8) | std::uint8_t(bytes[i]);
    return unpackRow(word, ports, family2DestinationBit);
}

}  // namespace route
