// The CAN channel editor: the modes the hardware offers, the list entry and
// register text a timing shows, and the adding and removal of filter rows.

#include "editors/CANParamWidget.h"

#include "device/HardwareType.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<CANParamWidget> editor(int driveType, int hardwareType = 0x13)
{
    g_nHardwareType = hardwareType;
    return std::make_unique<CANParamWidget>(nullptr, driveType);
}

template <typename T = QWidget>
T* child(const QWidget& w, const char* name)
{
    return w.findChild<T*>(QLatin1String(name));
}

}  // namespace

class TestCANParamWidget : public QObject {
    Q_OBJECT

private slots:
    void modeFollowsTheHardware();
    void rateBytesChooseTheEntry_data();
    void rateBytesChooseTheEntry();
    void deleteCellsInCanFdTable();
    void addStopsAtTheClassicLimit();
};

void TestCANParamWidget::modeFollowsTheHardware()
{
    QCOMPARE(child<QComboBox>(*editor(2, 0x12), "comboBoxMode")->count(), 1);  // "CAN" only
    auto w = editor(2);
    for (int mode : {1, 0}) {
        child<QComboBox>(*w, "comboBoxMode")->setCurrentIndex(mode);
        QCOMPARE(w->modeIndex(), mode);
        for (const char* follower : {"label_FD", "comboBoxFD", "widget_datarate"})
            QCOMPARE(child(*w, follower)->isHidden(), mode == 0);
    }
}

void TestCANParamWidget::rateBytesChooseTheEntry_data()
{
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<QString>("entry");
    QTest::newRow("listed") << QByteArray("00120005") << "1000K";
    QTest::newRow("unlisted") << QByteArray("00040702") << "custom";
    QTest::newRow("all zero") << QByteArray("00000000") << "self-adaption";
    // "custom" already current with a typed value: the seed from the device still shows.
    QTest::newRow("custom seed") << QByteArray("FFFFFFFF") << "custom";
}

void TestCANParamWidget::rateBytesChooseTheEntry()
{
    QFETCH(QByteArray, registers);
    auto w = editor(1);
    auto* combo = child<QComboBox>(*w, "comboBoxBautRate");
    auto* edit = child<QLineEdit>(*w, "lineEditBautRate");
    combo->setCurrentIndex(combo->count() - 1);
    edit->setText("0x12345678");
    config::CanChannel channel;
    channel.rateText = QStringLiteral("0x%1").arg(QString::fromLatin1(registers).toLower());
    w->setChannelConfig(channel);
    QTEST(combo->currentText(), "entry");
    QCOMPARE(edit->text(), QLatin1String("0x") + QString::fromLatin1(registers));
    QCOMPARE(edit->isReadOnly(), combo->currentText() != QLatin1String("custom"));  // only "custom" is typed
    QCOMPARE(w->channelConfig().rateText, edit->text());
}

void TestCANParamWidget::deleteCellsInCanFdTable()
{
    auto w = editor(2);
    auto* table = child<QTableWidget>(*w, "tableWidgetDatalist");
    for (int n = 1; n <= 5; ++n)
        w->appendFilterRow({1, 0, QStringLiteral("00 00 00 0%1").arg(n), QStringLiteral("00 00 00 00")});
    // Every row with a selected cell goes, whatever the order the cells were
    // picked in; nothing selected removes nothing.
    auto removeAfterSelecting = [&](std::initializer_list<std::pair<int, int>> cells) {
        table->clearSelection();
        for (const auto& [row, column] : cells)
            table->selectionModel()->select(table->model()->index(row, column), QItemSelectionModel::Select);
        child<QPushButton>(*w, "pushButtonDown")->click();
        QString ids;  // the last digit of each row's ID register
        for (int r = 0; r < table->rowCount(); ++r)
            ids += table->item(r, 2)->text().right(1);
        return ids;
    };
    QCOMPARE(removeAfterSelecting({}), QStringLiteral("12345"));
    QCOMPARE(removeAfterSelecting({{1, 2}}), QStringLiteral("1345"));
    QCOMPARE(removeAfterSelecting({{2, 3}, {0, 2}, {2, 0}}), QStringLiteral("35"));
}

// A classic channel has 14 filter banks: "+" stops there and says why; a
// CAN FD channel's limits depend on the frame types, so "+" stays.
void TestCANParamWidget::addStopsAtTheClassicLimit()
{
    auto classic = editor(1);
    auto* add = child<QPushButton>(*classic, "pushButtonAdd");
    for (int n = 0; n < 13; ++n)
        add->click();
    QVERIFY(add->isEnabled());
    add->click();
    add->click();
    QCOMPARE(child<QTableWidget>(*classic, "tableWidgetDatalist")->rowCount(), 14);
    QVERIFY(!add->isEnabled());
    QCOMPARE(add->toolTip(), QStringLiteral("A channel holds at most 14 filters."));
    auto* table = child<QTableWidget>(*classic, "tableWidgetDatalist");
    table->selectRow(3);
    child<QPushButton>(*classic, "pushButtonDown")->click();
    QVERIFY(add->isEnabled());

    auto canFd = editor(2);
    for (int n = 0; n < 20; ++n)
        child<QPushButton>(*canFd, "pushButtonAdd")->click();
    QVERIFY(child<QPushButton>(*canFd, "pushButtonAdd")->isEnabled());
}

QTEST_MAIN(TestCANParamWidget)
#include "tst_canparamwidget.moc"
