// Save and Open on the main window against the virtual device: what the file
// holds, what a load puts back, and what the user is told.

#include "E2e.h"
#include "RecordingDialogs.h"
#include "operations/FibreCodec.h"
#include "operations/RateTables.h"

#include <QDir>
#include <QJsonDocument>
#include <QTemporaryDir>

using namespace e2e;

namespace {

// What loading each file of the corpus tells: "finish" for a valid document,
// "plain" for the bare refusal, "parser" for the refusal with the parser's
// description.
QMap<QString, QString> corpusExpectations()
{
    QMap<QString, QString> m;
    for (const char* f :
         {"empty.txt", "blanks-only.txt", "binary.bin", "nul-inside.txt", "truncated.txt",
          "trailing-garbage.txt", "two-documents.txt", "deep-nesting-root.txt", "deep-nesting-member.txt",
          "utf16-bom.txt", "invalid-utf8.txt", "single-quotes.txt", "comments.txt", "number-out-of-range.txt",
          "root-string.txt", "root-number.txt", "root-null.txt"})
        m.insert(f, "parser");
    for (const char* f :
         {"root-array.txt", "empty-object.txt", "missing-route.txt", "missing-canparam.txt",
          "canparam-object.txt", "canparam-string.txt", "canparam-null.txt", "fiberparam-array.txt",
          "fiberparam-number.txt", "route-object.txt", "route-string.txt", "keys-wrong-case.txt"})
        m.insert(f, "plain");
    for (const char* f : {"utf8-bom.txt",
                          "crlf.txt",
                          "nesting-within-limit.txt",
                          "channel-elements-wrong-types.txt",
                          "channel-members-wrong-types.txt",
                          "datalist-elements-wrong-types.txt",
                          "filter-strings-odd.txt",
                          "mode-out-of-range.txt",
                          "baud-not-an-array.txt",
                          "baud-elements-wrong-types.txt",
                          "fiberparam-empty.txt",
                          "route-elements-wrong-types.txt",
                          "huge-canparam.txt",
                          "huge-baud.txt",
                          "huge-route.txt",
                          "huge-datalist.txt",
                          "long-strings.txt",
                          "non-ascii-everywhere.txt",
                          "escaped-surrogates.txt",
                          "duplicate-keys.txt",
                          "extra-members.txt",
                          "valid-empty-arrays.txt"})
        m.insert(f, "finish");
    return m;
}

const QString kDefaultRow = QStringLiteral("00 00 00 00");

template <typename T>
T* editorChild(CANParamWidget* editor, const char* name)
{
    return editor->findChild<T*>(QString::fromLatin1(name));
}

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

// Everything a user can see of the configuration, one line per widget.
QStringList snapshot(const CorvelleRepeater& w)
{
    QStringList lines;
    const int tabs = child<QTabWidget>(w, "tabWidget")->count();
    for (int i = 0; i < tabs; ++i) {
        CANParamWidget* e = canEditor(w, i);
        lines << QStringLiteral("can%1 %2 %3")
                     .arg(i)
                     .arg(editorChild<QComboBox>(e, "comboBoxBautRate")->currentIndex())
                     .arg(editorChild<QLineEdit>(e, "lineEditBautRate")->text());
        if (w.driveType() == 2) {
            lines << QStringLiteral("can%1 data %2 %3 mode %4 fd %5 shown %6")
                         .arg(i)
                         .arg(editorChild<QComboBox>(e, "comboBoxdatarate")->currentIndex())
                         .arg(editorChild<QLineEdit>(e, "lineEditdatarate")->text())
                         .arg(e->modeIndex())
                         .arg(e->fdIndex())
                         .arg(!editorChild<QWidget>(e, "widget_datarate")->isHidden());
        }
        for (const can::FilterRow& r : e->filterRows())
            lines << QStringLiteral("can%1 row %2 %3 %4 %5")
                         .arg(i)
                         .arg(r.kind)
                         .arg(r.mode)
                         .arg(r.idText, r.maskText);
    }
    for (int i = 0; fibreSelector(w, i); ++i) {
        const QLineEdit* edit = fibreCustomEdit(w, i);
        lines << QStringLiteral("fibre%1 %2 %3")
                     .arg(i)
                     .arg(fibreSelector(w, i)->currentIndex())
                     .arg(edit && !edit->isHidden() ? edit->text() : QStringLiteral("-"));
    }
    const auto* table = child<QTableWidget>(w, "tableWidgetRoute");
    for (int p = 1; p < table->rowCount(); ++p) {
        QString row =
            qobject_cast<CheckButton*>(table->cellWidget(p, 0))->isOn() ? "switch on:" : "switch off:";
        for (int q = 2; q < table->columnCount(); ++q)
            row += qobject_cast<CheckButton*>(table->cellWidget(p, q))->isOn() ? " 1" : " 0";
        lines << row;
    }
    return lines;
}

}  // namespace

class ConfigFileWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installVirtualBus(); }
    void cleanupTestCase() { HIDDevice::exit(); }
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
    }
    void cleanup()
    {
        m_window.reset();
        sim::VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
        m_dialogs.clear();
        m_dialogs.fileAnswers.clear();
    }

    void savesTheWorkedExample();
    void saveThenLoadReproducesTheEditors_data();
    void saveThenLoadReproducesTheEditors();
    void canFdChannelWithCustomDataRate();
    void entriesApplyByPositionWhereAnEditorExists();
    void fiveFieldFilterStrings();
    void fileOfTheOtherFamily_data();
    void fileOfTheOtherFamily();
    void refusedFilesChangeNoEditor_data();
    void refusedFilesChangeNoEditor();
    void cancelledDialogsSayNothing_data();
    void cancelledDialogsSayNothing();
    void withoutDeviceNoDialog();
    void failedSaveLeavesOtherFilesAlone_data();
    void failedSaveLeavesOtherFilesAlone();
    void removalMeanwhileStopsTheOperation_data();
    void removalMeanwhileStopsTheOperation();
    void nonAsciiTextSurvives_data();
    void nonAsciiTextSurvives();
    void malformedCorpus_data();
    void malformedCorpus();

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
    // The two-channel classic configuration of the worked example.
    void setUpWorkedExample()
    {
        CANParamWidget* ch1 = canEditor(*m_window, 0);
        CANParamWidget* ch2 = canEditor(*m_window, 1);
        ch1->clearFilters();
        ch2->clearFilters();
        ch1->setBaudRateBytes(QByteArray::fromHex("0012000b"));
        ch1->appendFilterRow({0, 1, kDefaultRow, kDefaultRow});
        ch2->setBaudRateBytes(QByteArray::fromHex("001c00e0"));
        fibreSelector(*m_window, 0)->setCurrentIndex(fibreSelector(*m_window, 0)->findText("1380K"));
    }

    RecordingDialogs m_dialogs;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CorvelleRepeater> m_window;
};

