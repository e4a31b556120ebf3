// The connection lifecycle end to end: what a plugged device is asked, what
// the window builds for it, and that no operation reaches a device the window
// is no longer connected to.

#include "TransferTests.h"
#include "WindowTest.h"

using namespace e2e;

class LifecycleTest : public WindowTest {
    Q_OBJECT

private slots:
    void connectionReadsTheWholeConfiguration();
    void readButtonAnnouncesSuccess();
    void unplugEmptiesEveryEditor();
    void unknownTypeCodeStillReadsTheRoutes();
    void searchWhileConnectedLocksOperationsOut();
    void failedSearchLeavesNoOperationOnTheDevice();
    void removalDuringTheWritesEventsStopsIt();
};

namespace {

// The read sequence of a family-1 device with two CAN channels and one fibre:
// offset 5 keeps the last bank number (0x0D) once channel 1's banks are read.
QStringList family1ReadOfTwoChannelsAndOneFibre()
{
    QStringList r;
    const char* timing[] = {"00 12 a4 01 01 00", "00 12 a4 01 02 0d"};
    for (int c = 1; c <= 2; ++c) {
        r << report1(timing[c - 1]);
        for (int b = 0; b < 14; ++b)
            r << report1(QStringLiteral("00 12 a5 02 %1 %2").arg(hex2(c), hex2(b)));
    }
    r << report1("00 12 26 01 00 0d") << report1("00 12 28 01 00 0d");
    return r;
}

const QStringList kFamily1Identity{report1("00 12 15 01"), report1("00 12 14 01"), report1("00 12 01 01"),
                                   report1("00 12 12 01")};

}  // namespace

void LifecycleTest::connectionReadsTheWholeConfiguration()
{
    const sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();

    QVERIFY(window->isConnected());
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 2);
    QVERIFY(fibreSelector(*window, 0));
    QVERIFY(!fibreSelector(*window, 1));
    QCOMPARE(child<QTableWidget>(*window, "tableWidgetRoute")->rowCount(), 4);  // header and 3 ports
    QCOMPARE(requestsHex(device), kFamily1Identity + family1ReadOfTwoChannelsAndOneFibre());
    QCOMPARE(m_dialogs.texts(), QStringList());  // failures only, never "read success"
    QCOMPARE(filterRowCount(*window, 0), 1);
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("1380K"));
}

void LifecycleTest::readButtonAnnouncesSuccess()
{
    const sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    click(*window, "m_pushButtonRead");
    QCOMPARE(requestsSince(device, before), family1ReadOfTwoChannelsAndOneFibre());
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QCOMPARE(m_dialogs.boxes.at(0).parent.data(), window.get());
    QVERIFY(child<QPushButton>(*window, "m_pushButtonRead")->isEnabled());
    QCOMPARE(filterRowCount(*window, 1), 1);  // cleared before the read, then read again
}

void LifecycleTest::unplugEmptiesEveryEditor()
{
    plug(1, "Vantor-A2");
    const auto window = connectedWindow();

    sim::VirtualBus::instance().unplug(1);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!window->isConnected());
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 0);
    QVERIFY(!fibreSelector(*window, 0));
    QCOMPARE(child<QTableWidget>(*window, "tableWidgetRoute")->rowCount(), 0);
    QCOMPARE(child<QLineEdit>(*window, "m_pLineEditDevName")->text(), QString());

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
}

void LifecycleTest::unknownTypeCodeStillReadsTheRoutes()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    device.setTypeCode(0x7F);
    const auto window = connectedWindow();

    QVERIFY(window->isConnected());
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 0);
    QVERIFY(!fibreSelector(*window, 0));
    QCOMPARE(requestsSince(device, 4), QStringList{report1("00 12 28 01 00")});
    QCOMPARE(m_dialogs.texts(), QStringList());
}

void LifecycleTest::searchWhileConnectedLocksOperationsOut()
{
    const sim::VirtualDevice& first = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    const int before = requestCount(first);

    // A second device arrives: the old handle is closed before the new search
    // shares the device object, and nothing may reach either meanwhile.
    const sim::VirtualDevice& second = plug(2, "Vantor-D5");
    QVERIFY(!window->isConnected());
    click(*window, "m_pushButtonRead");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), (QStringList{"device not connect", "device not connect"}));
    QCOMPARE(requestCount(first), before);

    settle();
    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), 2);
    QCOMPARE(requestCount(first), before);
    QVERIFY(anyRequestStartsWith(requestsHex(second), "01 13 06 00 10 10"));  // read up to fibre 16
}

void LifecycleTest::failedSearchLeavesNoOperationOnTheDevice()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.injectFault(sim::FaultMatch::command(0x13, 0x01), sim::Fault::noAnswer());
    emit window->deviceChanged(2, 1);
    settle();
    QCOMPARE(m_dialogs.texts(), QStringList{"search device fail"});
    const int before = requestCount(device);

    m_dialogs.clear();
    click(*window, "m_pushButtonRead");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), (QStringList{"device not connect", "device not connect"}));
    QCOMPARE(requestCount(device), before);
}

void LifecycleTest::removalDuringTheWritesEventsStopsIt()
{
    const sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    // Queued before the click, handled while the write lets events run.
    CorvelleRepeater* w = window.get();
    QMetaObject::invokeMethod(
        w, [w] { emit w->deviceChanged(1, 0); }, Qt::QueuedConnection);
    click(*window, "m_pushButtonWrite");
    QVERIFY(!window->isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
    QCOMPARE(requestCount(device), before);
}

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
