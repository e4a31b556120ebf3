// Where no udev daemon runs, the watcher compares the attached devices on a
// timer, and never while a search may open one.

#include "device/DevicePath.h"
#include "device/DeviceSearch.h"
#include "device/DeviceWatcher.h"
#include "sim/VirtualBus.h"

#include <QSignalSpy>
#include <QtTest>

#include <future>

namespace {

void plug(int family)
{
    sim::VirtualBus::instance().plug(family, *models::modelByName(family == 1 ? "Vantor-A2" : "Vantor-D3"));
}

}  // namespace

class TestDeviceWatcher : public QObject {
    Q_OBJECT
private slots:
    void pollingReportsChangesWhenNoSearchRuns();
};

void TestDeviceWatcher::pollingReportsChangesWhenNoSearchRuns()
{
    sim::VirtualBus::instance().install();
    plug(1);  // attached before the watcher starts: not an arrival
    // The virtual bus without its own plug events, as the system hidapi is.
    static HidBackend backend = sim::VirtualBus::instance().backend();
    backend.setPlugListener = nullptr;
    setHidBackend(backend);
    DeviceWatcher watcher;
    QSignalSpy spy(&watcher, &DeviceWatcher::deviceInterfaceChanged);
    watcher.startPolling(10);
    std::promise<void> release;
    searchthreads::start([running = release.get_future().share()] { running.wait(); });
    plug(2);
    QTest::qWait(100);  // several ticks, all skipped
    QCOMPARE(spy.count(), 0);
    release.set_value();
    QVERIFY(searchthreads::waitForAll(-1));
    QVERIFY(spy.wait());
    QCOMPARE(familyOfDevicePath(spy[0][0].toString()), 2);
    QCOMPARE(spy[0][1].toBool(), true);
    sim::VirtualBus::instance().unplug(1);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(familyOfDevicePath(spy[1][0].toString()), 1);
    QCOMPARE(spy[1][1].toBool(), false);
}

QTEST_GUILESS_MAIN(TestDeviceWatcher)
#include "tst_devicewatcher.moc"