void ConfigFileWindowTest::savesTheWorkedExample()
{
    connect(1, "Vantor-A2");
    setUpWorkedExample();
    save(path("example.txt"));

    QCOMPARE(m_dialogs.fileCaptions, QStringList{"save config"});
    QCOMPARE(m_dialogs.fileFilters, QStringList{"TXT(*.txt)"});
    QCOMPARE(m_dialogs.texts(), QStringList{"save success"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QString("INFO"));
    const QByteArray text = readAll(path("example.txt"));
    const QJsonObject expected{
        {"CANParam",
         QJsonArray{QJsonObject{{"BaudRate", "0x0012000B"},
                                {"ChannalID", 1},
                                {"DataList", QJsonArray{"0, 1, 00 00 00 00, 00 00 00 00"}}},
                    QJsonObject{{"BaudRate", "0x001C00E0"}, {"ChannalID", 2}, {"DataList", QJsonArray{}}}}},
        {"FiberParam", QJsonObject{{"Baud", QJsonArray{"0b"}}}},
        {"Route", QJsonArray{"0 1 1 ", "1 0 1 ", "1 1 0 "}}};
    QCOMPARE(QJsonDocument::fromJson(text).object(), expected);
    QCOMPARE(text, QJsonDocument(expected).toJson(QJsonDocument::Indented));
    QVERIFY(text.contains("\"0 1 1 \",\n"));
    QVERIFY(child<QWidget>(*m_window, "m_pushButtonSaveToFile")->isEnabled());
}

void ConfigFileWindowTest::saveThenLoadReproducesTheEditors_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2";
    QTest::newRow("2:Vantor-D3") << 2 << "Vantor-D3";
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
    if (family == 2) {
        ch1->setFDConfig(1, 1, QByteArray::fromHex("00070a02"), QByteArray::fromHex("00010930"));
        ch2->setFDConfig(0, 0, QByteArray::fromHex("00123456"), QByteArray::fromHex("00040720"));
        ch1->appendFilterRow({1, 2, "00 00 07 ff", "1f ff ff ff"});
        ch1->appendFilterRow({0, 0, "00 00 01 00", "00 00 02 00"});
        fibreSelector(w, 0)->setCurrentIndex(3);
        fibreCustomEdit(w, 1)->setText("777000");
        fibreSelector(w, 1)->setCurrentIndex(fibre::kFamily2CustomIndex);
    } else {
        ch1->setBaudRateBytes(QByteArray::fromHex("00120017"));
        ch2->setBaudRateBytes(QByteArray::fromHex("00abcdef"));
        ch1->appendFilterRow({1, 0, "12 34 56 78", "00 00 00 00"});
        ch2->appendFilterRow({0, 1, "aa bb cc dd", "ff 00 ff 00"});
        fibreSelector(w, 0)->setCurrentIndex(4);
    }
    routeCell(w, 0, 1)->setOn(false);
    routeCell(w, 2, 0)->setOn(false);
    qobject_cast<CheckButton*>(child<QTableWidget>(w, "tableWidgetRoute")->cellWidget(2, 0))->setOn(false);
    const QStringList before = snapshot(w);

    save(path("roundtrip.txt"));
    // Change what the load must put back; the switches stay as they are.
    routeCell(w, 0, 1)->setOn(true);
    routeCell(w, 1, 0)->setOn(false);
    fibreSelector(w, 0)->setCurrentIndex(0);
    ch1->appendFilterRow({0, 0, "01 01 01 01", kDefaultRow});
    load(path("roundtrip.txt"));

    QCOMPARE(m_dialogs.texts(), QStringList({"save success", "read finish"}));
    QCOMPARE(snapshot(w), before);
    QCOMPARE(m_dialogs.fileCaptions.last(), QString("open file"));
    QVERIFY(child<QWidget>(w, "m_pushButtonReadFromFile")->isEnabled());
    QVERIFY(!routeCell(w, 1, 1)->isEnabled());
}

void ConfigFileWindowTest::canFdChannelWithCustomDataRate()
{
    CorvelleRepeater& w = connect(2, "Vantor-D3");
    CANParamWidget* ch1 = canEditor(w, 0);
    ch1->setFDConfig(1, 0, QByteArray::fromHex("00070a02"), QByteArray::fromHex("00020930"));
    save(path("fd.txt"));
    const QJsonObject saved = QJsonDocument::fromJson(readAll(path("fd.txt"))).object();
    const QJsonObject channel = saved.value("CANParam").toArray().at(0).toObject();
    QCOMPARE(channel.value("Mode").toInt(), 1);
    QCOMPARE(channel.value("DataRate").toString(), QString("0x00020930"));
    QCOMPARE(channel.value("ArbitrateRate").toString(), QString("0x00070A02"));
    QCOMPARE(m_dialogs.fileCaptions, QStringList{"save conf"});

    load(path("fd.txt"));
    ch1 = canEditor(w, 0);
    QCOMPARE(editorChild<QComboBox>(ch1, "comboBoxMode")->currentText(), QString("CANFD"));
    QVERIFY(!editorChild<QWidget>(ch1, "widget_datarate")->isHidden());
    QCOMPARE(editorChild<QComboBox>(ch1, "comboBoxdatarate")->currentIndex(), can::kDataCustomIndex);
    QCOMPARE(editorChild<QLineEdit>(ch1, "lineEditdatarate")->text(), QString("0x00020930"));
    QCOMPARE(editorChild<QComboBox>(ch1, "comboBoxBautRate")->currentText(), QString("500K"));
}

