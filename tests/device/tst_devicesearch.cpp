#include "device/DeviceSearch.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QtTest>

#include <condition_variable>
#include <mutex>

using sim::Fault;
using sim::FaultMatch;

Q_DECLARE_METATYPE(sim::Version)

namespace {

sim::VirtualBus& bus()
{
    return sim::VirtualBus::instance();
}

sim::VirtualDevice& plug(int family, const char* model = nullptr)
{
    const char* name = model ? model : family == 1 ? "Vantor-A2" : "Vantor-D3";
    sim::VirtualDevice& dev = bus().plug(family, *models::modelByName(name));
    dev.setInstantTimeouts(true);
    return dev;
}

}  // namespace

class TestDeviceSearch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void noDevice_data();
    void noDevice();
    void familyOrder_data();
    void familyOrder();
    void family1ExchangesReuseOneBuffer();
    void identity_data();
    void identity();
    void failedIdentityStep_data();
    void failedIdentityStep();
    void accessDenied_data();
    void accessDenied();
    void waitForAllWaitsForRunningSearches();
    void concurrentSearchesDoNotInterleave();
};

void TestDeviceSearch::init()
{
    bus().install();
    bus().unplugAll();
    bus().clearOpenAttempts();
}

void TestDeviceSearch::noDevice_data()
{
    QTest::addColumn<int>("start");
    QTest::newRow("from 0") << 0;
    QTest::newRow("from 1") << 1;
    QTest::newRow("from 2") << 2;
}

void TestDeviceSearch::noDevice()
{
    QFETCH(int, start);
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, start);
    QCOMPARE(r.driveType, 0);
    QCOMPARE(r.hardwareType, -1);
    QCOMPARE(r.identity.nCAN, -1);
    QCOMPARE(r.identity.nFiberOptic, 0);
    for (const QString& text : {r.identity.strName, r.identity.strDevType, r.identity.strDevVer,
                                r.identity.strFirmware, r.identity.strCardNum})
        QVERIFY(text.isNull());
    QVERIFY(!r.accessDenied);
}

void TestDeviceSearch::familyOrder_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("attached");
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QList<int>>("opens");
    QTest::newRow("0, family 2 attached") << 0 << QList<int>{2} << 2 << QList<int>{1, 2};
    QTest::newRow("1, family 2 attached") << 1 << QList<int>{2} << 2 << QList<int>{1, 2};
    QTest::newRow("2, family 2 attached") << 2 << QList<int>{2} << 2 << QList<int>{2};
    QTest::newRow("2, family 1 attached") << 2 << QList<int>{1} << 0 << QList<int>{2};
    QTest::newRow("1, family 1 attached") << 1 << QList<int>{1} << 1 << QList<int>{1};
    QTest::newRow("0, both attached") << 0 << QList<int>{1, 2} << 1 << QList<int>{1};
}

void TestDeviceSearch::familyOrder()
{
    QFETCH(int, start);
    QFETCH(QList<int>, attached);
    QFETCH(int, driveType);
    QFETCH(QList<int>, opens);
    for (int family : attached)
        plug(family);
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, start);
    QCOMPARE(r.driveType, driveType);
    QCOMPARE(bus().openAttempts(), opens);
    QCOMPARE(r.identity.nCAN == -1, driveType == 0);
    if (start == 2 && bus().device(1))
        QVERIFY(bus().device(1)->requests().isEmpty());
}

void TestDeviceSearch::family1ExchangesReuseOneBuffer()
{
    sim::VirtualDevice& dev = plug(1);
    HIDDevice hid;
    QCOMPARE(searchDevice(hid, 0).identity.nCAN, 2);
    const QString zeros = QString(" 00").repeated(13);
    QCOMPARE(dev.trace().at(1), "> 00 12 15 01" + zeros);  // after the plug event
    const QList<QByteArray> requests = dev.requests();
    QCOMPARE(requests.size(), 4);
    const char codes[] = {0x15, 0x14, 0x01, 0x12};
    for (int i = 0; i < 4; ++i) {
        QByteArray expected = QByteArray::fromHex("00120001") + QByteArray(13, '\0');
        expected[2] = codes[i];
        QCOMPARE(requests[i].toHex(' '), expected.toHex(' '));
    }
    QCOMPARE(dev.readLengths(), (QList<int>{17, 18, 18, 18}));
}

