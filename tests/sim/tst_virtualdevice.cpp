#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QTemporaryDir>
#include <QtTest>

using sim::Fault;
using sim::FaultMatch;

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
        const protocol::UsbIds ids = family == 1 ? protocol::kFamily1Ids : protocol::kFamily2Ids;
        m_hid.open(ids.vendor, ids.product);
    }
    int write(const QByteArray& request)
    {
        return m_hid.write(reinterpret_cast<const unsigned char*>(request.constData()), request.size());
    }
    // The bytes delivered; empty on a timeout or an error.
    QByteArray read(int timeoutMs = 50)
    {
        unsigned char answer[48] = {};
        m_lastRead = m_hid.readTimeout(answer, m_family == 1 ? 18 : 48, timeoutMs);
        return QByteArray(reinterpret_cast<const char*>(answer), qMax(0, m_lastRead));
    }
    QByteArray exchange(const QByteArray& request, int timeoutMs = 50)
    {
        write(request);
        return read(timeoutMs);
    }
    int lastRead() const { return m_lastRead; }

private:
    int m_family;
    HIDDevice m_hid;
    int m_lastRead = 0;
};

sim::VirtualDevice& plug(int family, const char* model)
{
    sim::VirtualDevice& dev = sim::VirtualBus::instance().plug(family, *models::modelByName(model));
    dev.setInstantTimeouts(true);
    return dev;
}

QByteArray upgradeLength(quint32 length)
{
    QByteArray r = hex("0115012d00");
    for (int shift = 24; shift >= 0; shift -= 8)
        r += char(length >> shift);
    return r;
}

QByteArray upgradeBlock(quint32 index, const QByteArray& image)
{
    QByteArray r = hex("0115022d");
    for (int shift = 24; shift >= 0; shift -= 8)
        r += char(index >> shift);
    return r + image.mid(int(index) * 32, 32);
}

QByteArray upgradeChecksum(quint16 crc)
{
    return hex("0115032d") + char(crc >> 8) + char(crc);
}

}  // namespace

class TestVirtualDevice : public QObject {
    Q_OBJECT
private slots:
    void init();
    void family1ReadsBackWhatItIsWritten_data();
    void family1ReadsBackWhatItIsWritten();
    void family1RefusesAChannelItLacks();
    void family2ChannelAndFibreReadBack();
    void family2FiltersFollowTheChannelWrite();
    void family2RestoresTheFactoryConfiguration();
    void crc16_data();
    void crc16();
    void firmwareUpgrade_data();
    void firmwareUpgrade();
    void acceptedImageChangesTheReportedVersion();
    void faults_data();
    void faults();
    void faultOnTheNthExchangeOnly();
    void unplugAfterExchanges();
    void unplugAtTheNthWrite_data();
    void unplugAtTheNthWrite();
    void virtualClockAddsWhatAHostWouldWait_data();
    void virtualClockAddsWhatAHostWouldWait();
    void refusedOpenIsStillCounted();
    void traceFormatInMemoryAndFile();
};

void TestVirtualDevice::init()
{
    sim::VirtualBus::instance().install();
    sim::VirtualBus::instance().unplugAll();
}

void TestVirtualDevice::family1ReadsBackWhatItIsWritten_data()
{
    QTest::addColumn<QByteArray>("write");
    QTest::addColumn<QByteArray>("read");
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("bit timing of channel 2")
        << hex("00 12 23 06 00 02 00 12 00 0b") << hex("00 12 a4 01 02") << 5 << hex("00 12 00 0b");
    QTest::newRow("filter bank 3 of channel 2, one position lower")
        << hex("00 12 24 0b 03 82 11 12 34 56 78 00 00 ff ff") << hex("00 12 a5 02 02 03") << 3
        << hex("03 82 11 12 34 56 78 00 00 ff ff");
    QTest::newRow("fibre codes from index 3")
        << hex("00 12 25 05 00 01 0c") << hex("00 12 26 01 00") << 3 << hex("01 0c");
    QTest::newRow("route bytes from index 4") << hex("00 12 27 09 00 48 88 00 00 c0 40 00 00")
                                              << hex("00 12 28 01 00") << 4 << hex("48 88 00 00 c0 40 00 00");
}

