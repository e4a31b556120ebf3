#pragma once
// The route matrix as the devices store it. Ports are numbered CAN channels
// first, then fibre channels; a source port's row says to which destination
// ports its traffic is forwarded. Family 1 packs a row into one byte, family 2
// into a 32-bit word sent most significant byte first.

#include <QByteArray>
#include <QVector>
#include <cstdint>
#include <optional>

namespace route {

struct Ports {
    int nCAN = 0;
    int nFiberOptic = 0;
    int count() const { return nCAN + nFiberOptic; }
};

using Row = QVector<bool>;    // one source: forwarded or not, per destination port
using Matrix = QVector<Row>;  // one row per source port

// Every port forwarded to every other port, as a newly built editor shows it.
Matrix defaultMatrix(Ports ports);

// Family 1: bit 7 - j is CAN destination j, bit 3 - k fibre destination k.
constexpr int kFamily1MaxCAN = 4;
constexpr int kFamily1MaxFibre = 4;
constexpr int kFamily1CanSourceOffset = 5;  // of the write request; the read answer is one lower
constexpr int kFamily1FibreSourceOffset = 9;

// The bit of a destination in a family-1 route byte; 0 where the layout has none.
std::uint8_t family1DestinationBit(int destination, Ports ports);
std::uint8_t family1RouteByte(const Row& row, Ports ports);
Row decodeFamily1RouteByte(std::uint8_t byte, Ports ports);

// The 17-byte write request 00 12 27 09 00, the CAN sources' bytes, the fibre
// sources' bytes, 0x00 for every source the device does not have.
QByteArray family1RouteRequest(const Matrix& matrix, Ports ports);

// The row a read answer holds for a source, or nothing where the answer is too
// short or the layout has no place for that source.
std::optional<Row> family1AnswerRow(const QByteArray& answer, int source, Ports ports);

// Family 2: bit 31 - j is CAN destination j, bit 15 - k fibre destination k.
constexpr int kFamily2MaxCAN = 16;
constexpr int kFamily2MaxFibre = 16;

std::uint32_t family2DestinationBit(int destination, Ports ports);
std::uint32_t family2RouteWord(const Row& row, Ports ports);
QByteArray family2RouteBytes(const Row& row, Ports ports);
// The row in the first 4 bytes, or nothing for fewer than 4 bytes.
std::optional<Row> decodeFamily2RouteBytes(const QByteArray& bytes, Ports ports);

}  // namespace route
