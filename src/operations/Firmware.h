#pragma once
// The family-2 firmware version query and the firmware upgrade: the image is
// padded to whole 32-byte blocks and sent as the padded length, every block
// with its index, and a CRC-16 of the padded image.

#include "ConfigTransfer.h"

#include "device/HIDDevice.h"

#include <QByteArray>
#include <QString>

#include <functional>

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF, no reflection, no final XOR.
quint16 crc16CcittFalse(const QByteArray& data);

// The file's bytes followed by zeros up to the next multiple of 32.
QByteArray paddedImage(const QByteArray& file);

// The three upgrade requests (48 bytes each), numbers big-endian.
QByteArray upgradeLengthRequest(quint32 paddedLength);
QByteArray upgradeBlockRequest(quint32 index, const QByteArray& block32);
QByteArray upgradeChecksumRequest(quint16 crc);

struct FirmwareVersions {
    QString bootloader;  // "V1.2.3"
    QString firmware;
};

// Asks the device for its versions; false when the exchange failed or the
// device answered with a status other than 0.
bool queryFirmwareVersions(HIDDevice& device, FirmwareVersions* versions);

// Progress of an upgrade: the range is set once the length is accepted, then
// the value follows the blocks.
struct UpgradeProgress {
    std::function<void(int maximum)> setRange;
    std::function<void(int value)> setValue;
};

// The largest image the tool sends: far beyond any device's flash, and small
// enough that the file and its padded copy always fit in memory (a disc image
// picked by mistake would not).
constexpr qint64 kMaxFirmwareFileSize = 256 * 1024 * 1024;

// Reads the whole image file: "file open faild" when it cannot be opened or is
// no regular file (a pipe or a device would be read without end), "file length
// wrong" when it is larger than kMaxFirmwareFileSize.
TransferResult readFirmwareFile(const QString& path, QByteArray* file);

// Sends the image; on failure the message of the failing step. Either
// progress callback may be left empty.
TransferResult upgradeFirmware(HIDDevice& device, const QByteArray& file, const UpgradeProgress& progress);
