// The main window and the connection lifecycle: what a plugged device is
// asked, what the window builds and shows for it, and that no operation
// reaches a device the window is not connected to.

#include "E2e.h"

#include "app/DevInfoWidget.h"
#include "device/HardwareType.h"
#include "widgets/CustomProgressIndicator.h"

#include <QAction>
#include <QMouseEvent>
#include <QTimer>

using namespace e2e;

class ConnectionTest : public WindowTest {
    Q_OBJECT

private slots:
    void commandsRefuseWithoutDevice_data();
    void commandsRefuseWithoutDevice();
    void titleBarDoubleClick_data();
    void titleBarDoubleClick();
    void connectsAtStartup_data();
    void connectsAtStartup();
    void unplugEmptiesEveryEditor();
    void arrivalWhileConnectedSearchesAfresh();
    void failedSearchLeavesTheEditorsButNoOperation();
    void removalDuringTheWritesEventsStopsIt();
    void writePaintsItsGreyedButtons();
    void accessDeniedSaysHowToFixIt();
    void arrivalDuringSearchWaitsForIt();
    void windowClosedDuringSearch();
};

namespace {

// The read of a family-1 device with two CAN channels and one fibre: offset 5
// keeps the last bank number (0x0D) once channel 1's banks are read.
QStringList family1ReadOfTwoChannelsAndOneFibre()
{
    QStringList r;
    for (int c = 1; c <= 2; ++c) {
        r << report1(c == 1 ? "00 12 a4 01 01 00" : "00 12 a4 01 02 0d");
        for (int b = 0; b < 14; ++b)
            r << report1(QStringLiteral("00 12 a5 02 %1 %2").arg(hex2(c), hex2(b)));
    }
    return r << report1("00 12 26 01 00 0d") << report1("00 12 28 01 00 0d");
}

}  // namespace

void ConnectionTest::commandsRefuseWithoutDevice_data()
{
    QTest::addColumn<QString>("button");  // empty: the Device Info menu entry
    QTest::addColumn<QString>("message");
    const QString message = QStringLiteral("device not connect");
    QTest::newRow("Device Info") << QString() << message;
    for (const char* button : {"m_pushButtonRead", "m_pushButtonWrite", "m_pushButtonDefault",
                               "m_pushButtonSaveToFile", "pushButton_query", "pushButton_update"})
        QTest::newRow(button) << button << message;
}

// The search finds no device, says so, and every command refuses.
void ConnectionTest::commandsRefuseWithoutDevice()
{
    QFETCH(QString, button);
    CorvelleRepeater window;
    QVERIFY(window.isSearching());
    QVERIFY(!window.progressIndicator()->isHidden());
    settle();
    QVERIFY(!window.isSearching());
    QVERIFY(window.progressIndicator()->isHidden() && !window.progressIndicator()->isAnimated());
    QCOMPARE(window.driveType(), 0);
    QCOMPARE(m_dialogs.texts(), QStringList{"search device fail"});
    QCOMPARE(m_dialogs.boxes.at(0).parent.data(), &window);
    m_dialogs.clear();
    m_dialogs.fileAnswers << QStringLiteral("never.txt");

    if (button.isEmpty())
        window.actionDeviceInfo()->trigger();
    else
        window.findChild<QPushButton*>(button)->click();
    QFETCH(QString, message);
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QVERIFY(m_dialogs.fileCaptions.isEmpty());
    QVERIFY(window.devInfoWidget()->isHidden());
    if (!button.isEmpty())
        QVERIFY(window.findChild<QPushButton*>(button)->isEnabled());
}

void ConnectionTest::titleBarDoubleClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("left at 32.4 rounds to 32") << int(Qt::LeftButton) << qreal(32.4) << true;
    QTest::newRow("left at 32.5 rounds to 33") << int(Qt::LeftButton) << qreal(32.5) << false;
    QTest::newRow("right at 10") << int(Qt::RightButton) << qreal(10) << false;
}

void ConnectionTest::titleBarDoubleClick()
{
    QFETCH(int, button);
    QFETCH(qreal, y);
    const auto mouse = Qt::MouseButton(button);
    CorvelleRepeater window;
    window.show();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(100, y), window.mapToGlobal(QPoint(100, int(y))), mouse,
                      mouse, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &click);
    QTEST(window.isMaximized(), "maximised");
}

