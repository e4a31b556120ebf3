#include "editors/CANParamWidget.h"

#include "RecordingDialogs.h"
#include "device/HardwareType.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

constexpr int kClassic = 1;
constexpr int kCanFd = 2;

std::unique_ptr<CANParamWidget> editor(int driveType, int hardwareType = 0x13)
{
    g_nHardwareType = hardwareType;
    return std::make_unique<CANParamWidget>(nullptr, driveType);
}

template <typename T>
T* child(const QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

QComboBox* cellCombo(const QTableWidget* t, int row, int column)
{
    return qobject_cast<QComboBox*>(t->cellWidget(row, column));
}

// A row as the user sees it: both combo texts and both register texts.
QStringList shownRow(const QTableWidget* t, int row)
{
    return {cellCombo(t, row, 0)->currentText(), cellCombo(t, row, 1)->currentText(), t->item(row, 2)->text(),
            t->item(row, 3)->text()};
}

QStringList headers(const QTableWidget* t)
{
    QStringList out;
    for (int c = 0; c < t->columnCount(); ++c)
        out << t->horizontalHeaderItem(c)->text();
    return out;
}

QStringList entries(const QComboBox* combo)
{
    QStringList out;
    for (int i = 0; i < combo->count(); ++i)
        out << combo->itemText(i);
    return out;
}

void select(QTableWidget* t, int row, int column, QItemSelectionModel::SelectionFlags flags = {})
{
    t->selectionModel()->select(t->model()->index(row, column), QItemSelectionModel::Select | flags);
}

// Five rows whose ID registers number them 1 to 5.
void addNumberedRows(CANParamWidget& w, int kind)
{
    for (int n = 1; n <= 5; ++n)
        w.appendFilterRow({kind, 0, QStringLiteral("00 00 00 0%1").arg(n), QStringLiteral("00 00 00 00")});
}

QStringList ids(const QTableWidget* t)
{
    QStringList out;
    for (int r = 0; r < t->rowCount(); ++r)
        out << t->item(r, 2)->text().right(1);
    return out;
}

}  // namespace

class TestCANParamWidget : public QObject {
    Q_OBJECT

private slots:
    void classicForm();
    void canFdModeEntries_data();
    void canFdModeEntries();
    void modeSwitch();
    void customEntryEditable_data();
    void customEntryEditable();
    void setBaudRateBytes_data();
    void setBaudRateBytes();
    void setFDConfigUnlistedData();
    void rateBytesFromText_data();
    void rateBytesFromText();
    void rateTextCheckedBeforeWrite();
    void hint_data();
    void hint();
    void newRowDefaults_data();
    void newRowDefaults();
    void deleteSelectedRows();
    void deleteCellsInCanFdTable();
    void filterMessagesShown();
    void decodeIntoTable();
    void resetToDefaults();
};

void TestCANParamWidget::classicForm()
{
    auto w = editor(kClassic);
    QCOMPARE(w->objectName(), QStringLiteral("CANParamWidget"));
    // Five slots, connected by name, and nothing else in the meta-object.
    QCOMPARE(w->metaObject()->methodCount() - QWidget::staticMetaObject.methodCount(), 5);
    QVERIFY(child<QWidget>(*w, "widget_mode")->isHidden());
    QVERIFY(child<QWidget>(*w, "widget_datarate")->isHidden());
    QCOMPARE(w->modeIndex(), -1);
    QCOMPARE(w->fdIndex(), 0);
    QCOMPARE(child<QLabel>(*w, "labelArbit")->text(), QStringLiteral("BauteRate:"));
    QCOMPARE(child<QComboBox>(*w, "comboBoxBautRate")->count(), 17);
    QCOMPARE(child<QLineEdit>(*w, "lineEditBautRate")->text(), QStringLiteral("0x00450257"));
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    QCOMPARE(headers(table), QStringList({"Work Mode", "Bit", "ID Register", "Mask Register"}));
    QCOMPARE(table->columnWidth(1), 80);
    QVERIFY(table->horizontalHeader()->stretchLastSection());
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->rowCount(), 0);
}

void TestCANParamWidget::canFdModeEntries_data()
{
    QTest::addColumn<int>("hardwareType");
    QTest::addColumn<QStringList>("modes");
    QTest::newRow("0x12") << 0x12 << QStringList{"CAN"};
    QTest::newRow("0x13") << 0x13 << QStringList{"CAN", "CANFD"};
}

