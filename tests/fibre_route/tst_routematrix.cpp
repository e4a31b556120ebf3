#include "editors/RouteMatrix.h"
#include "widgets/CheckButton.h"
#include "widgets/SlashWidget.h"

#include <QSignalMapper>
#include <QTableWidget>
#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

CheckButton* buttonAt(const QTableWidget& table, int row, int column)
{
    return qobject_cast<CheckButton*>(table.cellWidget(row, column));
}

// The states of the matrix cells, row by row, as the file stores them ("0 1 1").
QStringList cellStates(const QTableWidget& table)
{
    QStringList rows;
    for (int r = 1; r < table.rowCount(); ++r) {
        QStringList row;
        for (int c = 2; c < table.columnCount(); ++c)
            row << (buttonAt(table, r, c)->isOn() ? QStringLiteral("1") : QStringLiteral("0"));
        rows << row.join(QLatin1Char(' '));
    }
    return rows;
}

}  // namespace

class TestRouteMatrix : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void layout();
    void noChannels();
    void portSwitch();
    void handClearedCellSurvivesOtherSwitch();
    void family1Bytes();
    void family2Words();
    void largestDevice();

private:
    QTableWidget* m_table = nullptr;
    QSignalMapper* m_mapper = nullptr;
};

void TestRouteMatrix::init()
{
    m_table = new QTableWidget;
    m_mapper = new QSignalMapper;
    m_table->resize(600, 300);
    m_table->show();
}

void TestRouteMatrix::cleanup()
{
    delete m_table;
    delete m_mapper;
}

void TestRouteMatrix::layout()
{
    RouteMatrix(m_table, m_mapper, 2, 1).build();
    QCOMPARE(m_table->rowCount(), 4);
    QCOMPARE(m_table->columnCount(), 5);
    QCOMPARE(m_table->item(0, 0)->text(), QStringLiteral("ON/OFF"));
    QVERIFY(qobject_cast<SlashWidget*>(m_table->cellWidget(0, 1)));
    const QStringList names{"CAN1", "CAN2", "Fiber1"};
    for (int p = 1; p <= 3; ++p) {
        QCOMPARE(m_table->item(0, p + 1)->text(), names[p - 1]);
        QCOMPARE(m_table->item(p, 1)->text(), names[p - 1]);
        QCOMPARE(m_table->item(p, 1)->flags(), Qt::ItemIsEnabled);
        QVERIFY(buttonAt(*m_table, p, 0)->isOn());
        for (int q = 1; q <= 3; ++q)
            QCOMPARE(buttonAt(*m_table, p, q + 1)->isEnabled(), p != q);
    }
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 1 0"}));
}

void TestRouteMatrix::noChannels()
{
    RouteMatrix(m_table, m_mapper, 2, 1).build();
    RouteMatrix(m_table, m_mapper, 0, 0).clear();
    RouteMatrix(m_table, m_mapper, 0, 0).build();
    QCOMPARE(m_table->rowCount(), 1);
    QCOMPARE(m_table->columnCount(), 2);
    QCOMPARE(m_table->item(0, 0)->text(), QStringLiteral("ON/OFF"));
    QVERIFY(qobject_cast<SlashWidget*>(m_table->cellWidget(0, 1)));
    QCOMPARE(RouteMatrix(m_table, m_mapper, 0, 0).routeBytes().toHex(' '),
             hex("00 12 27 09 00 00 00 00 00 00 00 00 00 00 00 00 00").toHex(' '));
}

void TestRouteMatrix::portSwitch()
{
    // A rebuild must leave the switches working through the same mapper.
    RouteMatrix(m_table, m_mapper, 2, 1).build();
    RouteMatrix(m_table, m_mapper, 2, 1).clear();
    RouteMatrix(m_table, m_mapper, 2, 1).build();

    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QVERIFY(!buttonAt(*m_table, 2, 0)->isOn());
    QCOMPARE(cellStates(*m_table), (QStringList{"0 0 1", "0 0 0", "1 0 0"}));

    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QVERIFY(buttonAt(*m_table, 2, 0)->isOn());
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 1 0"}));
    QVERIFY(!buttonAt(*m_table, 2, 3)->isEnabled());
}

void TestRouteMatrix::handClearedCellSurvivesOtherSwitch()
{
    RouteMatrix(m_table, m_mapper, 2, 1).build();
    QTest::mouseClick(buttonAt(*m_table, 1, 4), Qt::LeftButton);  // CAN1 no longer to Fiber1
    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 0", "1 0 1", "1 1 0"}));

    QTest::mouseClick(buttonAt(*m_table, 3, 0), Qt::LeftButton);
    QTest::mouseClick(buttonAt(*m_table, 3, 0), Qt::LeftButton);
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 1 0"}));
}

void TestRouteMatrix::family1Bytes()
{
    const RouteMatrix matrix(m_table, m_mapper, 2, 1);
    matrix.build();
    QCOMPARE(matrix.routeBytes().toHex(' '),
             hex("00 12 27 09 00 48 88 00 00 C0 00 00 00 00 00 00 00").toHex(' '));

    // CAN1 answers with its own bit set; its disabled cell stays off.
    matrix.decodeRouteBytes(hex("00 00 81 00 C0 08 00 00 80 00 00 00 00 00 00 00"));
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 0", "0 0 1", "1 0 0"}));
    QCOMPARE(matrix.routeBytes().toHex(' '),
             hex("00 12 27 09 00 40 08 00 00 80 00 00 00 00 00 00 00").toHex(' '));

    // A short answer leaves the rows it does not reach as they are.
    matrix.decodeRouteBytes(hex("00 00 81 00 48 88"));
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 0 0"}));
}

void TestRouteMatrix::family2Words()
{
    const RouteMatrix matrix(m_table, m_mapper, 2, 1);
    matrix.build();
    QCOMPARE(matrix.routeWord(0).toHex(' '), QByteArray("40 00 80 00"));
    QCOMPARE(matrix.routeWord(2).toHex(' '), QByteArray("c0 00 00 00"));

    matrix.setRouteWord(0, hex("80 00 00 00"));  // the device's own bit reaches the disabled cell
    QVERIFY(buttonAt(*m_table, 1, 2)->isOn());
    QVERIFY(!buttonAt(*m_table, 1, 2)->isEnabled());
    QCOMPARE(cellStates(*m_table).first(), QStringLiteral("1 0 0"));
    QCOMPARE(matrix.routeWord(0).toHex(' '), QByteArray("80 00 00 00"));

    matrix.setRouteWord(1, hex("00 00"));  // too short: unchanged
    QCOMPARE(cellStates(*m_table).at(1), QStringLiteral("1 0 1"));
}

void TestRouteMatrix::largestDevice()
{
    const RouteMatrix matrix(m_table, m_mapper, 2, 16);
    matrix.build();
    QCOMPARE(m_table->rowCount(), 19);
    QCOMPARE(m_table->columnCount(), 20);
    QCOMPARE(m_table->item(0, 19)->text(), QStringLiteral("Fiber16"));
    QCOMPARE(matrix.routeWord(0).toHex(' '), QByteArray("40 00 ff ff"));
    QCOMPARE(matrix.routeWord(17).toHex(' '), QByteArray("c0 00 ff fe"));

    QTest::mouseClick(buttonAt(*m_table, 18, 0), Qt::LeftButton);
    QCOMPARE(matrix.routeWord(0).toHex(' '), QByteArray("40 00 ff fe"));
    QCOMPARE(matrix.routeWord(17).toHex(' '), QByteArray("00 00 00 00"));
}

QTEST_MAIN(TestRouteMatrix)
#include "tst_routematrix.moc"
