#include "device/DevicePath.h"
#include "device/DeviceSearch.h"
#include "device/DeviceWatcher.h"
#include "sim/VirtualBus.h"

#include <QSignalSpy>
#include <QtTest>

#include <condition_variable>
#include <mutex>

namespace {

sim::VirtualBus& bus()
{
    return sim::VirtualBus::instance();
}

// The virtual bus without its own plug events, as the system hidapi is.
const HidBackend& countingOnlyBackend()
{
    static const HidBackend table = [] {
        HidBackend t = sim::VirtualBus::instance().backend();
        t.setPlugListener = nullptr;
        return t;
    }();
    return table;
}

void plug(int family)
{
    bus().plug(family, *models::modelByName(family == 1 ? "Vantor-A2" : "Vantor-D3"));
}

}  // namespace

class TestDeviceWatcher : public QObject {
    Q_OBJECT
private slots:
    void init();
    void plugEventsArriveQueued_data();
    void plugEventsArriveQueued();
    void destroyingOneWatcherLeavesTheOtherListening();
    void pollingReportsCountChanges();
    void pollingWaitsWhileASearchRuns();
};

void TestDeviceWatcher::init()
{
    bus().install();
    bus().unplugAll();
}

void TestDeviceWatcher::plugEventsArriveQueued_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("family 1") << 1;
    QTest::newRow("family 2") << 2;
}

void TestDeviceWatcher::plugEventsArriveQueued()
{
    QFETCH(int, family);
    DeviceWatcher watcher;
    QSignalSpy spy(&watcher, &DeviceWatcher::deviceInterfaceChanged);
    watcher.start();
    plug(family);
    QCOMPARE(spy.count(), 0);  // delivered through the event loop
    QVERIFY(spy.wait());
    bus().unplug(family);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(familyOfDevicePath(spy[0][0].toString()), family);
    QCOMPARE(spy[0][1].toBool(), true);
    QCOMPARE(familyOfDevicePath(spy[1][0].toString()), family);
    QCOMPARE(spy[1][1].toBool(), false);
}

void TestDeviceWatcher::destroyingOneWatcherLeavesTheOtherListening()
{
    DeviceWatcher kept;
    QSignalSpy spy(&kept, &DeviceWatcher::deviceInterfaceChanged);
    kept.start();
    {
        DeviceWatcher gone;
        gone.start();
    }
    plug(2);
    QVERIFY(spy.wait());
}

void TestDeviceWatcher::pollingReportsCountChanges()
{
    plug(1);  // attached before the watcher starts: not an arrival
    setHidBackend(countingOnlyBackend());
    DeviceWatcher watcher;
    QSignalSpy spy(&watcher, &DeviceWatcher::deviceInterfaceChanged);
    watcher.startPolling(10);
    plug(2);
    QVERIFY(spy.wait());
    QCOMPARE(familyOfDevicePath(spy[0][0].toString()), 2);
    QCOMPARE(spy[0][1].toBool(), true);
    bus().unplug(1);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(familyOfDevicePath(spy[1][0].toString()), 1);
    QCOMPARE(spy[1][1].toBool(), false);
}

void TestDeviceWatcher::pollingWaitsWhileASearchRuns()
{
    setHidBackend(countingOnlyBackend());
    DeviceWatcher watcher;
    QSignalSpy spy(&watcher, &DeviceWatcher::deviceInterfaceChanged);
    watcher.startPolling(10);
    std::mutex mutex;
    std::condition_variable released;
    bool go = false;
    searchthreads::start([&] {
        std::unique_lock<std::mutex> lock(mutex);
        released.wait(lock, [&] { return go; });
    });
    plug(2);
    QTest::qWait(100);  // several ticks, all skipped
    QCOMPARE(spy.count(), 0);
    {
        std::lock_guard<std::mutex> lock(mutex);
        go = true;
    }
    released.notify_all();
    QVERIFY(searchthreads::waitForAll(-1));
    QVERIFY(spy.wait());
    QCOMPARE(familyOfDevicePath(spy[0][0].toString()), 2);
}

QTEST_GUILESS_MAIN(TestDeviceWatcher)
#include "tst_devicewatcher.moc"
