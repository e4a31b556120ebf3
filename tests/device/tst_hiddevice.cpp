#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QtTest>

namespace {

sim::VirtualDevice& plug(int family)
{
    const char* name = family == 1 ? "Vantor-A2" : "Vantor-D3";
    sim::VirtualDevice& dev = sim::VirtualBus::instance().plug(family, *models::modelByName(name));
    dev.setInstantTimeouts(true);
    return dev;
}

bool openFamily(HIDDevice& hid, int family)
{
    const protocol::UsbIds ids = family == 1 ? protocol::kFamily1Ids : protocol::kFamily2Ids;
    return hid.open(ids.vendor, ids.product);
}

QByteArray report(const char* hex, int length)
{
    QByteArray bytes = QByteArray::fromHex(hex);
    bytes.append(QByteArray(length - bytes.size(), '\0'));
    return bytes;
}

}  // namespace

class TestHIDDevice : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writeAndReadLengths_data();
    void writeAndReadLengths();
    void shortRequestIsPaddedAndCountedInFull_data();
    void shortRequestIsPaddedAndCountedInFull();
    void openOfAnAbsentDeviceLeavesTheHandleNull();
    void openWithoutBlockingModeKeepsTheHandle();
    void unpluggedOrClosedDeviceFails();
};

void TestHIDDevice::init()
{
    sim::VirtualBus::instance().install();
    sim::VirtualBus::instance().unplugAll();
}

void TestHIDDevice::writeAndReadLengths_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("readLength");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("read");
    QTest::newRow("family 1, first identity read") << 1 << report("00121501", 17) << 17 << 17 << 16;
    QTest::newRow("family 1, later reads") << 1 << report("00121401", 17) << 18 << 17 << 16;
    QTest::newRow("family 2") << 2 << report("0113010027", 48) << 48 << 48 << 48;
}

void TestHIDDevice::writeAndReadLengths()
{
    QFETCH(int, family);
    QFETCH(QByteArray, request);
    QFETCH(int, readLength);
    QFETCH(int, written);
    QFETCH(int, read);
    plug(family);
    HIDDevice hid;
    QVERIFY(openFamily(hid, family));
    QCOMPARE(hid.write(reinterpret_cast<const unsigned char*>(request.constData()), request.size()), written);
    unsigned char answer[48] = {};
    QCOMPARE(hid.readTimeout(answer, readLength, 10), read);
    // Family 1 answers without the report id, family 2 keeps it at index 0.
    QCOMPARE(int(answer[0]), family == 1 ? 0x12 : 0x01);
}

void TestHIDDevice::shortRequestIsPaddedAndCountedInFull_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("traced");
    QTest::newRow("family 1 reset") << 1 << QByteArray::fromHex("0012110100")
                                    << "> 00 12 11 01 00 00 00 00 00 00 00 00 00 00 00 00 00";
    QTest::newRow("family 2 final command")
        << 2 << QByteArray::fromHex("0113080101") << "> 01 13 08 01 01" + QString(" 00").repeated(43);
}

void TestHIDDevice::shortRequestIsPaddedAndCountedInFull()
{
    QFETCH(int, family);
    QFETCH(QByteArray, request);
    QFETCH(QString, traced);
    sim::VirtualDevice& dev = plug(family);
    HIDDevice hid;
    QVERIFY(openFamily(hid, family));
    const int written =
        hid.write(reinterpret_cast<const unsigned char*>(request.constData()), request.size());
    QCOMPARE(written, protocol::requestLength(family));
    QCOMPARE(dev.trace().at(1), traced);  // after the plug event
}

void TestHIDDevice::openOfAnAbsentDeviceLeavesTheHandleNull()
{
    plug(2);
    HIDDevice hid;
    QVERIFY(!openFamily(hid, 1));
    QVERIFY(!hid.isOpen());
    QVERIFY(!hid.errorString().empty());
    // An open that fails replaces a handle that was open.
    QVERIFY(openFamily(hid, 2));
    QVERIFY(!openFamily(hid, 1));
    QVERIFY(!hid.isOpen());
    QCOMPARE(sim::VirtualBus::instance().openHandles(), 0);
}

void TestHIDDevice::openWithoutBlockingModeKeepsTheHandle()
{
    plug(1).setBlockingModeFails(true);
    HIDDevice hid;
    QVERIFY(!openFamily(hid, 1));
    QVERIFY(hid.isOpen());
}

void TestHIDDevice::unpluggedOrClosedDeviceFails()
{
    plug(2);
    HIDDevice hid;
    QVERIFY(openFamily(hid, 2));
    const QByteArray request = report("0113010027", 48);
    const auto* bytes = reinterpret_cast<const unsigned char*>(request.constData());
    unsigned char answer[48];
    sim::VirtualBus::instance().unplug(2);
    QCOMPARE(hid.write(bytes, 48), -1);
    QCOMPARE(hid.readTimeout(answer, 48, 10), -1);
    hid.close();
    QVERIFY(!hid.isOpen());
    QCOMPARE(hid.write(bytes, 48), -1);
    QCOMPARE(sim::VirtualBus::instance().openHandles(), 0);
}

QTEST_GUILESS_MAIN(TestHIDDevice)
#include "tst_hiddevice.moc"
