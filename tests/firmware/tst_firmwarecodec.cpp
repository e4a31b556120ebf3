// The image as it goes to the device: checksum, padding, the three requests,
// and the image file as it is read.

#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "operations/Firmware.h"
#include "sim/VirtualBus.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A 48-byte request: the bytes given, then zeros.
QByteArray report(const char* hexPrefix)
{
    QByteArray r = QByteArray::fromHex(hexPrefix);
    r.append(protocol::kFamily2ReportLength - r.size(), '\0');
    return r;
}

QByteArray counting(int size)  // 01 02 03 ...
{
    QByteArray bytes;
    for (int i = 1; i <= size; ++i)
        bytes.append(char(i));
    return bytes;
}

}  // namespace

class FirmwareCodecTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        sim::VirtualBus::instance().install();
        HIDDevice::init();
    }
    void cleanupTestCase() { HIDDevice::exit(); }

    void checksum_data();
    void checksum();
    void requests_data();
    void requests();
    void imageAsSent_data();
    void imageAsSent();
    void imageFile_data();
    void imageFile();
};

void FirmwareCodecTest::checksum_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("crc");
    QTest::newRow("123456789") << QByteArray("123456789") << 0x29B1;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("abc padded") << paddedImage("abc") << 0x08B6;
}

void FirmwareCodecTest::checksum()
{
    QFETCH(QByteArray, image);
    QTEST(int(crc16CcittFalse(image)), "crc");
}

void FirmwareCodecTest::requests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("length 64") << upgradeLengthRequest(64) << report("01 15 01 2d 00 00 00 00 40");
    QTest::newRow("length 0x01020304")
        << upgradeLengthRequest(0x01020304) << report("01 15 01 2d 00 01 02 03 04");
    QTest::newRow("block 256") << upgradeBlockRequest(256, QByteArray(32, '\xAA'))
                               << report(
                                      "01 15 02 2d 00 00 01 00"
                                      "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa");
    QTest::newRow("checksum 29B1") << upgradeChecksumRequest(0x29B1) << report("01 15 03 2d 29 b1");
}

void FirmwareCodecTest::requests()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, expected);
    QCOMPARE(request.toHex(' '), expected.toHex(' '));
}

void FirmwareCodecTest::imageAsSent_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("lengthField");  // offsets 5..8
    QTest::addColumn<QByteArray>("lastBlock");
    QTest::addColumn<QByteArray>("checksumField");  // offsets 4..5
    QTest::newRow("33 bytes: 2 blocks, 31 zeros of fill")
        << counting(33) << QByteArray::fromHex("00 00 00 40")
        << QByteArray::fromHex("21 00000000000000000000000000000000000000000000000000000000000000")
        << QByteArray::fromHex("11 83");
    QTest::newRow("64 bytes: no fill") << counting(64) << QByteArray::fromHex("00 00 00 40")
                                       << counting(64).mid(32) << QByteArray::fromHex("fe 17");
    QTest::newRow("empty: no block") << QByteArray() << QByteArray::fromHex("00 00 00 00") << QByteArray()
                                     << QByteArray::fromHex("ff ff");
}

// Against the virtual device, which keeps what it accepted.
void FirmwareCodecTest::imageAsSent()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, lengthField);
    QFETCH(QByteArray, lastBlock);
    QFETCH(QByteArray, checksumField);
    sim::VirtualDevice& dev = sim::VirtualBus::instance().plug(2, *models::modelByName("Vantor-D3"));
    dev.setInstantTimeouts(true);
    HIDDevice device;
    QVERIFY(device.open(protocol::kFamily2Ids.vendor, protocol::kFamily2Ids.product));

    int range = -1;
    QList<int> values;
    const TransferResult result = upgradeFirmware(
        device, file, {[&](int maximum) { range = maximum; }, [&](int value) { values << value; }});
    QVERIFY(result.ok);

    const int blocks = (file.size() + 31) / 32;
    const QList<QByteArray> sent = dev.requests();
    QCOMPARE(sent.size(), blocks + 2);
    QCOMPARE(sent.first().left(5).toHex(' '), QByteArray("01 15 01 2d 00"));
    QCOMPARE(sent.first().mid(5, 4).toHex(' '), lengthField.toHex(' '));
    if (blocks > 0) {
        QCOMPARE(sent.at(blocks).mid(4, 4).toHex(' '), QByteArray("00 00 00 01"));
        QCOMPARE(sent.at(blocks).mid(8, 32).toHex(' '), lastBlock.toHex(' '));
    }
    QCOMPARE(sent.last().left(4).toHex(' '), QByteArray("01 15 03 2d"));
    QCOMPARE(sent.last().mid(4, 2).toHex(' '), checksumField.toHex(' '));
    QCOMPARE(dev.firmwareImage(), paddedImage(file));

    QCOMPARE(range, blocks);
    QList<int> expected;
    for (int i = 0; i <= blocks; ++i)
        expected << i;
    QCOMPARE(values, expected);
    sim::VirtualBus::instance().unplugAll();
}

void FirmwareCodecTest::imageFile_data()
{
    QTest::addColumn<QString>("name");  // in a temporary folder holding "image.bin" and "huge.bin"
    QTest::addColumn<QString>("message");
    QTest::newRow("image") << "image.bin" << QString();
    QTest::newRow("no name") << QString() << "file open faild";
    QTest::newRow("missing") << "missing.bin"
                             << "file open faild";
    QTest::newRow("a folder") << "."
                              << "file open faild";
    QTest::newRow("over 256 MiB") << "huge.bin"
                                  << "file length wrong";
#ifdef Q_OS_UNIX
    QTest::newRow("a device without end") << "/dev/zero"
                                          << "file open faild";
#endif
}

void FirmwareCodecTest::imageFile()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QTemporaryDir dir;
    QFile image(dir.filePath(QStringLiteral("image.bin")));
    QVERIFY(image.open(QIODevice::WriteOnly));
    image.write(counting(33));
    image.close();
    QFile huge(dir.filePath(QStringLiteral("huge.bin")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(kMaxFirmwareFileSize + 1));  // sparse: nothing is written
    huge.close();

    const QString path = name.isEmpty() || name.startsWith(QLatin1Char('/')) ? name : dir.filePath(name);
    QByteArray file;
    const TransferResult result = readFirmwareFile(path, &file);
    QCOMPARE(result.ok, message.isEmpty());
    if (result.ok)
        QCOMPARE(file.toHex(' '), counting(33).toHex(' '));
    else
        QCOMPARE(QString::fromLatin1(result.message.text), message);
}

QTEST_GUILESS_MAIN(FirmwareCodecTest)
#include "tst_firmwarecodec.moc"
