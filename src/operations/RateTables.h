#pragma once
// The CAN bit-rate lists: each entry's text and the four bit-timing register
// bytes the device takes for it, as hexadecimal text in byte order. Entries
// are addressed by position, so their order is fixed.

#include <QtGlobal>

#include <iterator>

namespace can {

struct RateEntry {
    const char* text;
    const char* registerHex;
    bool translated;  // "self-adaption" and "custom" go through the translator
};

// The "custom" entry only seeds the register text; it is never a rate.
constexpr const char kCustomSeedHex[] = "FFFFFFFF";

constexpr RateEntry kClassicRates[] = {
    {"5K", "00450257", false},
    {"10K", "001C00E0", false},
    {"20K", "000500E0", false},
    {"40K", "00780031", false},
    {"50K", "0067002c", false},
    {"80K", "004b0018", false},
    {"100K", "0012003b", false},
    {"125K", "0012002f", false},
    {"200K", "0027000e", false},
    {"250K", "00120017", false},
    {"400K", "00160008", false},
    {"500K", "0012000b", false},
    {"666K", "00240005", false},
    {"800K", "00240004", false},
    {"1000K", "00120005", false},
    {QT_TRANSLATE_NOOP("CANParamWidget", "self-adaption"), "00000000", true},
    {QT_TRANSLATE_NOOP("CANParamWidget", "custom"), kCustomSeedHex, true},
};

constexpr RateEntry kArbitrationRates[] = {
    {"5K", "01F31302", false},
    {"10K", "00F91302", false},
    {"20K", "007C1302", false},
    {"40K", "00630A02", false},
    {"50K", "00311302", false},
    {"80K", "001D1204", false},
    {"100K", "00181302", false},
    {"125K", "00131302", false},
    {"200K", "00130A02", false},
    {"250K", "00091302", false},
    {"400K", "00090A02", false},
    {"500K", "00070A02", false},
    {"800K", "00021006", false},
    {"1000K", "00040702", false},
    {QT_TRANSLATE_NOOP("CANParamWidget", "custom"), kCustomSeedHex, true},
};

constexpr RateEntry kDataRates[] = {
    {"100K", "001D0E30", false},
    {"125K", "001F0A20", false},
    {"200K", "00130A20", false},
    // Prescaler 16, segment 1 = 11, segment 2 = 3: 60 MHz / (16 x 15).
    {"250K", "000F0A20", false},
    {"400K", "00090A20", false},
    {"500K", "00070A20", false},
    {"800K", "00040A20", false},
    {"1M", "00040720", false},
    {"2M", "00010930", false},
    {"3M", "00000D40", false},
    {"4M", "00000930", false},
    {"5M", "00000720", false},
    {"6M", "00000520", false},
    {QT_TRANSLATE_NOOP("CANParamWidget", "custom"), kCustomSeedHex, true},
};

constexpr int kClassicCustomIndex = 16;
constexpr int kArbitrationCustomIndex = 14;
constexpr int kDataCustomIndex = 13;

enum class RateList { Classic, Arbitration, Data };

struct RateTable {
    const RateEntry* entries;
    int count;
    int customIndex;
};

constexpr RateTable rateTable(RateList list)
{
    switch (list) {
        case RateList::Classic:
            return {kClassicRates, int(std::size(kClassicRates)), kClassicCustomIndex};
        case RateList::Arbitration:
            return {kArbitrationRates, int(std::size(kArbitrationRates)), kArbitrationCustomIndex};
        case RateList::Data:
            break;
    }
    return {kDataRates, int(std::size(kDataRates)), kDataCustomIndex};
}

static_assert(std::size(kClassicRates) == 17 && kClassicCustomIndex == 16);
static_assert(std::size(kArbitrationRates) == 15 && kArbitrationCustomIndex == 14);
static_assert(std::size(kDataRates) == 14 && kDataCustomIndex == 13);

}  // namespace can