void TestDeviceSearch::identity_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<sim::Version>("hardware");
    QTest::addColumn<sim::Version>("firmware");
    QTest::addColumn<QByteArray>("board");
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<int>("nFibre");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("hardwareText");
    QTest::addColumn<QString>("firmwareText");
    QTest::addColumn<QString>("boardText");
    const sim::Version v105{1, 5, 0}, v203{2, 3, 0}, v2011{2, 0, 11}, v100{1, 0, 0};
    QTest::newRow("family 1, 0x18") << 1 << 0x18 << v105 << v203 << QByteArray("AB12") << 4 << 0
                                    << "Vantor-B8_AB12"
                                    << "Vantor-B8"
                                    << "1.05"
                                    << "2.03"
                                    << "AB12";
    QTest::newRow("family 1, 0x15") << 1 << 0x15 << v105 << v203 << QByteArray("7") << 2 << 16
                                    << "Vantor-B5_7"
                                    << "Vantor-B5"
                                    << "1.05"
                                    << "2.03"
                                    << "7";
    QTest::newRow("family 1, gap 0x06")
        << 1 << 0x06 << v105 << v203 << QByteArray("AB12") << 0 << 0 << "_AB12"
        << ""
        << "1.05"
        << "2.03"
        << "AB12";
    QTest::newRow("family 1, 12-byte board number")
        << 1 << 0x02 << v105 << v203 << QByteArray("ABCDEFGHIJKL") << 2 << 1 << "Vantor-A2_ABCDEFGHIJKL"
        << "Vantor-A2"
        << "1.05"
        << "2.03"
        << "ABCDEFGHIJKL";
    QTest::newRow("family 1, UTF-8 board number")
        << 1 << 0x02 << v105 << v203 << QByteArray("Z\xc3\xbcrich") << 2 << 1 << "Vantor-A2_Zürich"
        << "Vantor-A2"
        << "1.05"
        << "2.03"
        << "Zürich";
    QTest::newRow("family 2, 0x28") << 2 << 0x28 << v100 << v2011 << QByteArray("SN9") << 4 << 0
                                    << "Vantor-D8_SN9"
                                    << "Vantor-D8"
                                    << "V1.0.0"
                                    << "V2.0.11"
                                    << "SN9";
    QTest::newRow("family 2, 0x25") << 2 << 0x25 << v2011 << v100 << QByteArray("SN9") << 2 << 16
                                    << "Vantor-D5_SN9"
                                    << "Vantor-D5"
                                    << "V2.0.11"
                                    << "V1.0.0"
                                    << "SN9";
    QTest::newRow("family 2, gap 0x20") << 2 << 0x20 << v100 << v100 << QByteArray("SN9") << 0 << 0 << "_SN9"
                                        << ""
                                        << "V1.0.0"
                                        << "V1.0.0"
                                        << "SN9";
    const QByteArray board36 = QByteArray("0123456789abcdefghijklmnopqrstuvwxyz");
    QTest::newRow("family 2, 36-byte board number")
        << 2 << 0x23 << v100 << v100 << board36 << 2 << 4 << "Vantor-D3_" + QString(board36) << "Vantor-D3"
        << "V1.0.0"
        << "V1.0.0" << QString(board36);
}

void TestDeviceSearch::identity()
{
    QFETCH(int, family);
    QFETCH(int, typeCode);
    QFETCH(sim::Version, hardware);
    QFETCH(sim::Version, firmware);
    QFETCH(QByteArray, board);
    sim::VirtualDevice& dev = plug(family);
    dev.setTypeCode(typeCode);
    dev.setHardwareVersion(hardware);
    dev.setFirmwareVersion(firmware);
    dev.setBoardNumber(board);
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, family);
    QCOMPARE(r.driveType, family);
    QCOMPARE(r.hardwareType, typeCode);
    QTEST(r.identity.nCAN, "nCAN");
    QTEST(r.identity.nFiberOptic, "nFibre");
    QTEST(r.identity.strName, "name");
    QTEST(r.identity.strDevType, "type");
    QTEST(r.identity.strDevVer, "hardwareText");
    QTEST(r.identity.strFirmware, "firmwareText");
    QTEST(r.identity.strCardNum, "boardText");
}