void TestCANParamWidget::canFdModeEntries()
{
    QFETCH(int, hardwareType);
    QFETCH(QStringList, modes);
    auto w = editor(kCanFd, hardwareType);
    QCOMPARE(entries(child<QComboBox>(*w, "comboBoxMode")), modes);
    QCOMPARE(child<QLabel>(*w, "labelArbit")->text(), QStringLiteral("Arbitrate BauteRate:"));
    QCOMPARE(child<QLabel>(*w, "labeldata")->text(), QStringLiteral("Data BautRate:"));
    QCOMPARE(child<QLineEdit>(*w, "lineEditdatarate")->text(), QStringLiteral("0x001D0E30"));
    QCOMPARE(headers(child<QTableWidget>(*w, "tableWidgetDatalist")),
             QStringList({"Type", "Mode", "ID Register", "Mask Register"}));
}

void TestCANParamWidget::modeSwitch()
{
    auto w = editor(kCanFd);
    auto* mode = child<QComboBox>(*w, "comboBoxMode");
    const QList<QWidget*> followers{child<QWidget>(*w, "label_FD"), child<QWidget>(*w, "comboBoxFD"),
                                    child<QWidget>(*w, "widget_datarate")};
    QVERIFY(!child<QWidget>(*w, "widget_mode")->isHidden());
    for (QWidget* f : followers)
        QVERIFY(f->isHidden());
    mode->setCurrentIndex(1);
    QCOMPARE(w->modeIndex(), 1);
    for (QWidget* f : followers)
        QVERIFY(!f->isHidden());
    mode->setCurrentIndex(0);
    for (QWidget* f : followers)
        QVERIFY(f->isHidden());
}

void TestCANParamWidget::customEntryEditable_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("editable");
    QTest::newRow("classic custom") << kClassic << "comboBoxBautRate" << 16 << "0xFFFFFFFF" << true;
    QTest::newRow("classic 1000K") << kClassic << "comboBoxBautRate" << 14 << "0x00120005" << false;
    QTest::newRow("classic 50K") << kClassic << "comboBoxBautRate" << 4 << "0x0067002C" << false;
    QTest::newRow("arbitration custom") << kCanFd << "comboBoxBautRate" << 14 << "0xFFFFFFFF" << true;
    QTest::newRow("arbitration 800K") << kCanFd << "comboBoxBautRate" << 12 << "0x00021006" << false;
    QTest::newRow("data custom") << kCanFd << "comboBoxdatarate" << 13 << "0xFFFFFFFF" << true;
    QTest::newRow("data 250K") << kCanFd << "comboBoxdatarate" << 3 << "0x000F0A20" << false;
}

void TestCANParamWidget::customEntryEditable()
{
    QFETCH(int, driveType);
    QFETCH(QString, combo);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(bool, editable);
    auto w = editor(driveType);
    auto* edit = child<QLineEdit>(*w, combo == "comboBoxdatarate" ? "lineEditdatarate" : "lineEditBautRate");
    child<QComboBox>(*w, qPrintable(combo))->setCurrentIndex(index);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->isReadOnly(), !editable);
    // Back to a listed entry: read-only again.
    child<QComboBox>(*w, qPrintable(combo))->setCurrentIndex(1);
    QVERIFY(edit->isReadOnly());
}

void TestCANParamWidget::setBaudRateBytes_data()
{
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::newRow("listed") << QByteArray::fromHex("00120005") << 14 << "1000K"
                            << "0x00120005";
    QTest::newRow("unlisted") << QByteArray::fromHex("00040702") << 16 << "custom"
                              << "0x00040702";
    QTest::newRow("all zero") << QByteArray::fromHex("00000000") << 15 << "self-adaption"
                              << "0x00000000";
    // "custom" already current with a typed value: the seed from the device still shows.
    QTest::newRow("custom seed") << QByteArray::fromHex("FFFFFFFF") << 16 << "custom"
                                 << "0xFFFFFFFF";
}

void TestCANParamWidget::setBaudRateBytes()
{
    QFETCH(QByteArray, registers);
    QFETCH(int, index);
    QFETCH(QString, entry);
    QFETCH(QString, text);
    auto w = editor(kClassic);
    auto* combo = child<QComboBox>(*w, "comboBoxBautRate");
    auto* edit = child<QLineEdit>(*w, "lineEditBautRate");
    combo->setCurrentIndex(16);
    edit->setText("0x12345678");
    w->setBaudRateBytes(registers);
    QCOMPARE(combo->currentIndex(), index);
    QCOMPARE(combo->currentText(), entry);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->isReadOnly(), index != 16);
    QCOMPARE(w->arbitrateRateBytes(), registers);
}