void TestVirtualDevice::family1ReadsBackWhatItIsWritten()
{
    QFETCH(QByteArray, write);
    QFETCH(QByteArray, read);
    QFETCH(int, index);
    QFETCH(QByteArray, expected);
    plug(1, "Vantor-A3");  // 2 CAN, 2 fibre
    Host host(1);
    const QByteArray ack = host.exchange(write);
    QCOMPARE(host.lastRead(), 16);
    QCOMPARE(quint8(ack[2]), quint8(0x81));
    const QByteArray answer = host.exchange(read);
    QCOMPARE(host.lastRead(), 16);
    QCOMPARE(answer.mid(index, expected.size()).toHex(' '), expected.toHex(' '));
    if (read[2] == char(0xa4))
        QCOMPARE(quint8(answer[2]), quint8(0x86));
    QCOMPARE(quint8(host.exchange(hex("00 12 11 01 00"), 4000)[2]), quint8(0x81));  // reset
}

void TestVirtualDevice::family1RefusesAChannelItLacks()
{
    sim::VirtualDevice& dev = plug(1, "Vantor-A2");
    Host host(1);
    QCOMPARE(quint8(host.exchange(hex("00 12 a4 01 03"))[2]), quint8(0x00));
    QCOMPARE(quint8(host.exchange(hex("00 12 23 06 00 03 00 12 00 0b"))[2]), quint8(0x00));
    QCOMPARE(dev.state().channels.size(), 2);
}

void TestVirtualDevice::family2ChannelAndFibreReadBack()
{
    sim::VirtualDevice& dev = plug(2, "Vantor-D3");
    Host host(2);
    QCOMPARE(host.write(hex("01 13 04 01 10 00 02 01 01 00 07 0a 02 00 01 09 30 80 00 c0 00")), 48);
    host.read();
    QCOMPARE(host.exchange(hex("01 13 04 00 10 00 02")).mid(7, 14).toHex(' '),
             hex("01 01 00 07 0a 02 00 01 09 30 80 00 c0 00").toHex(' '));
    host.exchange(hex("01 13 06 01 10 03 00 00 00 00 03 d0 90 c0 00 20 00"));
    QCOMPARE(host.exchange(hex("01 13 06 00 10 03 02 01")).mid(9, 8).toHex(' '),
             hex("00 03 d0 90 c0 00 20 00").toHex(' '));
    const sim::DeviceState s = dev.state();
    QCOMPARE(s.channels[1].mode, quint8(1));
    QCOMPARE(s.channels[1].timing, hex("00 07 0a 02"));
    QCOMPARE(s.fibres[2].baud, hex("00 03 d0 90"));
}

void TestVirtualDevice::family2FiltersFollowTheChannelWrite()
{
    sim::VirtualDevice& dev = plug(2, "Vantor-D3");
    Host host(2);
    QCOMPARE(host.exchange(hex("01 13 05 00 10 00 01 00")).mid(8, 2), hex("01 01"));  // the factory filter
    host.exchange(hex("01 13 04 01 10 00 01 00 00 00 07 0a 02"));
    QCOMPARE(host.exchange(hex("01 13 05 00 10 00 01 00")).mid(8, 2), hex("00 00"));  // none any more
    host.exchange(hex("01 13 05 01 0e 00 01 00 02 02 02 00 00 01 23 00 00 07 ff"));
    host.exchange(hex("01 13 05 01 0e 00 01 00 01 02 00 00 00 01 00 00 00 01 10"));
    host.exchange(hex("01 13 05 01 0e 00 01 01 01 01 01 1f ff ff ff 00 00 00 00"));
    QCOMPARE(host.write(hex("01 13 05 00 10 00 01 00")), 48);
    QCOMPARE(host.read().mid(7, 12).toHex(' '), hex("00 01 02 00 00 00 01 00 00 00 01 10").toHex(' '));
    QCOMPARE(host.read().mid(7, 12).toHex(' '), hex("00 02 02 02 00 00 01 23 00 00 07 ff").toHex(' '));
    QCOMPARE(host.exchange(hex("01 13 05 00 10 00 01 01")).mid(7, 12).toHex(' '),
             hex("01 01 01 01 1f ff ff ff 00 00 00 00").toHex(' '));
    QCOMPARE(host.read().size(), 0);
    QCOMPARE(dev.state().channels[0].standardFilters.size(), 2);
    QCOMPARE(dev.state().channels[1].standardFilters.size(), 1);
}

