// Several devices attached: the device name row becomes a chooser with the
// entries of `corvelle-cli list`, choosing another entry asks about unwritten
// changes and connects to it, and plugging and unplugging keep the list true.

#include "E2e.h"

#include "history/History.h"

#include <QJsonObject>
#include <QWheelEvent>

using namespace e2e;

namespace {

sim::VirtualDevice& plugBeside(int family, const char* model,
                               const std::function<void(sim::VirtualDevice&)>& prepare = {})
{
    sim::VirtualDevice& device = sim::VirtualBus::instance().plugAnother(family, *models::modelByName(model),
                                                                         [&prepare](sim::VirtualDevice& d) {
                                                                             d.setInstantTimeouts(true);
                                                                             if (prepare)
                                                                                 prepare(d);
                                                                         });
    QCoreApplication::sendPostedEvents();
    return device;
}

// The search, and the listing of the other devices that follows it.
void settleAll()
{
    settle();
    settle();
}

QComboBox* chooser(const QWidget& window)
{
    return child<QComboBox>(window, "comboBoxDevices");
}

QStringList entries(const QWidget& window)
{
    QStringList list;
    for (int i = 0; i < chooser(window)->count(); ++i)
        list << chooser(window)->itemText(i);
    return list;
}

// Chooses the entry below the current one, by keyboard.
void chooseNext(const QWidget& window)
{
    QTest::keyClick(chooser(window), Qt::Key_Down);
    settleAll();
}

QString deviceName(const QWidget& window)
{
    return child<QLineEdit>(window, "m_pLineEditDevName")->text();
}

const QString kA2 = QStringLiteral("Vantor-A2  HID VID_0483&PID_6901 /dev/virtual-hidraw1");
const QString kD5 = QStringLiteral("Vantor-D5  HID VID_34B7&PID_0101 /dev/virtual-hidraw2");
const QString kD3 = QStringLiteral("Vantor-D3  HID VID_34B7&PID_0101 /dev/virtual-hidraw3");

}  // namespace

class DevicesTest : public WindowTest {
    Q_OBJECT

private slots:
    void chooserListsTheDevicesAsTheListDoes();
    void connectedEntryOfTwoOfAFamily();
    void arrivalJoinsTheListAndKeepsTheDevice();
    void switchingReadsTheOtherDevice();
    void switchingAsksAboutUnwrittenChanges();
    void historyNamesTheChosenDevice();
    void unplugOfTheConnectedDeviceGoesOnToAnother();
    void removalOfAnotherDeviceLetsTheWriteGoOn();
    void editsKeptForALostDeviceWaitForIt();
};

// Family 1 first, then family 2 in the order they were attached, whatever
// the order of plugging; the device found first is the one connected.
void DevicesTest::chooserListsTheDevicesAsTheListDoes()
{
    plugBeside(2, "Vantor-D5");
    plugBeside(1, "Vantor-A2");
    plugBeside(2, "Vantor-D3");
    const auto window = connectedWindow();
    settleAll();

    QCOMPARE(entries(*window), (QStringList{kA2, kD5, kD3}));
    QCOMPARE(chooser(*window)->itemData(1, Qt::ToolTipRole).toString(),
             QStringLiteral("34b7:0101  family 2  Vantor-D5  HID VID_34B7&PID_0101 /dev/virtual-hidraw2"));
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QVERIFY(!chooser(*window)->isHidden());
    QVERIFY(child(*window, "m_pLineEditDevName")->isHidden());
    QCOMPARE(chooser(*window)->accessibleName(), QStringLiteral("Device Name:"));
    // The first Tab stop, where the name stands, before the pages.
    QWidget* first = window->nextInFocusChain();
    while (first != window.get() && !(first->focusPolicy() & Qt::TabFocus))
        first = first->nextInFocusChain();
    QCOMPARE(first, chooser(*window));
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-A2_")));

    // The wheel passing over it changes nothing; only a click or Tab focuses it.
    QVERIFY(chooser(*window)->focusPolicy() != Qt::WheelFocus);
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(chooser(*window), &wheel);
    settleAll();
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QCOMPARE(window->driveType(), 1);
}

// Two of one family: the search by ids opens the first, which is the entry
// selected and the one the listing leaves alone (it is asked who it is once).
void DevicesTest::connectedEntryOfTwoOfAFamily()
{
    const sim::VirtualDevice& d5 = plugBeside(2, "Vantor-D5");
    const sim::VirtualDevice& d3 = plugBeside(2, "Vantor-D3");
    const auto window = connectedWindow();
    settleAll();
    QCOMPARE(entries(*window), (QStringList{"Vantor-D5  HID VID_34B7&PID_0101 /dev/virtual-hidraw2", kD3}));
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QCOMPARE(countStartingWith(requestsHex(d5), "01 13 01 00 27"), 1);
    QCOMPARE(requestsHex(d3), (QStringList{report2("01 13 01 00 27")}));
}