void TestDeviceSearch::failedIdentityStep_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("exchange");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    QTest::newRow("family 1, type code unanswered") << 1 << 1 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 1, board number unanswered") << 1 << 2 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 1, hardware version unanswered") << 1 << 3 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 1, firmware version unanswered") << 1 << 4 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 1, 15-byte answer") << 1 << 2 << int(Fault::ShortAnswer) << 15;
    QTest::newRow("family 1, write fails") << 1 << 3 << int(Fault::WriteFails) << 0;
    QTest::newRow("family 1, write short") << 1 << 4 << int(Fault::ShortWrite) << 16;
    QTest::newRow("family 1, answer later than 10 ms") << 1 << 1 << int(Fault::Delay) << 11;
    QTest::newRow("family 2, unanswered") << 2 << 1 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 2, 47-byte answer") << 2 << 1 << int(Fault::ShortAnswer) << 47;
    QTest::newRow("family 2, write short") << 2 << 1 << int(Fault::ShortWrite) << 17;
}

void TestDeviceSearch::failedIdentityStep()
{
    QFETCH(int, family);
    QFETCH(int, exchange);
    QFETCH(int, kind);
    QFETCH(int, value);
    sim::VirtualDevice& dev = plug(family);
    dev.injectFault(FaultMatch::nth(exchange), Fault{Fault::Kind(kind), value});
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, family);
    QCOMPARE(r.identity.nCAN, -1);
    QVERIFY(r.identity.strName.isEmpty());
    // The family that was opened stays, and so does the device and the type code read so far.
    QCOMPARE(r.driveType, family);
    QVERIFY(hid.isOpen());
    QCOMPARE(r.hardwareType, exchange > 1 ? dev.identity().typeCode : -1);
    QCOMPARE(dev.exchangeCount(), exchange);
}

void TestDeviceSearch::accessDenied_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("refused");
    QTest::addColumn<bool>("plugOther");
    QTest::addColumn<int>("driveType");
    QTest::newRow("family 1 refused") << 1 << 1 << false << 0;
    QTest::newRow("family 2 refused") << 2 << 2 << false << 0;
    QTest::newRow("family 1 refused, family 2 found") << 0 << 1 << true << 2;
}

void TestDeviceSearch::accessDenied()
{
    QFETCH(int, start);
    QFETCH(int, refused);
    QFETCH(bool, plugOther);
    QFETCH(int, driveType);
    plug(refused).setRefuseOpen(true);
    if (plugOther)
        plug(3 - refused);
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, start);
    QVERIFY(r.accessDenied);
    QCOMPARE(r.driveType, driveType);
    QCOMPARE(r.identity.nCAN == -1, driveType == 0);
}

void TestDeviceSearch::waitForAllWaitsForRunningSearches()
{
    std::mutex mutex;
    std::condition_variable released;
    bool go = false;
    searchthreads::start([&] {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return go; });
    });
    QCOMPARE(searchthreads::running(), 1);
    QVERIFY(!searchthreads::waitForAll(0));
    {
        std::lock_guard<std::mutex> lock(mutex);
        go = true;
    }
    released.notify_all();
    QVERIFY(searchthreads::waitForAll(-1));
    QCOMPARE(searchthreads::running(), 0);
}

void TestDeviceSearch::concurrentSearchesDoNotInterleave()
{
    plug(2);
    HIDDevice hid;
    SearchResult results[8];
    for (SearchResult& r : results)
        searchthreads::start([&hid, &r] { r = searchDevice(hid, 2); });
    QVERIFY(searchthreads::waitForAll(-1));
    for (const SearchResult& r : results)
        QCOMPARE(r.identity.strDevType, QStringLiteral("Vantor-D3"));
    QCOMPARE(bus().openHandles(), 1);
}

QTEST_GUILESS_MAIN(TestDeviceSearch)
#include "tst_devicesearch.moc"
