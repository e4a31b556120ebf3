#pragma once
// The family-2 firmware receiver of the virtual device: it checks the
// announced length, takes the blocks in order and checks the CRC of what it
// received. An accepted image that holds the marker "CRVLFW" followed by
// three bytes (major, minor, patch) changes the firmware version the device
// reports.

#include "DeviceState.h"

#include <QByteArray>
#include <optional>

namespace sim {

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial 0xFFFF, no reflection, no final XOR.
quint16 crc16CcittFalse(const QByteArray& bytes);

// The version carried by an image built for the virtual device, if any.
std::optional<Version> versionMarkedIn(const QByteArray& image);

// "CRVLFW" and the three version bytes, to put into a test image.
QByteArray versionMarker(const Version& version);

class FirmwareReceiver {
public:
    static constexpr quint32 kMaxLength = 4u * 1024u * 1024u;

    // Each returns the status the device answers: 0 accepted, 1 rejected.
    quint8 announce(quint32 length);
    quint8 block(quint32 index, const QByteArray& bytes);
    quint8 checksum(quint16 crc);

    // The last image whose checksum was accepted; empty before.
    const QByteArray& acceptedImage() const { return m_accepted; }

private:
    bool m_receiving = false;
    quint32 m_length = 0;
    QByteArray m_received;
    QByteArray m_accepted;
};

}  // namespace sim