void TestCANParamWidget::setFDConfigUnlistedData()
{
    auto w = editor(kCanFd);
    w->setFDConfig(1, 1, QByteArray::fromHex("00070A02"), QByteArray::fromHex("00030920"));
    QCOMPARE(w->modeIndex(), 1);
    QCOMPARE(w->fdIndex(), 1);
    QCOMPARE(child<QComboBox>(*w, "comboBoxBautRate")->currentText(), QStringLiteral("500K"));
    QCOMPARE(child<QComboBox>(*w, "comboBoxdatarate")->currentIndex(), 13);
    QCOMPARE(child<QLineEdit>(*w, "lineEditdatarate")->text(), QStringLiteral("0x00030920"));
    QVERIFY(!child<QLineEdit>(*w, "lineEditdatarate")->isReadOnly());
    QCOMPARE(w->dataRateBytes(), QByteArray::fromHex("00030920"));
}

void TestCANParamWidget::rateBytesFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("pairs") << "0x00 12 00 0b" << QByteArray::fromHex("0012000B")
                           << QByteArray("00 12 23 06 00 03 00 12 00 0B 00 00 00 00 00 00 00");
    QTest::newRow("upper-case prefix") << "0X0012000B" << QByteArray::fromHex("000012000B") << QByteArray();
}

void TestCANParamWidget::rateBytesFromText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, registers);
    QFETCH(QByteArray, request);
    auto w = editor(kClassic);
    child<QComboBox>(*w, "comboBoxBautRate")->setCurrentIndex(16);
    child<QLineEdit>(*w, "lineEditBautRate")->setText(text);
    QCOMPARE(w->arbitrateRateBytes(), registers);
    QCOMPARE(w->baudRateCommand(3).toHex(' ').toUpper(), request);
}

void TestCANParamWidget::rateTextCheckedBeforeWrite()
{
    RecordingDialogs dialogs;
    auto w = editor(kCanFd);
    QVERIFY(w->checkRateTexts(2));
    child<QComboBox>(*w, "comboBoxdatarate")->setCurrentIndex(13);
    child<QLineEdit>(*w, "lineEditdatarate")->setText("0x0003092");
    QVERIFY(w->checkRateTexts(2));  // mode "CAN" sends no data rate
    child<QComboBox>(*w, "comboBoxMode")->setCurrentIndex(1);
    QVERIFY(!w->checkRateTexts(2));
    QCOMPARE(dialogs.texts(), QStringList{"channel 2: the data rate register must be 8 hexadecimal digits"});
    QCOMPARE(dialogs.boxes[0].title, QStringLiteral("INFO"));
    QCOMPARE(dialogs.boxes[0].parent.data(), w.get());
}

void TestCANParamWidget::hint_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("hint");
    QTest::newRow("classic 500K") << kClassic << 11 << QString() << QStringLiteral("500 kbit/s · SP 66.7 %");
    QTest::newRow("classic self-adaption")
        << kClassic << 15 << QString() << "bit rate detected by the device";
    QTest::newRow("classic custom seed") << kClassic << 16 << QString() << "not a valid timing";
    QTest::newRow("arbitration custom 1 Mbit/s")
        << kCanFd << 14 << "0x00040702" << QStringLiteral("1 Mbit/s · SP 75.0 %");
    QTest::newRow("custom with seven digits") << kCanFd << 14 << "0x0004070"
                                              << "not a valid timing";
}

void TestCANParamWidget::hint()
{
    QFETCH(int, driveType);
    QFETCH(int, index);
    QFETCH(QString, typed);
    QFETCH(QString, hint);
    auto w = editor(driveType);
    child<QComboBox>(*w, "comboBoxBautRate")->setCurrentIndex(index);
    if (!typed.isEmpty())
        child<QLineEdit>(*w, "lineEditBautRate")->setText(typed);
    QCOMPARE(child<QLabel>(*w, "labelBautRateHint")->text(), hint);
}

void TestCANParamWidget::newRowDefaults_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QStringList>("row");
    QTest::newRow("classic") << kClassic << QStringList{"mask Mode", "32", "00 00 00 00", "00 00 00 00"};
    QTest::newRow("CAN FD") << kCanFd
                            << QStringList{"standard frame", "range ID", "00 00 00 00", "00 00 00 00"};
}

void TestCANParamWidget::newRowDefaults()
{
    QFETCH(int, driveType);
    QFETCH(QStringList, row);
    auto w = editor(driveType);
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    child<QPushButton>(*w, "pushButtonAdd")->click();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(shownRow(table, 0), row);
    QCOMPARE(table->rowHeight(0), 24);
}

