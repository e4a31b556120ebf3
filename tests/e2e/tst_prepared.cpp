// A configuration prepared at the desk without a device: made for a model
// of the table, saved and opened without a device, kept on screen when a
// device arrives, written to it only after the device's shape has been
// checked, or discarded for what the device holds.

#include "E2e.h"

#include <QAction>
#include <QTemporaryDir>

using namespace e2e;

class PreparedTest : public WindowTest {
    Q_OBJECT

private slots:
    void writtenToTheDeviceThatArrivesLater();
    void deviceThatCannotTakeItGetsNothing_data();
    void deviceThatCannotTakeItGetsNothing();
    void smallerModelKeepsWhatTheDeviceHolds();
    void unplugKeepsItAndDiscardReadsTheDevice();
    void openWithoutDevice();
    void editsKeptFromAnUnplugAreNotOfferedOverIt();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString kA2 = QStringLiteral("Vantor-A2, family 1 (classic CAN): 2 CAN, 1 fibre");
const QString kD3 = QStringLiteral("Vantor-D3, family 2 (CAN FD): 2 CAN, 4 fibre");
const QString kD5 = QStringLiteral("Vantor-D5, family 2 (CAN FD): 2 CAN, 16 fibre");

// A window that found no device, its "search device fail" already cleared.
std::unique_ptr<CorvelleRepeater> windowWithoutDevice(RecordingDialogs& dialogs)
{
    auto window = std::make_unique<CorvelleRepeater>();
    settle();
    dialogs.clear();
    return window;
}

void prepare(CorvelleRepeater& window, RecordingDialogs& dialogs, const QString& model)
{
    dialogs.itemAnswers << model;
    window.actionNewConfiguration()->trigger();
}

QString preparedStatus(const QWidget& window)
{
    const auto* label = child<QLabel>(window, "preparedLabel");
    return label->isHidden() ? QString() : label->text();
}

QString rate(const QWidget& window, int channel)
{
    return child<QComboBox>(*canEditor(window, channel), "comboBoxBautRate")->currentText();
}

}  // namespace

// Made without a device, edited and saved; the device that arrives is read
// aside and not over it; Cancel of the list sends nothing; Write sends the
// prepared configuration and the window goes on with the device.
void PreparedTest::writtenToTheDeviceThatArrivesLater()
{
    const auto window = windowWithoutDevice(m_dialogs);
    prepare(*window, m_dialogs, kA2);
    QCOMPARE(m_dialogs.itemChoices.size(), 1);
    const QStringList& models = m_dialogs.itemChoices.at(0).items;
    QCOMPARE(models.size(), 42);
    QCOMPARE(models.at(1), kA2);
    QCOMPARE(models.at(38), kD5);
    QVERIFY(window->isPrepared() && !window->isConnected());
    QCOMPARE(preparedStatus(*window), QStringLiteral("Configuration prepared for Vantor-A2 (family 1), no "
                                                     "device attached. Read, Write and Default wait for a "
                                                     "device."));
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 2);
    QCOMPARE(rate(*window, 0), QStringLiteral("10K"));
    QCOMPARE(filterRowCount(*window, 0), 1);
    QCOMPARE(window->refreshChanges(), 0);

    selectRate(canEditor(*window, 0), "comboBoxBautRate", "125K");
    QCOMPARE(window->refreshChanges(), 1);
    for (const char* button : {"m_pushButtonRead", "m_pushButtonWrite", "m_pushButtonDefault"})
        click(*window, button);
    const QString waiting =
        QStringLiteral("No device is attached: the configuration prepared for Vantor-A2 waits for one.");
    QCOMPARE(m_dialogs.texts(), (QStringList{waiting, waiting, waiting}));
    QCOMPARE(rate(*window, 0), QStringLiteral("125K"));
    QVERIFY(m_dialogs.choices.isEmpty());

    // Saved, it is what the marks compare with.
    m_dialogs.clear();
    m_dialogs.fileAnswers << m_dir.filePath("a2.txt");
    click(*window, "m_pushButtonSaveToFile");
    QCOMPARE(m_dialogs.texts(), QStringList{"save success"});
    QCOMPARE(window->refreshChanges(), 0);
    selectRate(canEditor(*window, 1), "comboBoxBautRate", "250K");

    m_dialogs.clear();
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    settle();
    QVERIFY(window->isPrepared() && !window->isConnected());
    QCOMPARE(window->driveType(), 1);
    QVERIFY(m_dialogs.texts().isEmpty() && m_dialogs.choices.isEmpty());
    QCOMPARE(rate(*window, 0), QStringLiteral("125K"));
    QCOMPARE(rate(*window, 1), QStringLiteral("250K"));
    QVERIFY(child<QLineEdit>(*window, "m_pLineEditDevName")->text().startsWith(QLatin1String("Vantor-A2_")));
    QCOMPARE(preparedStatus(*window),
             QStringLiteral("Configuration prepared for Vantor-A2 kept: Write config "
                            "writes it to Vantor-A2, Read config discards it and "
                            "reads the device."));
    QCOMPARE(countStartingWith(requestsHex(device), "00 12 23"), 0);
    QCOMPARE(countStartingWith(requestsHex(device), "00 12 a4"), 2);  // read aside

    device.clearTrace();
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).text, QStringLiteral("These 2 changes will be written to Vantor-A2:"));
    QCOMPARE(m_dialogs.choices.at(0).details,
             (QStringList{"CAN channel 1, bit rate: 500K → 125K", "CAN channel 2, bit rate: 500K → 250K"}));
    QVERIFY(device.requests().isEmpty());
    QVERIFY(window->isPrepared());

    m_dialogs.choiceAnswers << QStringLiteral("Write");
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    const QStringList tail{report1("00 12 25 05 00 0b"), report1("00 12 27 09 00 48 88 00 00 c0"),
                           report1("00 12 11 01 00")};
    QCOMPARE(requestsHex(device), family1Channel(1, "00 12 00 2f") + family1Channel(2, "00 12 00 17") + tail);
    QVERIFY(window->isConnected() && !window->isPrepared());
    QVERIFY(preparedStatus(*window).isEmpty());
    QCOMPARE(window->refreshChanges(), 0);
    QCOMPARE(rate(*window, 1), QStringLiteral("250K"));
}

