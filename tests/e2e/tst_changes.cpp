// The window knows what changed: the marks of the edited fields against what
// the device holds, the list of changes shown before a write, the question
// asked before anything replaces unwritten changes, and the restored factory
// configuration read back onto the screen.

#include "E2e.h"

#include "app/LanguageSettings.h"

#include <QAction>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace e2e;

class ChangesTest : public WindowTest {
    Q_OBJECT

private slots:
    void changeListAndMarks_data();
    void changeListAndMarks();
    void noChangeStillOffersWrite();
    void anEditDuringTheOperation_data();
    void anEditDuringTheOperation();
    void listTurnedOffInTheSettings();
    void guardsCancelSendNothing_data();
    void guardsCancelSendNothing();
    void guardsWriteSaveDiscard();
    void restoreIsReadBack();
    void unplugKeepsTheEdits();
    void compareReadsWithoutChangingTheEditors();
    void smallerFileSaysWhatItLeaves();

private:
    QTemporaryDir m_dir;
};

namespace {

// The marks shown now, and the tooltips of the fields they mark.
QStringList markedToolTips(const QWidget& window)
{
    QStringList out;
    for (const QWidget* mark : window.findChildren<QWidget*>(QStringLiteral("changeMark")))
        out << mark->parentWidget()->toolTip();
    out.sort();
    return out;
}

}  // namespace

void ChangesTest::changeListAndMarks_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<int>("fibre");
    QTest::addColumn<QString>("fibreRate");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("toolTips");
    QTest::newRow("CAN FD, 18 ports")
        << 2 << "Vantor-D5"
        << "800K" << 12 << "19200"
        << QStringList{"CAN channel 1, arbitration rate: 500K → 800K", "CAN channel 2: filter row 2 added",
                       "Fiber13: 115200 → 19200", "route CAN1 → Fiber2: on → off"}
        << QStringList{"device: 115200", "device: 500K", "device: no row", "device: on"};
    QTest::newRow("classic") << 1 << "Vantor-A2"
                             << "125K" << 0 << "500K"
                             << QStringList{"CAN channel 1, bit rate: 500K → 125K",
                                            "CAN channel 2: filter row 2 added", "Fiber1: 1380K → 500K",
                                            "route CAN1 → Fiber1: on → off"}
                             << QStringList{"device: 1380K", "device: 500K", "device: no row", "device: on"};
}

// Every edit is marked where it stands and listed before the write; Cancel
// sends nothing, undoing an edit by hand removes its mark, Write sends and
// leaves nothing marked.
void ChangesTest::changeListAndMarks()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, rate);
    QFETCH(int, fibre);
    QFETCH(QString, fibreRate);
    sim::VirtualDevice& device = plug(family, model.toLatin1().constData());
    const auto window = connectedWindow();
    QCOMPARE(window->refreshChanges(), 0);
    QVERIFY(child<QLabel>(*window, "changesLabel")->text().isEmpty());

    const int nCAN = child<QTabWidget>(*window, "tabWidget")->count();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", rate.toLatin1().constData());
    canEditor(*window, 1)
        ->appendFilterRow({0, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    QComboBox* selector = fibreSelector(*window, fibre);
    selector->setCurrentIndex(selector->findText(fibreRate));
    QTest::mouseClick(routeCell(*window, 0, nCAN + family - 1),
                      Qt::LeftButton);  // CAN1 to Fiber2 (classic: Fiber1)
    QCoreApplication::processEvents();

    QCOMPARE(child<QLabel>(*window, "changesLabel")->text(), QStringLiteral("4 unwritten changes"));
    QTEST(markedToolTips(*window), "toolTips");
    const auto* pages = child<QTabWidget>(*window, "m_tabWidgetParam");
    for (const char* page : {"tab_CAN", "tab_Fiber", "tab_Route"})
        QVERIFY2(!pages->tabIcon(pages->indexOf(child(*window, page))).isNull(), page);
    QVERIFY(pages->tabIcon(pages->indexOf(child(*window, "tab_update"))).isNull());
    const auto* channels = child<QTabWidget>(*window, "tabWidget");
    QVERIFY(!channels->tabIcon(0).isNull() && !channels->tabIcon(1).isNull());

    device.clearTrace();
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.size(), 1);
    const RecordingDialogs::Choice& list = m_dialogs.choices.at(0);
    QCOMPARE(list.text, QStringLiteral("These 4 changes will be written to %1:").arg(model));
    QTEST(list.details, "lines");
    QCOMPARE(list.buttons, (QStringList{"Write", "Cancel"}));
    QCOMPARE(list.defaultButton, 1);
    QVERIFY(device.requests().isEmpty());
    QVERIFY(m_dialogs.texts().isEmpty());

    // Undone by hand: its mark goes.
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "500K");
    QCOMPARE(window->refreshChanges(), 3);
    QCOMPARE(markedToolTips(*window).size(), 3);
    QVERIFY(channels->tabIcon(0).isNull());

    m_dialogs.choiceAnswers << QStringLiteral("Write");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QVERIFY(!device.requests().isEmpty());
    QCOMPARE(window->refreshChanges(), 0);
    QVERIFY(markedToolTips(*window).isEmpty());
    QVERIFY(pages->tabIcon(pages->indexOf(child(*window, "tab_Fiber"))).isNull());
    QVERIFY(child<QLabel>(*window, "changesLabel")->text().isEmpty());
}