void TestVirtualDevice::family2RestoresTheFactoryConfiguration()
{
    sim::VirtualDevice& dev = plug(2, "Vantor-D5");
    const models::Model& model = *models::modelByName("Vantor-D5");
    Host host(2);
    host.exchange(hex("01 13 04 01 10 00 01 00 00 00 09 13 02"));
    host.exchange(hex("01 13 06 01 10 10 00 00 00 00 00 25 80"));
    QVERIFY(dev.state().channels[0].standardFilters.isEmpty());
    QCOMPARE(host.write(hex("01 13 07 01 01")), 48);
    QCOMPARE(host.read().size(), 0);  // no answer
    const sim::DeviceState s = dev.state();
    const sim::DeviceState factory = sim::factoryState(2, model);
    QCOMPARE(s.channels[0].timing, factory.channels[0].timing);
    QCOMPARE(s.channels[0].standardFilters, factory.channels[0].standardFilters);
    QCOMPARE(s.fibres[15].baud, hex("00 01 c2 00"));
    // Every route on but the same-port one: CAN 0 reaches CAN 1 and all 16 fibres.
    QCOMPARE(s.channels[0].routeWord, hex("40 00 ff ff"));
    QCOMPARE(s.fibres[15].routeWord, hex("c0 00 ff fe"));
}

void TestVirtualDevice::crc16_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("crc");
    QTest::newRow("check value") << QByteArray("123456789") << 0x29B1;
    QTest::newRow("empty") << QByteArray() << 0xFFFF;
    QTest::newRow("abc padded to 32") << QByteArray("abc").leftJustified(32, '\0') << 0x08B6;
}

void TestVirtualDevice::crc16()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, crc);
    QCOMPARE(int(sim::crc16CcittFalse(bytes)), crc);
}

void TestVirtualDevice::firmwareUpgrade_data()
{
    QTest::addColumn<QList<QByteArray>>("requests");
    QTest::addColumn<QByteArray>("statuses");
    QTest::addColumn<bool>("accepted");
    QByteArray image(64, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i * 7);
    const quint16 crc = sim::crc16CcittFalse(image);
    QTest::newRow("whole image") << QList<QByteArray>{upgradeLength(64), upgradeBlock(0, image),
                                                      upgradeBlock(1, image), upgradeChecksum(crc)}
                                 << hex("00 00 00 00") << true;
    QTest::newRow("length not a multiple of 32")
        << QList<QByteArray>{upgradeLength(33)} << hex("01") << false;
    QTest::newRow("4 MiB") << QList<QByteArray>{upgradeLength(4u << 20)} << hex("00") << false;
    QTest::newRow("over 4 MiB") << QList<QByteArray>{upgradeLength((4u << 20) + 32)} << hex("01") << false;
    QTest::newRow("wrong instruction") << QList<QByteArray>{hex("0115012d01")} << hex("02") << false;
    QTest::newRow("block out of order")
        << QList<QByteArray>{upgradeLength(64), upgradeBlock(1, image), upgradeBlock(0, image)}
        << hex("00 01 01") << false;
    QTest::newRow("block without announced length")
        << QList<QByteArray>{upgradeBlock(0, image)} << hex("01") << false;
    QTest::newRow("checksum before the last block")
        << QList<QByteArray>{upgradeLength(64), upgradeBlock(0, image), upgradeChecksum(crc)}
        << hex("00 00 01") << false;
    QTest::newRow("wrong checksum") << QList<QByteArray>{upgradeLength(64), upgradeBlock(0, image),
                                                         upgradeBlock(1, image), upgradeChecksum(crc ^ 1)}
                                    << hex("00 00 00 01") << false;
}

void TestVirtualDevice::firmwareUpgrade()
{
    QFETCH(QList<QByteArray>, requests);
    QFETCH(QByteArray, statuses);
    QFETCH(bool, accepted);
    sim::VirtualDevice& dev = plug(2, "Vantor-D3");
    Host host(2);
    QByteArray seen;
    for (const QByteArray& r : requests)
        seen += host.exchange(r).at(4);
    QCOMPARE(seen.toHex(' '), statuses.toHex(' '));
    QCOMPARE(dev.firmwareImage().size(), accepted ? 64 : 0);
}

