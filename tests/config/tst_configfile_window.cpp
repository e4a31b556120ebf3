// Save and Open on the main window against the virtual device: what the file
// holds, what a load puts back, and what the user is told.

#include "E2e.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace e2e;

namespace {

const QString kZero = QStringLiteral("00 00 00 00");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

class ConfigFileWindowTest : public WindowTest {
    Q_OBJECT

private slots:
    void init()
    {
        WindowTest::init();
        m_dir = std::make_unique<QTemporaryDir>();
    }
    void cleanup()
    {
        m_window.reset();
        WindowTest::cleanup();
    }

    void savesTheWorkedExample();
    void saveThenLoadReproducesTheEditors_data();
    void saveThenLoadReproducesTheEditors();
    void entriesApplyByPositionWhereAnEditorExists();
    void refusedFilesChangeNoEditor_data();
    void refusedFilesChangeNoEditor();
    void failedSaveLeavesOtherFilesAlone_data();
    void failedSaveLeavesOtherFilesAlone();
    void endedWithoutAFile_data();
    void endedWithoutAFile();

private:
    CorvelleRepeater& connect(int family, const char* model)
    {
        plug(family, model);
        m_window = connectedWindow();
        m_dialogs.clear();
        return *m_window;
    }
    QString path(const QString& name) const { return m_dir->filePath(name); }
    void save(const QString& file)
    {
        m_dialogs.fileAnswers << file;
        click(*m_window, "m_pushButtonSaveToFile");
    }
    void load(const QString& file)
    {
        m_dialogs.fileAnswers << file;
        click(*m_window, "m_pushButtonReadFromFile");
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CorvelleRepeater> m_window;
};

void ConfigFileWindowTest::savesTheWorkedExample()
{
    // The two-channel classic configuration of the worked example.
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    canEditor(w, 0)->clearFilters();
    canEditor(w, 1)->clearFilters();
    canEditor(w, 0)->setChannelConfig({QStringLiteral("0x0012000b"), {}, 0, 0, {}});
    canEditor(w, 0)->appendFilterRow({0, 1, kZero, kZero});
    canEditor(w, 1)->setChannelConfig({QStringLiteral("0x001c00e0"), {}, 0, 0, {}});
    fibreSelector(w, 0)->setCurrentIndex(fibreSelector(w, 0)->findText("1380K"));
    save(path("example.txt"));

    QCOMPARE(m_dialogs.fileCaptions, QStringList{"save config"});
    QCOMPARE(m_dialogs.fileFilters, QStringList{"TXT(*.txt)"});
    QCOMPARE(m_dialogs.texts(), QStringList{"save success"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QString("INFO"));
    // Qt's indented form, with a blank after each route cell.
    const QByteArray text = readAll(path("example.txt"));
    QCOMPARE(text, QJsonDocument::fromJson(text).toJson(QJsonDocument::Indented));
    QVERIFY(text.contains("        \"0 1 1 \",\n"));
    QCOMPARE(
        QJsonDocument::fromJson(text).toJson(QJsonDocument::Compact),
        QByteArray(R"({"CANParam":[{"BaudRate":"0x0012000B","ChannalID":1,"DataList":)"
                   R"(["0, 1, 00 00 00 00, 00 00 00 00"]},{"BaudRate":"0x001C00E0","ChannalID":2,)"
                   R"("DataList":[]}],"FiberParam":{"Baud":["0b"]},"Route":["0 1 1 ","1 0 1 ","1 1 0 "]})"));
}

void ConfigFileWindowTest::saveThenLoadReproducesTheEditors_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("channel1");  // as saved
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2"
                                 << "save config"
                                 << QByteArray(R"({"BaudRate":"0x00120017","ChannalID":1,"DataList":)"
                                               R"(["1, 0, 12 34 56 7ß Ω 通道, 00 00 00 00"]})");
    QTest::newRow("2:Vantor-D3")
        << 2 << "Vantor-D3"
        << "save conf"
        << QByteArray(R"({"ArbitrateRate":"0x00070A02","ChannalID":1,"DataList":)"
                      R"(["1, 2, 12 34 56 7ß Ω 通道, 00 00 00 00","0, 0, 00 00 01 00, 00 00 02 00"],)"
                      R"("DataRate":"0x00010930","FD":1,"Mode":1})");
}

void ConfigFileWindowTest::saveThenLoadReproducesTheEditors()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    CorvelleRepeater& w = connect(family, model.toLatin1().constData());
    CANParamWidget* ch1 = canEditor(w, 0);
    CANParamWidget* ch2 = canEditor(w, 1);
    ch1->clearFilters();
    ch2->clearFilters();
    const QString typed = QStringLiteral("12 34 56 7ß Ω 通道");
    if (family == 2) {
        ch1->setChannelConfig({QStringLiteral("0x00070a02"), QStringLiteral("0x00010930"), 1, 1, {}});
        ch2->setChannelConfig({QStringLiteral("0x00123456"), QStringLiteral("0x00040720"), 0, 0, {}});
        ch1->appendFilterRow({1, 2, typed, kZero});
        ch1->appendFilterRow({0, 0, "00 00 01 00", "00 00 02 00"});
        fibreSelector(w, 0)->setCurrentIndex(3);
        fibreCustomEdit(w, 1)->setText("777000");
        fibreSelector(w, 1)->setCurrentIndex(fibreSelector(w, 1)->count() - 1);  // "custom"
    } else {
        ch1->setChannelConfig({QStringLiteral("0x00120017"), {}, 0, 0, {}});
        ch2->setChannelConfig({QStringLiteral("0x00abcdef"), {}, 0, 0, {}});
        ch1->appendFilterRow({1, 0, typed, kZero});
        ch2->appendFilterRow({0, 1, "aa bb cc dd", "ff 00 ff 00"});
        fibreSelector(w, 0)->setCurrentIndex(4);
    }
    routeCell(w, 0, 1)->setOn(false);
    qobject_cast<CheckButton*>(child<QTableWidget>(w, "tableWidgetRoute")->cellWidget(2, 0))->setOn(false);
    const QStringList before = editorSnapshot(w);

