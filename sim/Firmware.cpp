#include "Firmware.h"

#include "device/Protocol.h"

namespace sim {
namespace {

constexpr char kMarker[] = "CRVLFW";
constexpr int kMarkerLength = 6;

}  // namespace

quint16 crc16CcittFalse(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (char byte : bytes) {
        crc ^= quint16(quint8(byte) << 8);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

std::optional<Version> versionMarkedIn(const QByteArray& image)
{
    const int at = image.indexOf(QByteArray(kMarker, kMarkerLength));
    if (at < 0 || at + kMarkerLength + 3 > image.size())
        return std::nullopt;
    const char* v = image.constData() + at + kMarkerLength;
    return Version{quint8(v[0]), quint8(v[1]), quint8(v[2])};
}

QByteArray versionMarker(const Version& version)
{
    return QByteArray(kMarker, kMarkerLength) + char(version.major) + char(version.minor) +
           char(version.patch);
}

quint8 FirmwareReceiver::announce(quint32 length)
{
    m_received.clear();
    m_receiving = length % protocol::f2::kUpgradeBlockSize == 0 && length <= kMaxLength;
    m_length = m_receiving ? length : 0;
    return m_receiving ? protocol::kStatusAccepted : protocol::kStatusRejected;
}

quint8 FirmwareReceiver::block(quint32 index, const QByteArray& bytes)
{
    const quint32 expected = quint32(m_received.size()) / protocol::f2::kUpgradeBlockSize;
    if (!m_receiving || index != expected || quint32(m_received.size()) >= m_length) {
        m_receiving = false;  // out of order: the transfer must start again
        return protocol::kStatusRejected;
    }
    m_received += bytes;
    return protocol::kStatusAccepted;
}

quint8 FirmwareReceiver::checksum(quint16 crc)
{
    const bool complete = m_receiving && quint32(m_received.size()) == m_length;
    m_receiving = false;
    if (!complete || crc16CcittFalse(m_received) != crc)
        return protocol::kStatusRejected;
    m_accepted = m_received;
    return protocol::kStatusAccepted;
}

}  // namespace sim