void ConfigFileWindowTest::entriesApplyByPositionWhereAnEditorExists()
{
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    canEditor(w, 1)->appendFilterRow({1, 1, "01 02 03 04", kDefaultRow});
    fibreSelector(w, 0)->setCurrentIndex(2);
    routeCell(w, 2, 0)->setOn(false);
    routeCell(w, 2, 1)->setOn(false);
    // One channel object, three fibre strings, four route strings, and rows
    // of fewer and more numbers than there are ports.
    writeFile(path("sizes.txt"), R"({"CANParam": [{"BaudRate": "0x0012000B", "DataList": []}],
        "FiberParam": {"Baud": ["0c", "01", "02"]},
        "Route": ["0 0", "1 0 0 1 1 1", "1", "1 1 1 1"]})");
    load(path("sizes.txt"));

    QCOMPARE(m_dialogs.texts(), QStringList{"read finish"});
    QCOMPARE(snapshot(w), QStringList({"can0 11 0x0012000B", "can1 0 0x00450257", "fibre0 11 -",
                                       "switch on: 0 0 1", "switch on: 1 0 0", "switch on: 1 0 0"}));
}

void ConfigFileWindowTest::fiveFieldFilterStrings()
{
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    writeFile(path("five.txt"), R"({"CANParam": [{"BaudRate": "0x0012000B", "DataList": [
        "0, 0, 1, 00 00 00 00, 00 00 00 00", "1, 1, 0, 12 34 56 78, 00 00 00 00"]}],
        "FiberParam": {"Baud": []}, "Route": []})");
    load(path("five.txt"));
    const QVector<can::FilterRow> rows = canEditor(w, 0)->filterRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.at(0), (can::FilterRow{1, 0, "12 34 56 78", "00 00 00 00"}));
    const auto* table = editorChild<QTableWidget>(canEditor(w, 0), "tableWidgetDatalist");
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(0, 0))->currentText(), QString("list Mode"));
    QCOMPARE(qobject_cast<QComboBox*>(table->cellWidget(0, 1))->currentText(), QString("16"));
}

void ConfigFileWindowTest::fileOfTheOtherFamily_data()
{
    QTest::addColumn<int>("savedOn");
    QTest::addColumn<QString>("savedModel");
    QTest::addColumn<int>("loadedOn");
    QTest::addColumn<QString>("loadedModel");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("classic file, CAN FD device")
        << 1 << "Vantor-A2" << 2 << "Vantor-D1"
        << QStringList({"can0 14 ", "can0 data 13  mode 0 fd 0 shown 0",
                        "can0 row 0 1 00 00 00 00 00 00 00 00", "can1 14 ",
                        "can1 data 13  mode 0 fd 0 shown 0", "fibre0 15 0b", "switch on: 0 1 1",
                        "switch on: 1 0 1", "switch on: 1 1 0"});
    QTest::newRow("CAN FD file, classic device")
        << 2 << "Vantor-D1" << 1 << "Vantor-A2"
        << QStringList({"can0 16 0x", "can0 row 0 0 00 00 00 00 00 00 00 00", "can1 16 0x", "fibre0 -1 -",
                        "switch on: 0 1 1", "switch on: 1 0 1", "switch on: 1 1 0"});
}

void ConfigFileWindowTest::fileOfTheOtherFamily()
{
    QFETCH(int, savedOn);
    QFETCH(QString, savedModel);
    QFETCH(int, loadedOn);
    QFETCH(QString, loadedModel);
    connect(savedOn, savedModel.toLatin1().constData());
    if (savedOn == 1) {
        setUpWorkedExample();
    } else {
        canEditor(*m_window, 0)->clearFilters();
        canEditor(*m_window, 1)->clearFilters();
        canEditor(*m_window, 0)->appendFilterRow({0, 0, kDefaultRow, kDefaultRow});
        fibreSelector(*m_window, 0)->setCurrentIndex(5);  // "115200", no code of a classic list
    }
    save(path("other.txt"));
    m_window.reset();
    sim::VirtualBus::instance().unplugAll();

    CorvelleRepeater& w = connect(loadedOn, loadedModel.toLatin1().constData());
    for (int i = 0; i < 2; ++i)
        canEditor(w, i)->clearFilters();
    load(path("other.txt"));
    QCOMPARE(m_dialogs.texts(), QStringList{"read finish"});
    QTEST(snapshot(w), "expected");
}