void TestVirtualDevice::acceptedImageChangesTheReportedVersion()
{
    sim::VirtualDevice& dev = plug(2, "Vantor-D3");
    dev.setBootloaderVersion({1, 2, 3});
    Host host(2);
    QCOMPARE(host.exchange(hex("01 15 04 03")).mid(4, 7).toHex(' '), hex("00 01 02 03 02 01 00").toHex(' '));
    const QByteArray image = (QByteArray(40, 'x') + sim::versionMarker({3, 10, 4})).leftJustified(64, '\0');
    for (const QByteArray& r : {upgradeLength(64), upgradeBlock(0, image), upgradeBlock(1, image),
                                upgradeChecksum(sim::crc16CcittFalse(image))})
        QCOMPARE(host.exchange(r).at(4), '\0');
    QCOMPARE(dev.firmwareImage(), image);
    QCOMPARE(host.exchange(hex("01 15 04 03")).mid(8, 3), hex("03 0a 04"));
    QCOMPARE(host.exchange(hex("01 13 01 00 27")).mid(9, 3), hex("03 0a 04"));
}

void TestVirtualDevice::faults_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("status");  // -1: not checked
    QTest::newRow("f1 no answer") << 1 << int(Fault::NoAnswer) << 0 << 17 << 0 << -1;
    QTest::newRow("f1 short answer") << 1 << int(Fault::ShortAnswer) << 15 << 17 << 15 << 0x81;
    QTest::newRow("f1 status") << 1 << int(Fault::Status) << 0x55 << 17 << 16 << 0x55;
    QTest::newRow("f1 write fails") << 1 << int(Fault::WriteFails) << 0 << -1 << 0 << -1;
    QTest::newRow("f1 short write") << 1 << int(Fault::ShortWrite) << 10 << 10 << 0 << -1;
    QTest::newRow("f1 reset after 3 s") << 1 << int(Fault::Delay) << 3000 << 17 << 16 << 0x81;
    QTest::newRow("f1 reset after 5 s") << 1 << int(Fault::Delay) << 5000 << 17 << 0 << -1;
    QTest::newRow("f2 no answer") << 2 << int(Fault::NoAnswer) << 0 << 48 << 0 << -1;
    QTest::newRow("f2 short answer") << 2 << int(Fault::ShortAnswer) << 20 << 48 << 20 << 0;
    QTest::newRow("f2 status") << 2 << int(Fault::Status) << 1 << 48 << 48 << 1;
    QTest::newRow("f2 write fails") << 2 << int(Fault::WriteFails) << 0 << -1 << 0 << -1;
}

void TestVirtualDevice::faults()
{
    QFETCH(int, family);
    QFETCH(int, kind);
    QFETCH(int, value);
    sim::VirtualDevice& dev = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    // The family-1 reset instruction and the family-2 version query.
    const QByteArray request = family == 1 ? hex("00 12 11 01 00") : hex("01 15 04 03");
    dev.injectFault(family == 1 ? FaultMatch::command(0x12, 0x11) : FaultMatch::command(0x15, 0x04),
                    Fault{Fault::Kind(kind), value});
    Host host(family);
    QTEST(host.write(request), "written");
    const QByteArray answer = host.read(4000);
    QTEST(host.lastRead(), "read");
    QFETCH(int, status);
    if (status >= 0)
        QCOMPARE(int(quint8(answer[family == 1 ? 2 : 4])), status);
}

void TestVirtualDevice::faultOnTheNthExchangeOnly()
{
    sim::VirtualDevice& dev = plug(2, "Vantor-D3");
    dev.injectFault(FaultMatch::nth(2), Fault::garbage());
    Host host(2);
    const QByteArray normal = host.exchange(hex("01 13 01 00 27"));
    const QByteArray garbage = host.exchange(hex("01 13 01 00 27"));
    QCOMPARE(garbage.size(), 48);
    QVERIFY(garbage != normal);
    QCOMPARE(host.exchange(hex("01 13 01 00 27")), normal);
}

void TestVirtualDevice::unplugAfterExchanges()
{
    sim::VirtualDevice& dev = plug(1, "Vantor-A2");
    dev.unplugAfter(2);
    Host host(1);
    QCOMPARE(host.exchange(hex("00 12 15 01")).size(), 16);
    QCOMPARE(host.exchange(hex("00 12 14 01")).size(), 16);
    QCOMPARE(host.write(hex("00 12 01 01")), -1);
    QVERIFY(!dev.isAttached());
    QVERIFY(!sim::VirtualBus::instance().device(1));
    QCOMPARE(dev.trace().last(), "# unplug " + dev.path());
}

void TestVirtualDevice::unplugAtTheNthWrite_data()
{
    QTest::addColumn<int>("n");
    QTest::newRow("first write") << 1;
    QTest::newRow("third write") << 3;
}