void PreparedTest::deviceThatCannotTakeItGetsNothing_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("restored");  // what Default says then
    QTest::newRow("other family")
        << 1 << "Vantor-D5"
        << "a configuration prepared for a family-2 device; this device is of family 1"
        << "set up success";
    QTest::newRow("fewer fibres") << 2 << "Vantor-D3"
                                  << "the configuration has 16 fibre channels; this device has 4"
                                  << "The factory configuration of Vantor-D3 is restored.";
}

// Told as it arrives, refused on Write with the reason, nothing sent.
void PreparedTest::deviceThatCannotTakeItGetsNothing()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, reason);
    const auto window = windowWithoutDevice(m_dialogs);
    prepare(*window, m_dialogs, kD5);
    const QStringList before = editorSnapshot(*window);
    sim::VirtualDevice& device = plug(family, model.toLatin1().constData());
    settle();
    QCOMPARE(window->driveType(), 2);
    QCOMPARE(preparedStatus(*window),
             QStringLiteral("Configuration prepared for Vantor-D5 kept. %1 cannot take "
                            "it: %2. Read config discards it and reads the device.")
                 .arg(model, reason));
    device.clearTrace();
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{reason});
    QVERIFY(m_dialogs.choices.isEmpty());
    QVERIFY(device.requests().isEmpty());
    QVERIFY(window->isPrepared());
    QCOMPARE(editorSnapshot(*window).mid(2), before.mid(2));

    // Default gives the prepared configuration up for the device's own.
    m_dialogs.clear();
    click(*window, "m_pushButtonDefault");
    QFETCH(QString, restored);
    QCOMPARE(m_dialogs.texts(), QStringList{restored});
    QVERIFY(window->isConnected() && !window->isPrepared());
    QCOMPARE(window->driveType(), family);
    QVERIFY(preparedStatus(*window).isEmpty());
    QCOMPARE(window->refreshChanges(), 0);
}

// A configuration of a smaller model of the family goes onto a larger
// device as a smaller file opens: the fibres it lacks keep their rates.
void PreparedTest::smallerModelKeepsWhatTheDeviceHolds()
{
    const auto window = windowWithoutDevice(m_dialogs);
    prepare(*window, m_dialogs, kD3);
    QComboBox* selector = fibreSelector(*window, 0);
    selector->setCurrentIndex(selector->findText(QStringLiteral("19200")));
    sim::VirtualDevice& device = plug(2, "Vantor-D5");
    sim::DeviceState state = device.state();
    state.fibres[10].baud = QByteArray::fromHex("00004b00");  // 19200 on Fiber11
    device.setState(state);
    settle();
    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"Fiber1: 115200 → 19200"});
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QCOMPARE(device.state().fibres[0].baud, QByteArray::fromHex("00004b00"));
    QCOMPARE(device.state().fibres[10].baud, QByteArray::fromHex("00004b00"));
    QCOMPARE(device.state().fibres[11].baud, QByteArray::fromHex("0001c200"));
    QVERIFY(fibreSelector(*window, 15));
    QCOMPARE(fibreSelector(*window, 10)->currentText(), QStringLiteral("19200"));
    QCOMPARE(window->refreshChanges(), 0);
}