void ConfigFileWindowTest::refusedFilesChangeNoEditor_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("message");
    QTest::newRow("no FiberParam") << QByteArray(R"({"CANParam": [], "Route": []})")
                                   << "parse conf file fail";
    QTest::newRow("not an object") << QByteArray(R"([{"CANParam": []}])") << "parse conf file fail";
    const QByteArray notJson = "{\"CANParam\": [] \"Route\": []}";
    QJsonParseError error{};
    QJsonDocument::fromJson(notJson, &error);
    QTest::newRow("not JSON") << notJson << "parse conf file fail" + error.errorString();
    QTest::newRow("no such file") << QByteArray() << "open file faildNo such file or directory";
}

void ConfigFileWindowTest::refusedFilesChangeNoEditor()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    canEditor(w, 0)->setBaudRateBytes(QByteArray::fromHex("00120005"));
    canEditor(w, 1)->appendFilterRow({1, 0, "12 34 56 78", kDefaultRow});
    routeCell(w, 0, 2)->setOn(false);
    const CANParamWidget* editor = canEditor(w, 0);
    const QStringList before = snapshot(w);
    if (!content.isEmpty())
        writeFile(path("refused.txt"), content);
    load(path("refused.txt"));

    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes.at(0).kind, RecordingDialogs::Box::Warning);
    QCOMPARE(m_dialogs.boxes.at(0).title, QString("INFO"));
    QCOMPARE(snapshot(w), before);
    QCOMPARE(canEditor(w, 0), editor);  // not rebuilt
}

void ConfigFileWindowTest::cancelledDialogsSayNothing_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("caption");
    QTest::newRow("classic save") << 1 << "Vantor-A2"
                                  << "m_pushButtonSaveToFile"
                                  << "save config";
    QTest::newRow("CAN FD save") << 2 << "Vantor-D3"
                                 << "m_pushButtonSaveToFile"
                                 << "save conf";
    QTest::newRow("load") << 1 << "Vantor-A2"
                          << "m_pushButtonReadFromFile"
                          << "open file";
}

void ConfigFileWindowTest::cancelledDialogsSayNothing()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, button);
    CorvelleRepeater& w = connect(family, model.toLatin1().constData());
    const CANParamWidget* editor = canEditor(w, 0);
    click(w, button.toLatin1().constData());
    QVERIFY(m_dialogs.boxes.isEmpty());
    QTEST(m_dialogs.fileCaptions.value(0), "caption");
    QVERIFY(child<QWidget>(w, button.toLatin1().constData())->isEnabled());
    QCOMPARE(canEditor(w, 0), editor);
}