void ChangesTest::noChangeStillOffersWrite()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.clearTrace();
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).text,
             QStringLiteral("Vantor-D3 already holds this configuration. Write it again?"));
    QVERIFY(m_dialogs.choices.at(0).details.isEmpty());
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QCOMPARE(requestsHex(device).last(), report2("01 13 08 01 01"));
}

// The editors stay open while the device is written: what the user changes
// meanwhile is not what was written, and stays marked.
void ChangesTest::anEditDuringTheOperation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("count");
    QTest::addColumn<QStringList>("marks");
    // The write sends what the window took when it started: the edit stays marked.
    QTest::newRow("write") << "m_pushButtonWrite" << "set up success" << "19200" << "1 unwritten change"
                           << QStringList{"device: 115200"};
    // The read shows what the device holds, over the edit.
    QTest::newRow("read") << "m_pushButtonRead" << "read success" << "115200" << "" << QStringList();
}

void ChangesTest::anEditDuringTheOperation()
{
    QFETCH(QString, button);
    QFETCH(QString, outcome);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.clearTrace();
    device.setInstantTimeouts(false);
    device.setLatency(20);
    // Once the first request is on its way, the window took what it writes.
    QComboBox* selector = fibreSelector(*window, 0);
    QTimer edit;
    QObject::connect(&edit, &QTimer::timeout, selector, [&] {
        if (device.requests().isEmpty())
            return;
        edit.stop();
        selector->setCurrentIndex(selector->findText("19200"));
    });
    edit.start(1);
    click(*window, qPrintable(button));
    QCOMPARE(m_dialogs.texts(), QStringList{outcome});
    QTEST(selector->currentText(), "shown");
    QTEST(child<QLabel>(*window, "changesLabel")->text(), "count");
    QTEST(markedToolTips(*window), "marks");
}

// Turned off in the menu, the write goes without the list, and stays so in
// the settings file for the next window.
void ChangesTest::listTurnedOffInTheSettings()
{
    plug(1, "Vantor-A2");
    {
        const auto window = connectedWindow();
        QVERIFY(window->actionShowChanges()->isChecked());
        window->actionShowChanges()->trigger();
    }
    QSettings settings(languagesettings::settingsFilePath(), QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Write/showChanges")).toBool(), false);
    const auto window = connectedWindow();
    QVERIFY(!window->actionShowChanges()->isChecked());
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    click(*window, "m_pushButtonWrite");
    QVERIFY(m_dialogs.choices.isEmpty());
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    // Without the list a doubtful value is still asked about, on its own.
    child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate")->setCurrentIndex(16);  // "custom", FFFFFFFF
    sim::VirtualDevice& device = *sim::VirtualBus::instance().device(1);
    device.clearTrace();
    m_dialogs.questionAnswers << false;
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.questions.size(), 1);
    QCOMPARE(m_dialogs.questions.at(0).text,
             QStringLiteral("channel 1: 0xFFFFFFFF is not a valid bit timing. Write anyway?"));
    QVERIFY(m_dialogs.choices.isEmpty());
    QVERIFY(device.requests().isEmpty());
    window->actionShowChanges()->trigger();
    QCOMPARE(QSettings(languagesettings::settingsFilePath(), QSettings::IniFormat)
                 .value(QStringLiteral("Write/showChanges"))
                 .toBool(),
             true);
}