// A device plugged in beside the connected one is listed, and nothing is
// sent to the connected one: it stays connected with its edits.
void DevicesTest::arrivalJoinsTheListAndKeepsTheDevice()
{
    const sim::VirtualDevice& a2 = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    settleAll();
    QVERIFY(chooser(*window)->isHidden());
    QVERIFY(!child(*window, "m_pLineEditDevName")->isHidden());
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    const int before = requestCount(a2);

    const sim::VirtualDevice& d5 = plugBeside(2, "Vantor-D5");
    settleAll();
    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), 1);
    QCOMPARE(requestCount(a2), before);
    QCOMPARE(requestsHex(d5), (QStringList{report2("01 13 01 00 27")}));  // only who it is
    QCOMPARE(entries(*window), (QStringList{kA2, kD5}));
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QCOMPARE(window->refreshChanges(), 1);
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void DevicesTest::switchingReadsTheOtherDevice()
{
    const sim::VirtualDevice& a2 = plug(1, "Vantor-A2");
    const sim::VirtualDevice& d5 = plugBeside(2, "Vantor-D5", [](sim::VirtualDevice& d) {
        sim::DeviceState state = d.state();
        state.fibres[0].baud = QByteArray::fromHex("00004b00");
        d.setState(state);
    });
    const auto window = connectedWindow();
    settleAll();
    const int a2Before = requestCount(a2);
    const int d5Before = requestCount(d5);

    chooseNext(*window);
    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), 2);
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-D5_")));
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 2);
    QVERIFY(fibreSelector(*window, 15));
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("19200"));
    QCOMPARE(chooser(*window)->currentIndex(), 1);
    QCOMPARE(entries(*window), (QStringList{kA2, kD5}));
    QCOMPARE(requestCount(a2), a2Before);
    const QStringList sent = requestsHex(d5, d5Before);
    QCOMPARE(sent.value(0), report2("01 13 01 00 27"));
    QCOMPARE(countStartingWith(sent, "01 13 06 00 10 10"), 1);  // the read, up to fibre 16
    QVERIFY(m_dialogs.boxes.isEmpty());
    QVERIFY(m_dialogs.choices.isEmpty());  // nothing to ask without changes
}

// Two of one family: the history names the device written, not the first one.
void DevicesTest::historyNamesTheChosenDevice()
{
    plug(2, "Vantor-D5");
    plugBeside(2, "Vantor-D3");
    const auto window = connectedWindow();
    settleAll();
    chooseNext(*window);
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-D3_")));
    click(*window, "m_pushButtonWrite");
    const QVector<QJsonObject> records = history::readAll();
    QVERIFY(!records.isEmpty());
    // As the chooser names it: "Vantor-D3  HID VID_34B7&PID_0101 /dev/virtual-hidrawN".
    const QString chosen = entries(*window).value(1);
    QVERIFY(chosen.startsWith(QLatin1String("Vantor-D3  HID VID_34B7&PID_0101 /dev/virtual-hidraw")));
    QCOMPARE(records.last().value("device").toString(), chosen.section(QStringLiteral("  "), 1));
}

// Cancel restores the entry and sends nothing to either device; Discard
// goes on to the other device.
void DevicesTest::switchingAsksAboutUnwrittenChanges()
{
    const sim::VirtualDevice& a2 = plug(1, "Vantor-A2");
    const sim::VirtualDevice& d5 = plugBeside(2, "Vantor-D5");
    const auto window = connectedWindow();
    settleAll();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    const QStringList a2Before = requestsHex(a2);
    const QStringList d5Before = requestsHex(d5);
    const QStringList before = editorSnapshot(*window);

    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    chooseNext(*window);
    QCOMPARE(m_dialogs.choices.size(), 1);
    const RecordingDialogs::Choice asked = m_dialogs.choices.at(0);
    QCOMPARE(asked.title, QStringLiteral("Unwritten changes"));
    QCOMPARE(asked.text,
             QStringLiteral("The editors hold changes not written to Vantor-A2. Switching to another "
                            "device replaces them."));
    QCOMPARE(asked.details, QStringList{"CAN channel 1, bit rate: 500K → 250K"});
    QCOMPARE(asked.buttons, (QStringList{"Write", "Save to file", "Discard", "Cancel"}));
    QCOMPARE(asked.defaultButton, 3);
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QVERIFY(window->isConnected());
    QCOMPARE(window->driveType(), 1);
    QCOMPARE(editorSnapshot(*window), before);
    QCOMPARE(window->refreshChanges(), 1);
    QCOMPARE(requestsHex(a2), a2Before);
    QCOMPARE(requestsHex(d5), d5Before);

    // Save to file, the file dialog cancelled: the same.
    m_dialogs.clear();
    m_dialogs.choiceAnswers << QStringLiteral("Save to file");
    m_dialogs.fileAnswers << QString();
    chooseNext(*window);
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QCOMPARE(window->driveType(), 1);
    QCOMPARE(editorSnapshot(*window), before);
    QCOMPARE(requestsHex(d5), d5Before);

    m_dialogs.clear();
    m_dialogs.choiceAnswers << QStringLiteral("Discard");
    chooseNext(*window);
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(window->driveType(), 2);
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-D5_")));
    QCOMPARE(window->refreshChanges(), 0);
    QCOMPARE(requestsHex(a2), a2Before);
}