    save(path("roundtrip.txt"));
    QTEST(m_dialogs.fileCaptions.value(0), "caption");
    const QJsonObject saved = QJsonDocument::fromJson(readAll(path("roundtrip.txt"))).object();
    QTEST(QJsonDocument(saved.value("CANParam").toArray().at(0).toObject()).toJson(QJsonDocument::Compact),
          "channel1");
    // Change what the load must put back; the switches stay as they are.
    routeCell(w, 0, 1)->setOn(true);
    routeCell(w, 1, 0)->setOn(false);
    fibreSelector(w, 0)->setCurrentIndex(0);
    ch1->appendFilterRow({0, 0, "01 01 01 01", kZero});
    load(path("roundtrip.txt"));

    QCOMPARE(m_dialogs.texts(), QStringList({"save success", "read finish"}));
    QCOMPARE(editorSnapshot(w), before);
    QCOMPARE(m_dialogs.fileCaptions.last(), QString("open file"));
    QVERIFY(child(w, "m_pushButtonReadFromFile")->isEnabled());
    QVERIFY(!routeCell(w, 1, 1)->isEnabled());
}

void ConfigFileWindowTest::entriesApplyByPositionWhereAnEditorExists()
{
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    canEditor(w, 1)->appendFilterRow({1, 1, "01 02 03 04", kZero});
    fibreSelector(w, 0)->setCurrentIndex(2);
    routeCell(w, 2, 0)->setOn(false);
    routeCell(w, 2, 1)->setOn(false);
    // One channel object, one fibre string, two route strings, rows of fewer
    // numbers than there are ports.
    writeFile(path("sizes.txt"), R"({"CANParam": [{"BaudRate": "0x0012000B", "DataList": []}],
        "FiberParam": {"Baud": ["0c"]},
        "Route": ["0 0", "1 0 0"]})");
    load(path("sizes.txt"));

    // The message says what the file leaves out.
    QCOMPARE(m_dialogs.texts(),
             QStringList{"read finish\nCAN channel 2 is not in the file and takes the defaults.\n"
                         "The routes of Fiber1 are not in the file and stay as they are."});
    // Channel 2 is rebuilt without an object to fill it: 5K, no filter.
    QCOMPARE(child<QLineEdit>(*canEditor(w, 0), "lineEditBautRate")->text(), QStringLiteral("0x0012000B"));
    QCOMPARE(child<QLineEdit>(*canEditor(w, 1), "lineEditBautRate")->text(), QStringLiteral("0x00450257"));
    QCOMPARE(filterRowCount(w, 1), 0);
    QCOMPARE(fibreSelector(w, 0)->currentIndex(), 11);
    QCOMPARE(editorSnapshot(w).mid(editorSnapshot(w).size() - 3),
             (QStringList{"route1 1 0- 0 1", "route2 1 1 0- 0", "route3 1 0 0 0-"}));
}

