#include "Firmware.h"

#include "Exchange.h"

#include <QFile>

using namespace protocol;

namespace {

constexpr int kBlock = f2::kUpgradeBlockSize;

void putBigEndian(QByteArray& request, int offset, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        request[offset + i] = char((value >> (8 * (bytes - 1 - i))) & 0xFF);
}

// Exchanges one firmware-class request; the status byte of the answer, or −1
// when the request was not written or no full answer came.
int firmwareExchange(Exchange& link, const QByteArray& request, int timeoutMs)
{
    if (!link.send(request))
        return -1;
    unsigned char answer[kBufferSize] = {};
    if (!link.receive(answer, timeoutMs))
        return -1;
    return answer[kFamily2StatusIndex];
}

}  // namespace

quint16 crc16CcittFalse(const QByteArray& data)
{
    quint16 crc = 0xFFFF;
    for (char byte : data) {
        crc ^= quint16(quint8(byte)) << 8;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x8000) ? quint16((crc << 1) ^ 0x1021) : quint16(crc << 1);
    }
    return crc;
}

QByteArray paddedImage(const QByteArray& file)
{
    QByteArray image = file;
    const int fill = (kBlock - image.size() % kBlock) % kBlock;
    image.append(fill, '\0');
    return image;
}

QByteArray upgradeLengthRequest(quint32 paddedLength)
{
    QByteArray request = family2Request(f2::kUpgradeLength);
    putBigEndian(request, 5, paddedLength, 4);  // offset 4 stays 0
    return request;
}

QByteArray upgradeBlockRequest(quint32 index, const QByteArray& block32)
{
    QByteArray request = family2Request(f2::kUpgradeBlock);
    putBigEndian(request, 4, index, 4);
    const QByteArray block = block32.left(kBlock);
    request.replace(8, block.size(), block);
    return request;
}

QByteArray upgradeChecksumRequest(quint16 crc)
{
    QByteArray request = family2Request(f2::kUpgradeChecksum);
    putBigEndian(request, 4, crc, 2);
    return request;
}

bool queryFirmwareVersions(HIDDevice& device, FirmwareVersions* versions)
{
    Exchange link(device, kFamily2);
    unsigned char answer[kBufferSize] = {};
    if (!link.exchange(family2Request(f2::kQueryVersions), answer, f2::kQueryVersions.timeoutMs) ||
        answer[kFamily2StatusIndex] != kStatusAccepted)
        return false;
    versions->bootloader = family2VersionText(answer + 5);
    versions->firmware = family2VersionText(answer + 8);
    return true;
}

TransferResult readFirmwareFile(const QString& path, QByteArray* file)
{
    QFile input(path);
    if (path.isEmpty() || !input.open(QIODevice::ReadOnly) || input.isSequential())
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "file open faild"));
    if (input.size() > kMaxFirmwareFileSize)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "file length wrong"));
    *file = input.readAll();
    if (file->size() != input.size())  // a read error part way: never send a truncated image
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "file open faild"));
    return TransferResult::success();
}

TransferResult upgradeFirmware(HIDDevice& device, const QByteArray& file, const UpgradeProgress& progress)
{
    Exchange link(device, kFamily2);
    const QByteArray image = paddedImage(file);
    const int blocks = image.size() / kBlock;

    const int lengthStatus =
        firmwareExchange(link, upgradeLengthRequest(quint32(image.size())), f2::kUpgradeLength.timeoutMs);
    if (lengthStatus < 0)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "send fild length fail"));
    if (lengthStatus == kStatusRejected)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "file length wrong"));
    if (lengthStatus == kStatusWrongInstruction)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "wrong instruct"));
    if (progress.setRange)
        progress.setRange(blocks);

    for (int i = 0; i < blocks; ++i) {
        const int status =
            firmwareExchange(link, upgradeBlockRequest(quint32(i), image.mid(i * kBlock, kBlock)),
                             f2::kUpgradeBlock.timeoutMs);
        if (status < 0 || status == kStatusRejected)
            return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "transfer file fail"));
        if (progress.setValue)
            progress.setValue(i);
    }

    const int checksumStatus = firmwareExchange(link, upgradeChecksumRequest(crc16CcittFalse(image)),
                                                f2::kUpgradeChecksum.timeoutMs);
    if (checksumStatus < 0 || checksumStatus == kStatusRejected)
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "send file checksum fail"));
    if (progress.setValue)
        progress.setValue(blocks);
    return TransferResult::success();
}
