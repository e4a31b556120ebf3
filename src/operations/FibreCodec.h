#pragma once
// Fibre line rates as the devices store them: family 1 keeps one code byte per
// channel, family 2 a 32-bit rate in bit/s sent most significant byte first.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace fibre {

struct Family1Rate {
    std::uint8_t code;  // always the entry index plus one
    const char* text;
};

constexpr Family1Rate kFamily1Rates[] = {
    {0x01, "5K"},    {0x02, "10K"},   {0x03, "20K"},   {0x04, "40K"},  {0x05, "50K"},
    {0x06, "100K"},  {0x07, "125K"},  {0x08, "250K"},  {0x09, "500K"}, {0x0A, "920K"},
    {0x0B, "1380K"}, {0x0C, "2250K"}, {0x0D, "4500K"},
};
constexpr int kFamily1RateCount = int(sizeof kFamily1Rates / sizeof kFamily1Rates[0]);
constexpr std::uint8_t kFamily1DefaultCode = 0x0B;  // "1380K", what a classic "Default" selects

// Family 1 write-fibre request: 00 12 25 05 00, then one code per channel.
constexpr int kFamily1CodeOffset = 5;
constexpr int kFamily1MaxChannels = 12;  // codes that fit a 17-byte request

constexpr const char* kFamily2Rates[] = {
    "4800",   "9600",   "19200",   "43000",   "56000",   "115200",  "128000",  "256000",
    "460800", "921600", "1382400", "2250000", "4500000", "5000000", "6000000",
};
constexpr int kFamily2RateCount = int(sizeof kFamily2Rates / sizeof kFamily2Rates[0]);
// The entry after the listed rates: the rate is typed into the channel's line edit.
constexpr int kFamily2CustomIndex = kFamily2RateCount;
constexpr char kCustomText[] = QT_TRANSLATE_NOOP("CorvelleRepeater", "custom");
// The device reads the four bytes as a signed number, so larger rates do not exist for it.
constexpr std::uint32_t kMaxRate = 2147483647u;

// The number of family-1 entries: "4500K" only exists on devices with exactly
// 2 CAN and 1 fibre channel.
int family1RateCount(int nCAN, int nFiberOptic);

// The entry index to select for a family-1 code read from the device, or -1
// (no entry) for code 0 and every code outside the device's list.
int family1IndexForCode(std::uint8_t code, int entryCount);

// The 17-byte family-1 write request. codes holds one byte per fibre channel;
// a channel without a selected rate must still hold 0x00 so that the codes of
// later channels keep their positions.
QByteArray family1FibreRequest(const QByteArray& codes);

// A rate of 1 to kMaxRate in plain decimal digits, or 0 for any other text.
std::uint32_t rateFromText(const QString& text);

// 4 bytes, most significant first.
QByteArray rateBytes(std::uint32_t rate);

// The rate in the first 4 bytes (fewer bytes: the number they form); 0 where
// the bytes hold 0x80000000 or more, which no device rate reaches.
std::uint32_t rateFromBytes(const QByteArray& bytes);

// Which family-2 entry shows a rate: a listed rate's index, else
// kFamily2CustomIndex with the rate typed into the line edit.
struct Family2Selection {
    int index;
    QString customText;  // empty unless index is kFamily2CustomIndex
};
Family2Selection family2SelectionForRate(std::uint32_t rate);

}  // namespace fibre
