// The virtual device answers a read where the real device puts each field:
// the tests of the tool rely on it.

#include "device/HIDDevice.h"
#include "sim/Simulation.h"
#include "sim/VirtualBus.h"

#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

// The tool's side of the link, through HIDDevice as the tool uses it.
class Host {
public:
    explicit Host(int family) : m_family(family)
    {
        family == 1 ? m_hid.open(0x0483, 0x6901) : m_hid.open(0x34B7, 0x0101);
    }
    // The bytes delivered; empty on a timeout or an error.
    QByteArray exchange(const QByteArray& request, int timeoutMs = 50)
    {
        m_hid.write(reinterpret_cast<const unsigned char*>(request.constData()), request.size());
        unsigned char answer[48] = {};
        const int read = m_hid.readTimeout(answer, m_family == 1 ? 18 : 48, timeoutMs);
        return QByteArray(reinterpret_cast<const char*>(answer), qMax(0, read));
    }

private:
    int m_family;
    HIDDevice m_hid;
};

sim::VirtualDevice& plug(int family, const char* model)
{
    sim::VirtualDevice& dev = sim::VirtualBus::instance().plug(family, *models::modelByName(model));
    dev.setInstantTimeouts(true);
    return dev;
}

}  // namespace

class TestVirtualDevice : public QObject {
    Q_OBJECT
private slots:
    void init();
    void readsBackWhatItIsWritten_data();
    void readsBackWhatItIsWritten();
    void simulateOptionTimes_data();
    void simulateOptionTimes();
    void devicesOfOneFamilyHavePathsOfTheirOwn();
};

void TestVirtualDevice::init()
{
    sim::VirtualBus::instance().install();
    sim::VirtualBus::instance().unplugAll();
}

void TestVirtualDevice::readsBackWhatItIsWritten_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("write");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("answer");  // from that index on
    QTest::newRow("1: bit timing of channel 2")
        << 1 << hex("00 12 23 06 00 02 00 12 00 0b") << hex("00 12 a4 01 02") << 5 << hex("00 12 00 0b");
    QTest::newRow("1: filter bank 3 of channel 2, one position lower")
        << 1 << hex("00 12 24 0b 03 82 11 12 34 56 78 00 00 ff ff") << hex("00 12 a5 02 02 03") << 3
        << hex("03 82 11 12 34 56 78 00 00 ff ff");
    QTest::newRow("1: fibre codes from index 3")
        << 1 << hex("00 12 25 05 00 01 0c") << hex("00 12 26 01 00") << 3 << hex("01 0c");
    QTest::newRow("1: route bytes from index 4")
        << 1 << hex("00 12 27 09 00 48 88 00 00 c0 40 00 00") << hex("00 12 28 01 00") << 4
        << hex("48 88 00 00 c0 40 00 00");
    QTest::newRow("2: channel 2") << 2
                                  << hex("01 13 04 01 10 00 02 01 01 00 07 0a 02 00 01 09 30 80 00 c0 00")
                                  << hex("01 13 04 00 10 00 02") << 7
                                  << hex("01 01 00 07 0a 02 00 01 09 30 80 00 c0 00");
}

void TestVirtualDevice::readsBackWhatItIsWritten()
{
    QFETCH(int, family);
    QFETCH(QByteArray, write);
    QFETCH(QByteArray, read);
    QFETCH(int, index);
    QFETCH(QByteArray, answer);
    plug(family, family == 1 ? "Vantor-A3" : "Vantor-D3");
    Host host(family);
    const QByteArray acknowledgement = host.exchange(write);
    if (family == 1)
        QCOMPARE(quint8(acknowledgement.at(2)), quint8(0x81));
    QCOMPARE(host.exchange(read).mid(index, answer.size()).toHex(' '), answer.toHex(' '));
}

void TestVirtualDevice::simulateOptionTimes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("arriveMs");  // -1: the value is refused
    QTest::addColumn<int>("leaveMs");
    QTest::newRow("at start") << "2:Vantor-D5" << 0 << -1;
    QTest::newRow("arrives") << "2:Vantor-D5@3s" << 3000 << -1;
    QTest::newRow("arrives and leaves") << "1:Vantor-A2@1s-4.5s" << 1000 << 4500;
    QTest::newRow("leaves") << "Vantor-D5@-500ms" << 0 << 500;
    QTest::newRow("leaves before it arrives") << "2:Vantor-D5@3s-1s" << -1 << 0;
    QTest::newRow("no unit") << "2:Vantor-D5@3" << -1 << 0;
    QTest::newRow("no time") << "2:Vantor-D5@" << -1 << 0;
}

void TestVirtualDevice::simulateOptionTimes()
{
    QFETCH(QString, value);
    QFETCH(int, arriveMs);
    QFETCH(int, leaveMs);
    sim::SimulateChoice choice;
    QString error;
    QCOMPARE(sim::parseSimulateOption(value, &choice, &error), arriveMs >= 0);
    if (arriveMs < 0) {
        QVERIFY2(error.startsWith(QStringLiteral("--simulate: bad time")), qPrintable(error));
        return;
    }
    QCOMPARE(choice.arriveMs, arriveMs);
    QCOMPARE(choice.leaveMs, leaveMs);
}

// As on a hub: each its own path, an open by path reaches that one, and
// the one pulled out leaves the others.
void TestVirtualDevice::devicesOfOneFamilyHavePathsOfTheirOwn()
{
    sim::VirtualBus& bus = sim::VirtualBus::instance();
    const models::Model& d5 = *models::modelByName(QStringLiteral("Vantor-D5"));
    sim::VirtualDevice& first = bus.plugAnother(2, d5);
    sim::VirtualDevice& second =
        bus.plugAnother(2, d5, [](sim::VirtualDevice& d) { d.setBoardNumber("B2"); });
    bus.plugAnother(1, *models::modelByName(QStringLiteral("Vantor-A2")));
    QCOMPARE(hidBackend().paths(0x34B7, 0x0101),
             (std::vector<std::string>{"HID VID_34B7&PID_0101 /dev/virtual-hidraw2",
                                       "HID VID_34B7&PID_0101 /dev/virtual-hidraw3"}));
    QCOMPARE(hidBackend().count(0x0483, 0x6901), 1);
    QCOMPARE(second.identity().boardNumber, QByteArray("B2"));
    bus.unplug(first);
    QCOMPARE(hidBackend().paths(0x34B7, 0x0101),
             std::vector<std::string>{"HID VID_34B7&PID_0101 /dev/virtual-hidraw3"});
    // The lowest node free again, as hidraw numbers them.
    QCOMPARE(bus.plugAnother(2, d5).path(), QStringLiteral("HID VID_34B7&PID_0101 /dev/virtual-hidraw2"));
}

QTEST_GUILESS_MAIN(TestVirtualDevice)
#include "tst_virtualdevice.moc"
