// The virtual device answers a read where the real device puts each field:
// the tests of the tool rely on it.

#include "device/HIDDevice.h"
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

QTEST_GUILESS_MAIN(TestVirtualDevice)
#include "tst_virtualdevice.moc"