void ConnectionTest::connectsAtStartup_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<bool>("upgradeOffered");
    QTest::addColumn<QString>("board");      // the longest the answer holds, without a terminating zero
    QTest::addColumn<QStringList>("shown");  // hardware and firmware version, as the information window shows
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2" << 0x02 << 2 << false << "CV-042-Zürc"
                                 << QStringList{"1.05", "2.03"};
    QTest::newRow("2:Vantor-D8") << 2 << "Vantor-D8" << 0x28 << 4 << true << QString(36, QLatin1Char('N'))
                                 << QStringList{"V1.5.0", "V2.3.0"};
}

void ConnectionTest::connectsAtStartup()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, board);
    sim::VirtualDevice& device = plug(family, model.toLatin1().constData());
    device.setBoardNumber(board.toUtf8());
    device.setHardwareVersion({1, 5, 0});
    device.setFirmwareVersion({2, 3, 0});
    const auto window = connectedWindow();

    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), family);
    QTEST(g_nHardwareType, "typeCode");
    QCOMPARE(m_dialogs.texts(), QStringList());  // failures only, never "read success"
    QCOMPARE(child<QLineEdit>(*window, "m_pLineEditDevName")->text(), model + QLatin1Char('_') + board);
    const QWidget& info = *window->devInfoWidget();
    QCOMPARE(child<QLineEdit>(info, "m_lineEditDevType")->text(), model);
    QCOMPARE(child<QLineEdit>(info, "m_lineEditCardNum")->text(), board);
    QTEST((QStringList{child<QLineEdit>(info, "m_lineEditDevVersion")->text(),
                       child<QLineEdit>(info, "m_lineEditFirmwareVersion")->text()}),
          "shown");
    QTEST(child<QTabWidget>(*window, "tabWidget")->count(), "tabs");
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->tabText(1), QStringLiteral("channel2"));
    QTEST(!child(*window, "widget_update")->isHidden(), "upgradeOffered");
    QTEST(child(*window, "label_tips")->isHidden(), "upgradeOffered");
    if (family == 2)
        return;

    const QStringList identity{report1("00 12 15 01"), report1("00 12 14 01"), report1("00 12 01 01"),
                               report1("00 12 12 01")};
    QCOMPARE(requestsHex(device), identity + family1ReadOfTwoChannelsAndOneFibre());
    QCOMPARE(device.readLengths().mid(0, 3),
             (QList<int>{17, 18, 18}));  // the first identity read asks for 17
    QVERIFY(fibreSelector(*window, 0) && !fibreSelector(*window, 1));
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("1380K"));
    QCOMPARE(child<QTableWidget>(*window, "tableWidgetRoute")->rowCount(), 4);  // header and 3 ports
    QCOMPARE(filterRowCount(*window, 1), 1);
}

void ConnectionTest::unplugEmptiesEveryEditor()
{
    plug(2, "Vantor-D3");
    const auto window = connectedWindow();

    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!window->isConnected());
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 0);
    QVERIFY(!fibreSelector(*window, 0));
    QCOMPARE(child<QTableWidget>(*window, "tableWidgetRoute")->rowCount(), 0);
    QCOMPARE(child<QLineEdit>(*window, "m_pLineEditDevName")->text(), QString());
    QVERIFY(!child(*window, "label_tips")->isHidden());
    QVERIFY(child(*window, "widget_update")->isHidden());

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
}

void ConnectionTest::arrivalWhileConnectedSearchesAfresh()
{
    const sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    // The one device announced again: the old handle is closed before the new
    // search shares the device object, and nothing may reach it meanwhile.
    emit window->deviceChanged(1, 1);
    QVERIFY(!window->isConnected());
    QVERIFY(window->isSearching());
    click(*window, "m_pushButtonRead");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), (QStringList{"device not connect", "device not connect"}));

    settle();
    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), 1);
    QVERIFY(child<QLineEdit>(*window, "m_pLineEditDevName")->text().startsWith(QLatin1String("Vantor-A2_")));
    QCOMPARE(requestsHex(device, before).value(0), report1("00 12 15 01"));
}

