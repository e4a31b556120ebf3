// The CAN channel editor: what its lists offer, the register text a choice
// shows, the hint under it, and the removal of filter rows.

#include "editors/CANParamWidget.h"

#include "device/HardwareType.h"

#include <QComboBox>
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

template <typename T = QWidget>
T* child(const QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QLatin1String(name));
    if (!c)
        qFatal("no child %s", name);
    return c;
}

// The last digit of each row's ID register.
QString ids(const QTableWidget* t)
{
    QString out;
    for (int r = 0; r < t->rowCount(); ++r)
        out += t->item(r, 2)->text().right(1);
    return out;
}

void select(QTableWidget* t, int row, int column, QItemSelectionModel::SelectionFlags flags = {})
{
    t->selectionModel()->select(t->model()->index(row, column), QItemSelectionModel::Select | flags);
}

}  // namespace

class TestCANParamWidget : public QObject {
    Q_OBJECT

private slots:
    void modeFollowsTheHardware();
    void rateBytesChooseTheEntry_data();
    void rateBytesChooseTheEntry();
    void hint_data();
    void hint();
    void deleteCellsInCanFdTable();
};

void TestCANParamWidget::modeFollowsTheHardware()
{
    QCOMPARE(child<QComboBox>(*editor(kCanFd, 0x12), "comboBoxMode")->count(), 1);  // "CAN" only
    QVERIFY(child(*editor(kClassic), "widget_mode")->isHidden());
    auto w = editor(kCanFd);
    const QList<QWidget*> followers{child(*w, "label_FD"), child(*w, "comboBoxFD"),
                                    child(*w, "widget_datarate")};
    for (int mode : {1, 0}) {
        child<QComboBox>(*w, "comboBoxMode")->setCurrentIndex(mode);
        QCOMPARE(w->modeIndex(), mode);
        for (QWidget* f : followers)
            QCOMPARE(f->isHidden(), mode == 0);
    }
}

void TestCANParamWidget::rateBytesChooseTheEntry_data()
{
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("entry");
    QTest::newRow("listed") << QByteArray::fromHex("00120005") << 14 << "1000K";
    QTest::newRow("unlisted") << QByteArray::fromHex("00040702") << 16 << "custom";
    QTest::newRow("all zero") << QByteArray::fromHex("00000000") << 15 << "self-adaption";
    // "custom" already current with a typed value: the seed from the device still shows.
    QTest::newRow("custom seed") << QByteArray::fromHex("FFFFFFFF") << 16 << "custom";
}

void TestCANParamWidget::rateBytesChooseTheEntry()
{
    QFETCH(QByteArray, registers);
    QFETCH(int, index);
    auto w = editor(kClassic);
    auto* combo = child<QComboBox>(*w, "comboBoxBautRate");
    auto* edit = child<QLineEdit>(*w, "lineEditBautRate");
    combo->setCurrentIndex(16);
    edit->setText("0x12345678");
    w->setBaudRateBytes(registers);
    QCOMPARE(combo->currentIndex(), index);
    QTEST(combo->currentText(), "entry");
    QCOMPARE(edit->text(), QLatin1String("0x") + QString::fromLatin1(registers.toHex().toUpper()));
    QCOMPARE(edit->isReadOnly(), index != 16);  // only "custom" is typed
    QCOMPARE(w->arbitrateRateBytes(), registers);
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
    auto w = editor(driveType);
    child<QComboBox>(*w, "comboBoxBautRate")->setCurrentIndex(index);
    if (!typed.isEmpty())
        child<QLineEdit>(*w, "lineEditBautRate")->setText(typed);
    QTEST(child<QLabel>(*w, "labelBautRateHint")->text(), "hint");
}

void TestCANParamWidget::deleteCellsInCanFdTable()
{
    auto w = editor(kCanFd);
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    auto* minus = child<QPushButton>(*w, "pushButtonDown");
    for (int n = 1; n <= 5; ++n)
        w->appendFilterRow({1, 0, QStringLiteral("00 00 00 0%1").arg(n), QStringLiteral("00 00 00 00")});

    select(table, 1, 2);
    minus->click();
    QCOMPARE(ids(table), QStringLiteral("12345"));
    select(table, 1, 3);
    minus->click();
    QCOMPARE(ids(table), QStringLiteral("1345"));

    // Cells picked out of table order are taken in table order: (0,2) (0,3)
    // (2,2) (3,2), so every second one from the last removes rows 3 and 0.
    table->clearSelection();
    select(table, 2, 2);
    select(table, 0, 2);
    select(table, 3, 2);
    select(table, 0, 3);
    minus->click();
    QCOMPARE(ids(table), QStringLiteral("34"));
}

QTEST_MAIN(TestCANParamWidget)
#include "tst_canparamwidget.moc"