void TestCANParamWidget::deleteSelectedRows()
{
    auto w = editor(kClassic);
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    auto* minus = child<QPushButton>(*w, "pushButtonDown");
    addNumberedRows(*w, 0);
    minus->click();  // nothing selected
    QCOMPARE(ids(table), QStringList({"1", "2", "3", "4", "5"}));
    select(table, 1, 0, QItemSelectionModel::Rows);
    select(table, 3, 0, QItemSelectionModel::Rows);
    minus->click();
    QCOMPARE(ids(table), QStringList({"1", "3", "5"}));
    w->clearFilters();
    QCOMPARE(table->rowCount(), 0);
}

void TestCANParamWidget::deleteCellsInCanFdTable()
{
    auto w = editor(kCanFd);
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    auto* minus = child<QPushButton>(*w, "pushButtonDown");
    addNumberedRows(*w, 1);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectItems);

    select(table, 1, 2);
    minus->click();
    QCOMPARE(ids(table), QStringList({"1", "2", "3", "4", "5"}));

    select(table, 1, 3);
    minus->click();
    QCOMPARE(ids(table), QStringList({"1", "3", "4", "5"}));

    // Only row 0 has both register cells selected, in whatever order they were picked.
    table->clearSelection();
    select(table, 2, 2);
    select(table, 0, 2);
    select(table, 3, 2);
    select(table, 0, 3);
    minus->click();
    QCOMPARE(ids(table), QStringList({"3", "4", "5"}));
}

void TestCANParamWidget::filterMessagesShown()
{
    RecordingDialogs dialogs;
    auto classic = editor(kClassic);
    for (int i = 0; i < 15; ++i)
        classic->appendFilterRow({0, 1, "00 00 00 00", "00 00 00 00"});
    QVERIFY(classic->filterBankCommands(1).isEmpty());

    auto fd = editor(kCanFd);
    fd->appendFilterRow({0, 0, "00 00 08 00", "00 00 00 00"});
    QVERIFY(fd->filterCommands(1).isEmpty());
    fd->clearFilters();
    fd->appendFilterRow({5, 0, "00 00 00 00", "00 00 00 00"});  // a kind beyond the list
    QCOMPARE(fd->filterRows()[0].kind, -1);
    QVERIFY(fd->filterCommands(1).isEmpty());

    QCOMPARE(dialogs.texts(),
             QStringList({"filter at most 14", "standard frame ID<=0x000007FF\nextended frame ID<=0x1FFFFFFF",
                          "channel 1: choose the type and mode of filter 1"}));
    QCOMPARE(dialogs.boxes[0].parent.data(), classic.get());
    QCOMPARE(dialogs.boxes[1].title, QStringLiteral("INFO"));
}

void TestCANParamWidget::decodeIntoTable()
{
    auto classic = editor(kClassic);
    auto* table = child<QTableWidget>(*classic, "tableWidgetDatalist");
    classic->decodeFilterBanks({QByteArray::fromHex("122481 00 81 11 12345678 000000ff"),
                                QByteArray::fromHex("122481 01 81 00 1a00ff07 ffff0000")});
    QCOMPARE(shownRow(table, 0), QStringList({"list Mode", "32", "12 34 56 78", "00 00 00 ff"}));
    QCOMPARE(shownRow(table, 1), QStringList({"mask Mode", "16", "1a 00 ff 07", "ff ff 00 00"}));
    QCOMPARE(classic->filterBankCommands(1)[0].toHex(' ').toUpper(),
             QByteArray("00 12 24 0B 00 81 11 12 34 56 78 00 00 00 FF 00 00"));

    auto fd = editor(kCanFd);
    fd->decodeFilterRecords({QByteArray::fromHex("130500100001 01 01 01 02 1fffffff 00000001")});
    QCOMPARE(shownRow(child<QTableWidget>(*fd, "tableWidgetDatalist"), 0),
             QStringList({"extended frame", "mask ID", "1f ff ff ff", "00 00 00 01"}));
}

void TestCANParamWidget::resetToDefaults()
{
    auto w = editor(kClassic);
    w->resetToDefaults();
    QCOMPARE(child<QComboBox>(*w, "comboBoxBautRate")->currentText(), QStringLiteral("10K"));
    QCOMPARE(child<QLineEdit>(*w, "lineEditBautRate")->text(), QStringLiteral("0x001C00E0"));
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(shownRow(table, 0), QStringList({"mask Mode", "32", "00 00 00 00", "00 00 00 00"}));
}

QTEST_MAIN(TestCANParamWidget)
#include "tst_canparamwidget.moc"
