// The route matrix: its cells, the port switches, and the bytes read into it.

#include "editors/RouteMatrix.h"
#include "widgets/CheckButton.h"

#include <QSignalMapper>
#include <QTableWidget>
#include <QtTest>

namespace {

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
    void portSwitch();

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
    // A rebuild must leave the switches working through the same mapper.
    RouteMatrix(m_table, m_mapper, 2, 1).build();
    RouteMatrix(m_table, m_mapper, 2, 1).clear();
    RouteMatrix(m_table, m_mapper, 2, 1).build();
}

void TestRouteMatrix::cleanup()
{
    delete m_table;
    delete m_mapper;
}

void TestRouteMatrix::layout()
{
    QCOMPARE(m_table->rowCount(), 4);
    QCOMPARE(m_table->columnCount(), 5);
    QCOMPARE(m_table->item(0, 4)->text(), QStringLiteral("Fiber1"));
    QCOMPARE(m_table->item(2, 1)->text(), QStringLiteral("CAN2"));
    for (int p = 1; p <= 3; ++p) {
        QVERIFY(buttonAt(*m_table, p, 0)->isOn());
        for (int q = 1; q <= 3; ++q)
            QCOMPARE(buttonAt(*m_table, p, q + 1)->isEnabled(), p != q);
    }
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 1 0"}));
}

void TestRouteMatrix::portSwitch()
{
    QTest::mouseClick(buttonAt(*m_table, 1, 4), Qt::LeftButton);  // CAN1 no longer to Fiber1
    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QVERIFY(!buttonAt(*m_table, 2, 0)->isOn());
    QCOMPARE(cellStates(*m_table), (QStringList{"0 0 0", "0 0 0", "1 0 0"}));

    // Switched on again: every route of the port, never the port to itself;
    // the cell cleared by hand elsewhere stays cleared.
    QTest::mouseClick(buttonAt(*m_table, 2, 0), Qt::LeftButton);
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 0", "1 0 1", "1 1 0"}));
    QVERIFY(!buttonAt(*m_table, 2, 3)->isEnabled());

    QTest::mouseClick(buttonAt(*m_table, 3, 0), Qt::LeftButton);
    QTest::mouseClick(buttonAt(*m_table, 3, 0), Qt::LeftButton);
    QCOMPARE(cellStates(*m_table), (QStringList{"0 1 1", "1 0 1", "1 1 0"}));
}

QTEST_MAIN(TestRouteMatrix)
#include "tst_routematrix.moc"
