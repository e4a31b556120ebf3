#pragma once
// What a virtual device remembers, as plain data that tests can preload and
// inspect: its identity and the configuration it has been written.

#include "device/ModelTable.h"

#include <QByteArray>
#include <QVector>

namespace sim {

struct Version {
    quint8 major = 0;
    quint8 minor = 0;
    quint8 patch = 0;  // family 2 only; family 1 versions are major.minor
    bool operator==(const Version& o) const
    {
        return major == o.major && minor == o.minor && patch == o.patch;
    }
};

struct Identity {
    int typeCode = 0;
    Version hardware;
    Version firmware;
    Version bootloader;      // family 2 version query only
    QByteArray boardNumber;  // sent as it is: 12 bytes fit family 1, 36 family 2
};

// Family 1: one of the 14 acceptance-filter banks of a channel, as written
// at offsets 5 to 14 of the write-bank request.
struct FilterBank {
    quint8 control = 0;    // bit 7 in use, bits 0-3 channel number
    quint8 modeScale = 0;  // bit 4 list mode, bit 0 32-bit scale
    QByteArray id = QByteArray(4, '\0');
    QByteArray mask = QByteArray(4, '\0');
    bool operator==(const FilterBank& o) const
    {
        return control == o.control && modeScale == o.modeScale && id == o.id && mask == o.mask;
    }
};

// Family 2: one filter record of a channel.
struct FilterRecord {
    quint8 kind = 0;  // 0 range, 1 clear, 2 mask
    QByteArray id = QByteArray(4, '\0');
    QByteArray second = QByteArray(4, '\0');
    bool operator==(const FilterRecord& o) const
    {
        return kind == o.kind && id == o.id && second == o.second;
    }
};

struct ChannelState {
    QByteArray timing = QByteArray(4, '\0');  // family 1 bit timing, family 2 arbitration timing
    QVector<FilterBank> banks;                // family 1: always 14
    // Family 2 only.
    quint8 mode = 0;        // 0 CAN, 1 CAN FD
    quint8 fdStandard = 0;  // 0 ISO, 1 non-ISO
    QByteArray dataTiming = QByteArray(4, '\0');
    QByteArray routeWord = QByteArray(4, '\0');
    QVector<FilterRecord> standardFilters;
    QVector<FilterRecord> extendedFilters;
};

struct FibreState {
    quint8 code = 0;                             // family 1 baud code
    QByteArray baud = QByteArray(4, '\0');       // family 2, most significant byte first
    QByteArray routeWord = QByteArray(4, '\0');  // family 2
};

struct DeviceState {
    QVector<ChannelState> channels;
    QVector<FibreState> fibres;
    // Family 1 route bytes: CAN sources 0-3, then fibre sources 0-3.
    QByteArray routeBytes = QByteArray(8, '\0');
};

// The configuration a new device has, and to which the family-2 restore
// request returns: every channel at a listed rate with one filter that passes
// everything, every fibre at a listed baud, every route on but the same-port one.
DeviceState factoryState(int family, const models::Model& model);

// The identity a new device reports: the model's type code, versions 1.05
// (hardware) and 2.03 (firmware) on family 1, V1.0.0, V2.1.0 and bootloader
// V1.0.2 on family 2, and a short board number.
Identity factoryIdentity(int family, const models::Model& model);

// Route encodings, also for tests: bit 7 - j CAN destination j and bit 3 - k
// fibre destination k (family 1); bit 31 - j and 15 - k (family 2).
quint8 family1RouteByte(int sourcePort, int nCAN, int nFibre);
QByteArray family2RouteWord(int sourcePort, int nCAN, int nFibre);

}  // namespace sim