void ChangesTest::guardsCancelSendNothing_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("buttons");
    const QStringList all{"Write", "Save to file", "Discard", "Cancel"};
    const QStringList replacedByDevice{"Save to file", "Discard", "Cancel"};
    for (int family : {1, 2}) {
        const QByteArray f = QByteArray::number(family);
        QTest::newRow("close, family " + f) << family << "close" << all;
        QTest::newRow("close button, family " + f) << family << "pushButton_close" << all;
        QTest::newRow("read, family " + f) << family << "m_pushButtonRead" << replacedByDevice;
        QTest::newRow("open, family " + f) << family << "m_pushButtonReadFromFile" << all;
        QTest::newRow("default, family " + f) << family << "m_pushButtonDefault" << replacedByDevice;
    }
}

// Cancel changes nothing and sends nothing.
void ChangesTest::guardsCancelSendNothing()
{
    QFETCH(int, family);
    QFETCH(QString, action);
    sim::VirtualDevice& device = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    window->show();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    const QStringList before = editorSnapshot(*window);
    device.clearTrace();
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    m_dialogs.fileAnswers << fileWith(m_dir.filePath("never.txt"), "{}");

    if (action == QLatin1String("close"))
        QVERIFY(!window->close());
    else
        click(*window, action.toLatin1().constData());

    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).title, QStringLiteral("Unwritten changes"));
    QCOMPARE(m_dialogs.choices.at(0).details.size(), 1);
    QTEST(m_dialogs.choices.at(0).buttons, "buttons");
    QCOMPARE(m_dialogs.choices.at(0).defaultButton, m_dialogs.choices.at(0).buttons.size() - 1);
    QVERIFY(device.requests().isEmpty());
    QVERIFY(m_dialogs.questions.isEmpty() && m_dialogs.texts().isEmpty() && m_dialogs.fileCaptions.isEmpty());
    QVERIFY(window->isVisible());
    QCOMPARE(editorSnapshot(*window), before);
    QCOMPARE(window->refreshChanges(), 1);
}

// Write writes and goes on; Save to file saves and goes on; Discard goes on.
void ChangesTest::guardsWriteSaveDiscard()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    window->show();
    auto* rate = child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate");

    // Close, Write: the edit reaches the device without a second list, then the window closes.
    const QByteArray factoryTiming = device.state().channels[0].timing;
    rate->setCurrentIndex(rate->findText(QStringLiteral("250K")));
    m_dialogs.choiceAnswers << QStringLiteral("Write");
    QVERIFY(window->close());
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QVERIFY(device.state().channels[0].timing != factoryTiming);
    window->show();

    // Read, Save to file: saved, then read.
    m_dialogs.clear();
    rate->setCurrentIndex(rate->findText(QStringLiteral("1M")));
    const QString saved = m_dir.filePath("saved.txt");
    m_dialogs.fileAnswers << saved;
    m_dialogs.choiceAnswers << QStringLiteral("Save to file");
    click(*window, "m_pushButtonRead");
    QVERIFY(QFile::exists(saved));
    QCOMPARE(m_dialogs.texts(), (QStringList{"save success", "read success"}));
    rate = child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate");
    QCOMPARE(rate->currentText(), QStringLiteral("250K"));

    // Read, Discard: the device's configuration replaces the edits, also in
    // the filter row that the read keeps.
    m_dialogs.clear();
    rate->setCurrentIndex(rate->findText(QStringLiteral("1M")));
    auto* filters = child<QTableWidget>(*canEditor(*window, 0), "tableWidgetDatalist");
    filters->item(0, 2)->setText(QStringLiteral("00 00 01 23"));
    m_dialogs.choiceAnswers << QStringLiteral("Discard");
    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QCOMPARE(child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate")->currentText(),
             QStringLiteral("250K"));
    QCOMPARE(filters->item(0, 2)->text(), QStringLiteral("00 00 00 00"));
    QCOMPARE(window->refreshChanges(), 0);

    // A route or a fibre edited alone comes back as the device holds it.
    QTest::mouseClick(routeCell(*window, 0, 3), Qt::LeftButton);
    m_dialogs.choiceAnswers << QStringLiteral("Discard");
    click(*window, "m_pushButtonRead");
    QCOMPARE(window->refreshChanges(), 0);
    QComboBox* selector = fibreSelector(*window, 0);
    selector->setCurrentIndex(selector->findText("19200"));
    m_dialogs.choiceAnswers << QStringLiteral("Discard");
    click(*window, "m_pushButtonRead");
    QCOMPARE(selector->currentText(), QStringLiteral("115200"));
    QCOMPARE(window->refreshChanges(), 0);

    // The same register spelled otherwise is no change.
    filters->item(0, 2)->setText(QStringLiteral("00000000"));
    filters->item(0, 3)->setText(QStringLiteral("00 00 00 00 "));
    QCOMPARE(window->refreshChanges(), 0);
}

