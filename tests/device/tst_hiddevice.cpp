// The transport: what an open of an absent or refused device leaves.

#include "device/HIDDevice.h"
#include "sim/VirtualBus.h"

#include <QtTest>

namespace {

sim::VirtualDevice& plug(int family)
{
    return sim::VirtualBus::instance().plug(family,
                                            *models::modelByName(family == 1 ? "Vantor-A2" : "Vantor-D3"));
}

bool openFamily(HIDDevice& hid, int family)
{
    return family == 1 ? hid.open(0x0483, 0x6901) : hid.open(0x34B7, 0x0101);
}

}  // namespace

class TestHIDDevice : public QObject {
    Q_OBJECT
private slots:
    void openFailures();
};

void TestHIDDevice::openFailures()
{
    sim::VirtualBus::instance().install();
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
    // Without blocking mode the open fails, but the handle stays.
    plug(1).setBlockingModeFails(true);
    QVERIFY(!openFamily(hid, 1));
    QVERIFY(hid.isOpen());
}

QTEST_GUILESS_MAIN(TestHIDDevice)
#include "tst_hiddevice.moc"
