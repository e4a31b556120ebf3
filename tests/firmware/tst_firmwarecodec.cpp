// The image as the tool reads and checks it.

#include "operations/Firmware.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class FirmwareCodecTest : public QObject {
    Q_OBJECT

private slots:
    void checksum_data();
    void checksum();
    void imageFile_data();
    void imageFile();
};

void FirmwareCodecTest::checksum_data()
{
    QTest::addColumn<QByteArray>("image");
    QTest::addColumn<int>("crc");
    QTest::newRow("123456789") << QByteArray("123456789") << 0x29B1;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("abc padded to 32") << paddedImage("abc") << 0x08B6;
}

void FirmwareCodecTest::checksum()
{
    QFETCH(QByteArray, image);
    QTEST(int(crc16CcittFalse(image)), "crc");
}

void FirmwareCodecTest::imageFile_data()
{
    QTest::addColumn<QString>("name");  // in a folder holding "image.bin" and "huge.bin"
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
    image.write("abc");
    image.close();
    QFile huge(dir.filePath(QStringLiteral("huge.bin")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize(256 * 1024 * 1024 + 1));  // sparse: nothing is written
    huge.close();

    const QString path = name.isEmpty() || name.startsWith(QLatin1Char('/')) ? name : dir.filePath(name);
    QByteArray file;
    const TransferResult result = readFirmwareFile(path, &file);
    QCOMPARE(result.ok, message.isEmpty());
    if (result.ok)
        QCOMPARE(file, QByteArray("abc"));
    else
        QCOMPARE(QString::fromLatin1(result.message.text), message);
}

QTEST_GUILESS_MAIN(FirmwareCodecTest)
#include "tst_firmwarecodec.moc"