// A removal leaves the prepared configuration as it was; Read with a device
// asks about the unsaved edits (Cancel sends nothing) and, discarded, shows
// what the device holds.
void PreparedTest::unplugKeepsItAndDiscardReadsTheDevice()
{
    const auto window = windowWithoutDevice(m_dialogs);
    prepare(*window, m_dialogs, kD3);
    QComboBox* selector = fibreSelector(*window, 0);
    selector->setCurrentIndex(selector->findText(QStringLiteral("19200")));
    const QStringList before = editorSnapshot(*window);
    plug(2, "Vantor-D3");
    settle();
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    QVERIFY(window->isPrepared());
    QCOMPARE(editorSnapshot(*window), before);
    QVERIFY(preparedStatus(*window).contains(QLatin1String("no device attached")));
    QCOMPARE(window->refreshChanges(), 1);

    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    settle();
    device.clearTrace();
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(m_dialogs.choices.at(0).title, QStringLiteral("Unsaved changes"));
    QCOMPARE(m_dialogs.choices.at(0).buttons, (QStringList{"Save to file", "Discard", "Cancel"}));
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"Fiber1: 115200 → 19200"});
    QVERIFY(device.requests().isEmpty());
    QVERIFY(window->isPrepared());
    QCOMPARE(editorSnapshot(*window).mid(2), before.mid(2));

    m_dialogs.choiceAnswers << QStringLiteral("Discard");
    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QVERIFY(window->isConnected() && !window->isPrepared());
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("115200"));
    QCOMPARE(window->refreshChanges(), 0);
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 06 01"), 0);  // nothing written
}

// Open without a device asks for the model; a file that does not open
// leaves nothing behind.
void PreparedTest::openWithoutDevice()
{
    const QString name = m_dir.filePath("d3.txt");
    {
        const auto window = windowWithoutDevice(m_dialogs);
        prepare(*window, m_dialogs, kD3);
        QComboBox* selector = fibreSelector(*window, 3);
        selector->setCurrentIndex(selector->findText(QStringLiteral("19200")));
        m_dialogs.fileAnswers << name;
        click(*window, "m_pushButtonSaveToFile");
        QCOMPARE(m_dialogs.texts(), QStringList{"save success"});
    }
    const auto window = windowWithoutDevice(m_dialogs);
    m_dialogs.itemAnswers << kD3;
    m_dialogs.fileAnswers << name;
    click(*window, "m_pushButtonReadFromFile");
    QCOMPARE(m_dialogs.itemChoices.at(0).text, QStringLiteral("The model the file is for:"));
    QCOMPARE(m_dialogs.texts(), QStringList{"read finish"});
    QVERIFY(window->isPrepared());
    QCOMPARE(fibreSelector(*window, 3)->currentText(), QStringLiteral("19200"));
    QCOMPARE(window->refreshChanges(), 0);
    // Closing asks about what was not saved since; Cancel keeps the window.
    fibreSelector(*window, 0)->setCurrentIndex(0);
    window->show();
    m_dialogs.choiceAnswers << QStringLiteral("Cancel");
    QVERIFY(!window->close());
    QCOMPARE(m_dialogs.choices.size(), 1);
    QCOMPARE(
        m_dialogs.choices.at(0).text,
        QStringLiteral("The configuration prepared for Vantor-D3 holds changes not saved to a file. Close "
                       "the window?"));
    QVERIFY(window->isVisible() && window->isPrepared());
    m_dialogs.clear();

    // The same file for a family-1 model: refused, nothing kept.
    const auto other = windowWithoutDevice(m_dialogs);
    m_dialogs.itemAnswers << kA2;
    m_dialogs.fileAnswers << name;
    click(*other, "m_pushButtonReadFromFile");
    QCOMPARE(m_dialogs.texts(),
             QStringList{"a configuration of a family-2 device; this device is of family 1"});
    QVERIFY(!other->isPrepared());
    QCOMPARE(child<QTabWidget>(*other, "tabWidget")->count(), 0);
}

// Edits kept from an unplug wait while a prepared configuration is on
// screen; written to that device, the prepared one supersedes them.
void PreparedTest::editsKeptFromAnUnplugAreNotOfferedOverIt()
{
    plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    prepare(*window, m_dialogs, kD3);
    QComboBox* selector = fibreSelector(*window, 0);
    selector->setCurrentIndex(selector->findText(QStringLiteral("19200")));
    plug(2, "Vantor-D3");
    settle();
    QVERIFY(m_dialogs.choices.isEmpty());
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("19200"));
    QCOMPARE(rate(*window, 0), QStringLiteral("500K"));

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.choices.at(0).details, QStringList{"Fiber1: 115200 → 19200"});
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    m_dialogs.clear();
    sim::VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    plug(2, "Vantor-D3");
    settle();
    QVERIFY(m_dialogs.choices.isEmpty());
    QCOMPARE(rate(*window, 0), QStringLiteral("500K"));
}

QTEST_MAIN(PreparedTest)
#include "tst_prepared.moc"