void TestVirtualDevice::unplugAtTheNthWrite()
{
    QFETCH(int, n);
    sim::VirtualDevice& dev = plug(1, "Vantor-A2");
    dev.injectFault(FaultMatch::nth(n), Fault::unplug());
    Host host(1);
    for (int i = 1; i < n; ++i)
        QCOMPARE(host.exchange(hex("00 12 15 01")).size(), 16);
    QCOMPARE(host.write(hex("00 12 14 01")), -1);
    QCOMPARE(host.read().size(), 0);
    QCOMPARE(host.lastRead(), -1);
    QVERIFY(!dev.isAttached());
    QVERIFY(!sim::VirtualBus::instance().device(1));
    QCOMPARE(dev.exchangeCount(), n);  // the failed write is the nth
    QCOMPARE(dev.trace().last(), "# unplug " + dev.path());
}

void TestVirtualDevice::virtualClockAddsWhatAHostWouldWait_data()
{
    QTest::addColumn<int>("latency");
    QTest::addColumn<int>("kind");  // the fault on the reset instruction
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<qint64>("clock");
    QTest::addColumn<int>("delivered");
    QTest::newRow("answered at once") << 0 << int(Fault::Status) << 0x81 << 4000 << qint64(0) << 16;
    QTest::newRow("latency") << 7 << int(Fault::Status) << 0x81 << 4000 << qint64(7) << 16;
    QTest::newRow("delay within the timeout") << 0 << int(Fault::Delay) << 3000 << 4000 << qint64(3000) << 16;
    QTest::newRow("delay past the timeout") << 0 << int(Fault::Delay) << 5000 << 4000 << qint64(4000) << 0;
    QTest::newRow("no answer") << 0 << int(Fault::NoAnswer) << 0 << 50 << qint64(50) << 0;
    QTest::newRow("no answer, no timeout")
        << 0 << int(Fault::NoAnswer) << 0 << -1 << qint64(sim::kWaitsForeverMs) << 0;
}

void TestVirtualDevice::virtualClockAddsWhatAHostWouldWait()
{
    QFETCH(int, latency);
    QFETCH(int, kind);
    QFETCH(int, value);
    QFETCH(int, timeout);
    sim::VirtualDevice& dev = plug(1, "Vantor-A2");
    dev.setLatency(latency);
    dev.injectFault(FaultMatch::command(0x12, 0x11), Fault{Fault::Kind(kind), value});
    Host host(1);
    host.write(hex("00 12 11 01 00"));
    host.read(timeout);  // instant timeouts: counted, not waited
    QTEST(dev.virtualClockMs(), "clock");
    const QList<sim::HostRead> reads = dev.reads();
    QCOMPARE(reads.size(), 1);
    QCOMPARE(reads[0].exchange, 1);
    QCOMPARE(reads[0].timeoutMs, timeout);
    QTEST(reads[0].delivered, "delivered");
    dev.clearTrace();
    QCOMPARE(dev.virtualClockMs(), qint64(0));
    QVERIFY(dev.reads().isEmpty());
}

void TestVirtualDevice::refusedOpenIsStillCounted()
{
    plug(2, "Vantor-D3").setRefuseOpen(true);
    const HidBackend& hid = hidBackend();
    QVERIFY(!hid.open(0x34B7, 0x0101, nullptr));
    QCOMPARE(hid.count(0x34B7, 0x0101), 1);
    QCOMPARE(hid.count(0x0483, 0x6901), 0);
}

void TestVirtualDevice::traceFormatInMemoryAndFile()
{
    QTemporaryDir dir;
    const QString file = dir.filePath("trace.txt");
    qputenv("CORVELLE_SIM_TRACE", file.toLocal8Bit());
    sim::VirtualBus::instance().install();
    sim::VirtualDevice& dev = plug(1, "Vantor-A2");
    Host host(1);
    host.exchange(hex("00 12 15 01"));
    host.read(10);
    qunsetenv("CORVELLE_SIM_TRACE");
    sim::VirtualBus::instance().install();  // stops the file
    const QStringList expected{
        "# plug Vantor-A2 " + dev.path(),
        "> 00 12 15 01 00 00 00 00 00 00 00 00 00 00 00 00 00",
        "< 12 15 86 00 02 00 00 00 00 00 00 00 00 00 00 00",
        "# read timed out after 10 ms",
    };
    QCOMPARE(dev.trace(), expected);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts), expected);
}

QTEST_GUILESS_MAIN(TestVirtualDevice)
#include "tst_virtualdevice.moc"