// A loose cable on the connected device: the window goes on to the first
// other device attached; the removal of another device only drops its entry.
void DevicesTest::unplugOfTheConnectedDeviceGoesOnToAnother()
{
    sim::VirtualDevice& a2 = plug(1, "Vantor-A2");
    const sim::VirtualDevice& d5 = plugBeside(2, "Vantor-D5");
    sim::VirtualDevice& d3 = plugBeside(2, "Vantor-D3");
    const auto window = connectedWindow();
    settleAll();

    sim::VirtualBus::instance().unplug(a2);
    QCoreApplication::sendPostedEvents();
    settleAll();
    QVERIFY(window->isConnected());
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-D5_")));
    QCOMPARE(entries(*window), (QStringList{kD5, kD3}));
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QVERIFY(m_dialogs.boxes.isEmpty());

    const int before = requestCount(d5);
    sim::VirtualBus::instance().unplug(d3);
    QCoreApplication::sendPostedEvents();
    settleAll();
    QVERIFY(window->isConnected());
    QCOMPARE(requestCount(d5), before);
    QVERIFY(chooser(*window)->isHidden());
    QVERIFY(!child(*window, "m_pLineEditDevName")->isHidden());
    QVERIFY(deviceName(*window).startsWith(QLatin1String("Vantor-D5_")));
}

// Another device unplugged while the write to the connected one runs (the
// window serves its events meanwhile): the write goes on to its end, and the
// entry goes afterwards.
void DevicesTest::removalOfAnotherDeviceLetsTheWriteGoOn()
{
    sim::VirtualDevice& a2 = plug(1, "Vantor-A2");
    plugBeside(2, "Vantor-D5");
    const auto window = connectedWindow();
    settleAll();
    a2.setInstantTimeouts(false);
    a2.setLatency(1);
    const int before = a2.exchangeCount();

    bool unplugged = false;
    QTimer observer;
    QObject::connect(&observer, &QTimer::timeout, [&] {
        if (!unplugged && a2.exchangeCount() > before + 5) {
            unplugged = true;
            sim::VirtualBus::instance().unplug(2);
        }
    });
    observer.start(0);
    click(*window, "m_pushButtonWrite");
    observer.stop();
    settleAll();
    QVERIFY(unplugged);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QVERIFY(window->isConnected());
    QVERIFY(chooser(*window)->isHidden());
    QCOMPARE(chooser(*window)->count(), 1);
}

// Edits kept for the device that left are not dropped by going on to
// another: the window waits, the chooser offers the others, and the edits
// come back with their device.
void DevicesTest::editsKeptForALostDeviceWaitForIt()
{
    sim::VirtualDevice& d3 = plug(2, "Vantor-D3");
    sim::VirtualDevice& a2 = plugBeside(1, "Vantor-A2");
    const auto window = connectedWindow();
    settleAll();
    QCOMPARE(window->driveType(), 1);
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    const int d3Before = requestCount(d3);

    sim::VirtualBus::instance().unplug(a2);
    QCoreApplication::sendPostedEvents();
    settleAll();
    QVERIFY(!window->isConnected());
    QCOMPARE(requestCount(d3), d3Before);
    QCOMPARE(entries(*window),
             (QStringList{"Waiting for Vantor-A2 (board SIM1000042) with its unwritten changes",
                          "Vantor-D3  HID VID_34B7&PID_0101 /dev/virtual-hidraw2"}));
    QVERIFY(!chooser(*window)->isHidden());
    QCOMPARE(chooser(*window)->currentIndex(), 0);

    // Choosing the other device would drop them: asked first, Cancel keeps them.
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    chooseNext(*window);
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(
        m_dialogs.choices.at(0).text,
        QStringLiteral("The editors held changes not written to Vantor-A2 (board SIM1000042) when it was "
                       "removed. They are shown again when it comes back; another device drops them."));
    QCOMPARE(m_dialogs.choices.at(0).buttons, (QStringList{"Discard", "Cancel"}));
    QVERIFY(!window->isConnected());
    QCOMPARE(chooser(*window)->currentIndex(), 0);
    QCOMPARE(requestCount(d3), d3Before);
    m_dialogs.clear();

    m_dialogs.choiceAnswers << QStringLiteral("Show the changes");
    plugBeside(1, "Vantor-A2");
    settleAll();
    QCOMPARE(window->driveType(), 1);
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"CAN channel 1, bit rate: 500K → 250K"});
    QCOMPARE(window->refreshChanges(), 1);
    QCOMPARE(chooser(*window)->currentIndex(), 0);
}

QTEST_MAIN(DevicesTest)
#include "tst_devices.moc"