void ConnectionTest::failedSearchLeavesTheEditorsButNoOperation()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    canEditor(*window, 0)
        ->appendFilterRow({1, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    device.injectFault(sim::FaultMatch::command(0x12, 0x15), sim::Fault::noAnswer());
    emit window->deviceChanged(1, 1);
    settle();
    QVERIFY(!window->isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList{"search device fail"});
    m_dialogs.clear();
    const int before = requestCount(device);

    click(*window, "m_pushButtonRead");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(filterRowCount(*window, 0), 2);
    // A classic "Default" rebuilds the editors even so.
    click(*window, "m_pushButtonDefault");
    QCOMPARE(m_dialogs.texts(),
             (QStringList{"device not connect", "device not connect", "device not connect"}));
    QCOMPARE(requestCount(device), before);
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 2);
    QCOMPARE(filterRowCount(*window, 0), 1);
}

void ConnectionTest::removalDuringTheWritesEventsStopsIt()
{
    const sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    // Queued before the click, handled while the write lets events run.
    CorvelleRepeater* w = window.get();
    QMetaObject::invokeMethod(
        w,
        [w] {
            sim::VirtualBus::instance().unplug(1);
            emit w->deviceChanged(1, 0);
        },
        Qt::QueuedConnection);
    click(*window, "m_pushButtonWrite");
    QVERIFY(!window->isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
    QCOMPARE(requestCount(device), before);
}

// The repaint held back while the queued events run comes while the reports
// are exchanged; once the write has ended the window repaints again.
void ConnectionTest::writePaintsItsGreyedButtons()
{
    // Answers that take their time: the write is still on the worker when the window paints.
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    device.setInstantTimeouts(false);
    device.setLatency(2);
    const auto window = connectedWindow();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QPushButton* write = child<QPushButton>(*window, "m_pushButtonWrite");
    struct Paints : QObject {
        QList<bool> enabled;
        bool eventFilter(QObject* o, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                enabled << static_cast<QWidget*>(o)->isEnabled();
            return false;
        }
    } paints;
    write->installEventFilter(&paints);
    write->click();
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QCOMPARE(paints.enabled, QList<bool>{false});
    QTRY_COMPARE(paints.enabled, (QList<bool>{false, true}));

    // A window opened while the queued events run has the main window
    // repainted under it before it closes.
    paints.enabled.clear();
    QList<bool> paintedUnderTheBox;
    QTimer::singleShot(0, window.get(), [&] {
        QWidget box(window.get(), Qt::Dialog);
        box.show();
        static_cast<void>(QTest::qWaitFor([&] { return !paints.enabled.isEmpty(); }, 2000));
        paintedUnderTheBox = paints.enabled;
    });
    write->click();
    QCOMPARE(paintedUnderTheBox, QList<bool>{false});
}

void ConnectionTest::accessDeniedSaysHowToFixIt()
{
    plug(2, "Vantor-D3").setRefuseOpen(true);
    const auto window = connectedWindow();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    const QStringList lines = m_dialogs.boxes.at(0).text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("search device fail"));
    QVERIFY(lines.at(1).contains(QStringLiteral("60-corvelle-repeater.rules")));
}

void ConnectionTest::arrivalDuringSearchWaitsForIt()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    CorvelleRepeater window;
    emit window.deviceChanged(2, 1);  // while the first search may still run
    settle();
    QVERIFY(window.isSearching());  // the second one, started after the first result
    settle();
    QVERIFY(!window.isSearching());
    QVERIFY(window.isConnected());
    QVERIFY(m_dialogs.boxes.isEmpty());
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 01 00 27"), 2);
}

// The search thread never touches the window: one destroyed while its search
// waits for the device's answer is simply not told the result.
void ConnectionTest::windowClosedDuringSearch()
{
    plug(2, "Vantor-D3").setLatency(5);
    CorvelleRepeater{};
    searchthreads::waitForAll(10000);
    QCoreApplication::sendPostedEvents();
    QVERIFY(m_dialogs.boxes.isEmpty());
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
