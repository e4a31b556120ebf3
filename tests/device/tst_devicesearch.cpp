// The device search: which family it opens in which order, where a failing
// identity step leaves it, and the search threads.

#include "device/DeviceSearch.h"
#include "sim/VirtualBus.h"

#include <QtTest>

#include <condition_variable>
#include <mutex>

using sim::Fault;
using sim::FaultMatch;

namespace {

sim::VirtualBus& bus()
{
    return sim::VirtualBus::instance();
}

sim::VirtualDevice& plug(int family)
{
    sim::VirtualDevice& dev =
        bus().plug(family, *models::modelByName(family == 1 ? "Vantor-A2" : "Vantor-D3"));
    dev.setInstantTimeouts(true);
    return dev;
}

}  // namespace

class TestDeviceSearch : public QObject {
    Q_OBJECT
private slots:
    void init();
    void familyOrder_data();
    void familyOrder();
    void failedIdentityStep_data();
    void failedIdentityStep();
    void searchThreads();
};

void TestDeviceSearch::init()
{
    bus().install();
    bus().unplugAll();
    bus().clearOpenAttempts();
}

void TestDeviceSearch::familyOrder_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("attached");
    QTest::addColumn<int>("refused");  // the family that refuses the open, 0 none
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QList<int>>("opens");
    QTest::newRow("none, from 0") << 0 << QList<int>{} << 0 << 0 << QList<int>{1, 2};
    QTest::newRow("1, family 2 attached") << 1 << QList<int>{2} << 0 << 2 << QList<int>{1, 2};
    QTest::newRow("2, family 1 attached") << 2 << QList<int>{1} << 0 << 0 << QList<int>{2};
    QTest::newRow("0, both attached") << 0 << QList<int>{1, 2} << 0 << 1 << QList<int>{1};
    QTest::newRow("family 1 refused") << 1 << QList<int>{1} << 1 << 0 << QList<int>{1, 2};
    QTest::newRow("family 1 refused, family 2 found") << 0 << QList<int>{1, 2} << 1 << 2 << QList<int>{1, 2};
}

void TestDeviceSearch::familyOrder()
{
    QFETCH(int, start);
    QFETCH(QList<int>, attached);
    QFETCH(int, refused);
    QFETCH(int, driveType);
    for (int family : attached)
        plug(family).setRefuseOpen(family == refused);
    HIDDevice hid;
    const SearchResult r = searchDevice(hid, start);
    QCOMPARE(r.driveType, driveType);
    QTEST(bus().openAttempts(), "opens");
    QCOMPARE(r.accessDenied, refused != 0);
    QCOMPARE(r.identity.nCAN == -1, driveType == 0);
    if (driveType == 0) {
        QVERIFY(r.identity.strName.isNull() && r.identity.strCardNum.isNull());
        QCOMPARE(r.hardwareType, -1);
    }
}

void TestDeviceSearch::failedIdentityStep_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("exchange");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    QTest::newRow("family 1, type code unanswered") << 1 << 1 << int(Fault::NoAnswer) << 0;
    QTest::newRow("family 1, board number in 15 bytes") << 1 << 2 << int(Fault::ShortAnswer) << 15;
    QTest::newRow("family 1, firmware version written short") << 1 << 4 << int(Fault::ShortWrite) << 16;
    QTest::newRow("family 1, answer later than 10 ms") << 1 << 1 << int(Fault::Delay) << 11;
    QTest::newRow("family 2, answer later than 10 ms") << 2 << 1 << int(Fault::Delay) << 11;
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

void TestDeviceSearch::searchThreads()
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

    // Searches on one device object do not interleave their exchanges.
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