void ConfigFileWindowTest::withoutDeviceNoDialog()
{
    useEnglish();
    m_window = std::make_unique<CorvelleRepeater>();
    settle();
    m_dialogs.clear();
    m_dialogs.fileAnswers << path("never.txt") << path("never.txt");
    click(*m_window, "m_pushButtonSaveToFile");
    click(*m_window, "m_pushButtonReadFromFile");
    QCOMPARE(m_dialogs.texts(), QStringList({"device not connect", "device not connected"}));
    QVERIFY(m_dialogs.fileCaptions.isEmpty());
    QVERIFY(!QFile::exists(path("never.txt")));
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
    QVERIFY2(m_dialogs.boxes.at(0).text.startsWith(failText) &&
                 m_dialogs.boxes.at(0).text.size() > failText.size(),
             qPrintable(m_dialogs.boxes.at(0).text));
    QCOMPARE(readAll(path("kept.txt")), QByteArray("the previous configuration\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"kept.txt"});
}

void ConfigFileWindowTest::removalMeanwhileStopsTheOperation_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::newRow("save") << "m_pushButtonSaveToFile"
                          << "device not connect";
    QTest::newRow("load") << "m_pushButtonReadFromFile"
                          << "device not connected";
}

// The removal reaches the window in the event-loop pass of the operation, as
// it may while a real file dialog is open: no file, no editors rebuilt.
void ConfigFileWindowTest::removalMeanwhileStopsTheOperation()
{
    QFETCH(QString, button);
    QFETCH(QString, message);
    CorvelleRepeater& w = connect(1, "Vantor-A2");
    save(path("before.txt"));
    m_dialogs.clear();
    sim::VirtualBus::instance().unplug(1);
    m_dialogs.fileAnswers << (button.contains("Save") ? path("after.txt") : path("before.txt"));
    click(w, button.toLatin1().constData());
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QVERIFY(!QFile::exists(path("after.txt")));
    QCOMPARE(child<QTabWidget>(w, "tabWidget")->count(), 0);
}

void ConfigFileWindowTest::nonAsciiTextSurvives_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2";
    QTest::newRow("2:Vantor-D3") << 2 << "Vantor-D3";
}

void ConfigFileWindowTest::nonAsciiTextSurvives()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    CorvelleRepeater& w = connect(family, model.toLatin1().constData());
    const QString typed = QStringLiteral("12 34 56 7ß Ω 通道");
    canEditor(w, 0)->clearFilters();
    canEditor(w, 0)->appendFilterRow({0, 1, typed, kDefaultRow});
    if (family == 2) {
        CANParamWidget* e = canEditor(w, 1);
        editorChild<QComboBox>(e, "comboBoxBautRate")->setCurrentIndex(can::kArbitrationCustomIndex);
        editorChild<QLineEdit>(e, "lineEditBautRate")->setText(QStringLiteral("0x1234 Ω"));
    }
    const QStringList before = snapshot(w);
    save(path("utf8.txt"));
    QVERIFY(readAll(path("utf8.txt")).contains(typed.toUtf8()));
    load(path("utf8.txt"));
    QCOMPARE(m_dialogs.texts(), QStringList({"save success", "read finish"}));
    QCOMPARE(snapshot(w), before);
}

void ConfigFileWindowTest::malformedCorpus_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2";
    QTest::newRow("2:Vantor-D8") << 2 << "Vantor-D8";
}

void ConfigFileWindowTest::malformedCorpus()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    const QMap<QString, QString> expected = corpusExpectations();
    const QStringList files = QDir(QStringLiteral(CORPUS_DIR)).entryList(QDir::Files, QDir::Name);
    QStringList outcome;
    for (const QString& f : files)
        outcome << f + QLatin1Char(' ') + expected.value(f, QStringLiteral("not listed"));
    CorvelleRepeater& w = connect(family, model.toLatin1().constData());
    const int nCAN = child<QTabWidget>(w, "tabWidget")->count();
    QStringList seen;
    for (const QString& f : files) {
        m_dialogs.clear();
        load(QDir(QStringLiteral(CORPUS_DIR)).filePath(f));
        QString kind = QStringLiteral("unexpected");
        if (m_dialogs.texts() == QStringList{"read finish"})
            kind = QStringLiteral("finish");
        else if (m_dialogs.texts() == QStringList{"parse conf file fail"})
            kind = QStringLiteral("plain");
        else if (m_dialogs.boxes.size() == 1 && m_dialogs.boxes.at(0).text.startsWith("parse conf file fail"))
            kind = QStringLiteral("parser");
        seen << f + QLatin1Char(' ') + kind;
        QCOMPARE(child<QTabWidget>(w, "tabWidget")->count(), nCAN);
        for (int i = 0; i < nCAN; ++i)
            QVERIFY(canEditor(w, i));
    }
    QCOMPARE(seen, outcome);
    QCOMPARE(files.size(), expected.size());
    QVERIFY(files.size() >= 30);
}

QTEST_MAIN(ConfigFileWindowTest)
#include "tst_configfile_window.moc"