void ConfigFileWindowTest::refusedFilesChangeNoEditor_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("no FiberParam") << QByteArray(R"({"CANParam": [], "Route": []})")
                                   << "parse conf file fail";
    QTest::newRow("not an object") << QByteArray(R"([{"CANParam": []}])") << "parse conf file fail";
    QTest::newRow("not JSON") << QByteArray("{\"CANParam\": [] \"Route\": []}")
                              << "parse conf file failunterminated object";
    QTest::newRow("no such file") << QByteArray() << "open file faildNo such file or directory";
    // More than the device has is refused, every excess named.
    QTest::newRow("more fibres and ports than the device")
        << QByteArray(R"({"CANParam": [], "FiberParam": {"Baud": ["0c", "01"]},
            "Route": ["0 1 1", "1 0 1 1", "1 1 0", "1 1 1"]})")
        << "the file has 2 fibre channels; this device has 1\nthe file has 4 route ports; this device has 3\n"
           "Port2: the route row is longer than this device's 3 ports";
    QTest::newRow("a repeated member") << QByteArray(R"({"CANParam": [{"BaudRate": "0x0012000B",
        "BaudRate": "0x00120005"}], "FiberParam": {}, "Route": []})")
                                       << "member \"BaudRate\" is given again at offset 49";
}

void ConfigFileWindowTest::refusedFilesChangeNoEditor()
{
    QFETCH(QByteArray, content);
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    canEditor(w, 0)->setChannelConfig({QStringLiteral("0x00120005"), {}, 0, 0, {}});
    canEditor(w, 1)->appendFilterRow({1, 0, "12 34 56 78", kZero});
    routeCell(w, 0, 2)->setOn(false);
    const CANParamWidget* editor = canEditor(w, 0);
    const QStringList before = editorSnapshot(w);
    if (!content.isEmpty())
        writeFile(path("refused.txt"), content);
    load(path("refused.txt"));

    QTEST(m_dialogs.texts().value(0), "message");
    QCOMPARE(m_dialogs.boxes.at(0).kind, RecordingDialogs::Box::Warning);
    QCOMPARE(m_dialogs.boxes.at(0).title, QString("INFO"));
    QCOMPARE(editorSnapshot(w), before);
    QCOMPARE(canEditor(w, 0), editor);  // not rebuilt
}

void ConfigFileWindowTest::failedSaveLeavesOtherFilesAlone_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("failText");
    QTest::newRow("classic") << 1 << "Vantor-A2"
                             << "write fail";
    QTest::newRow("CAN FD") << 2 << "Vantor-D3"
                            << "save conf file fail";
}

void ConfigFileWindowTest::failedSaveLeavesOtherFilesAlone()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, failText);
    connect(family, model.toLatin1().constData());
    writeFile(path("kept.txt"), "the previous configuration\n");
    save(path("no such folder/config.txt"));

    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes.at(0).kind, RecordingDialogs::Box::Warning);
    const QString text = m_dialogs.boxes.at(0).text;
    QVERIFY2(text.startsWith(failText) && text.size() > failText.size(), qPrintable(text));
    QCOMPARE(readAll(path("kept.txt")), QByteArray("the previous configuration\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"kept.txt"});
}

void ConfigFileWindowTest::endedWithoutAFile_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("unplugged");
    QTest::addColumn<QString>("message");  // empty: the dialog was cancelled, nothing is said
    QTest::newRow("save cancelled") << "m_pushButtonSaveToFile" << false << "";
    QTest::newRow("load cancelled") << "m_pushButtonReadFromFile" << false << "";
    // The removal reaches the window in the event-loop pass of the operation,
    // as it may while a real file dialog is open.
    QTest::newRow("save, device removed") << "m_pushButtonSaveToFile" << true << "device not connect";
    QTest::newRow("load, device removed") << "m_pushButtonReadFromFile" << true << "device not connected";
}

void ConfigFileWindowTest::endedWithoutAFile()
{
    QFETCH(QString, button);
    QFETCH(bool, unplugged);
    QFETCH(QString, message);
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    save(path("before.txt"));
    m_dialogs.clear();
    const CANParamWidget* editor = canEditor(w, 0);
    if (unplugged) {
        sim::VirtualBus::instance().unplug(1);
        m_dialogs.fileAnswers << (button.contains("Save") ? path("after.txt") : path("before.txt"));
    }
    click(w, button.toLatin1().constData());
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(!QFile::exists(path("after.txt")));
    QVERIFY(child(w, button.toLatin1().constData())->isEnabled());
    if (unplugged) {
        QCOMPARE(child<QTabWidget>(w, "tabWidget")->count(), 0);
    } else {
        QCOMPARE(m_dialogs.fileCaptions.size(), 1);
        QCOMPARE(canEditor(w, 0), editor);
    }
}

QTEST_MAIN(ConfigFileWindowTest)
#include "tst_configfile_window.moc"