// The family-2 restore is read back: the editors show the factory
// configuration, nothing is marked, and the user is told.
void ChangesTest::restoreIsReadBack()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    sim::DeviceState state = device.state();
    state.fibres[0].baud = QByteArray::fromHex("00004b00");  // 19200
    device.setState(state);
    const auto window = connectedWindow();
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("19200"));
    click(*window, "m_pushButtonDefault");
    QCOMPARE(m_dialogs.texts(), QStringList{"The factory configuration of Vantor-D3 is restored."});
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("115200"));
    QCOMPARE(window->refreshChanges(), 0);
    // A write now sends the factory configuration back, not the old one.
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.last().details, QStringList());
    QCOMPARE(device.state().fibres[0].baud, QByteArray::fromHex("0001c200"));
}

// A loose cable loses nothing: the same device back offers the edits again,
// another device starts fresh.
void ChangesTest::unplugKeepsTheEdits()
{
    plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!window->isConnected());
    QVERIFY(m_dialogs.choices.isEmpty());

    m_dialogs.choiceAnswers << QStringLiteral("Show the changes");
    plug(2, "Vantor-D3");
    settle();
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).text,
             QStringLiteral("Vantor-D3 (board SIM2000042) was removed while the editors held changes not "
                            "written to it. Show them again?"));
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"CAN channel 1, arbitration rate: 500K → 250K"});
    QCOMPARE(child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate")->currentText(),
             QStringLiteral("250K"));
    QCOMPARE(window->refreshChanges(), 1);

    // Another device: nothing is offered, and the edits are gone for good.
    m_dialogs.clear();
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    plug(2, "Vantor-D5");
    settle();
    QVERIFY(m_dialogs.choices.isEmpty());
    QCOMPARE(window->refreshChanges(), 0);
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    plug(2, "Vantor-D3");
    settle();
    QVERIFY(m_dialogs.choices.isEmpty());
    QCOMPARE(child<QComboBox>(*canEditor(*window, 0), "comboBoxBautRate")->currentText(),
             QStringLiteral("500K"));
}

// Another tool changed the device: Compare lists it, changes no editor, and
// the marks follow what the device holds now.
void ChangesTest::compareReadsWithoutChangingTheEditors()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    sim::DeviceState state = device.state();
    state.fibres[0].baud = QByteArray::fromHex("00004b00");  // 19200
    device.setState(state);
    const QStringList before = editorSnapshot(*window);
    window->actionCompare()->trigger();
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).text,
             QStringLiteral("The editors differ from Vantor-D3 in one place (device → editors):"));
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"Fiber1: 19200 → 115200"});
    QCOMPARE(editorSnapshot(*window), before);
    QCOMPARE(markedToolTips(*window), QStringList{"device: 19200"});
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 06 01"), 0);  // nothing written
}

// A file of a smaller device of the family opens, and says what the device keeps of its own.
void ChangesTest::smallerFileSaysWhatItLeaves()
{
    plug(2, "Vantor-D3");
    const QString name = m_dir.filePath("d3.txt");
    {
        const auto window = connectedWindow();
        m_dialogs.fileAnswers << name;
        click(*window, "m_pushButtonSaveToFile");
        QCOMPARE(m_dialogs.texts(), QStringList{"save success"});
    }
    m_dialogs.clear();
    plug(2, "Vantor-D5");
    const auto window = connectedWindow();
    m_dialogs.fileAnswers << name;
    click(*window, "m_pushButtonReadFromFile");
    QCOMPARE(m_dialogs.texts(),
             QStringList{"read finish\nFiber5 to Fiber16 are not in the file and keep their rates.\n"
                         "The routes of Fiber5 to Fiber16 are not in the file and stay as they are."});
}

QTEST_MAIN(ChangesTest)
#include "tst_changes.moc"
