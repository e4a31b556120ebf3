// The fibre editor: the rates offered, what it leaves when cleared, and the
// custom rate.

#include "editors/FibreGrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>
#include <QtTest>

namespace {

// Stands in for the form's fibre tab: the note label beside the grid.
struct FibreTab {
    QWidget tab;
    QLabel* note = new QLabel(QStringLiteral("note"), &tab);
    QGridLayout* grid = new QGridLayout;

    FibreTab()
    {
        note->setObjectName(QStringLiteral("label_3"));
        auto* layout = new QVBoxLayout(&tab);
        layout->addWidget(note);
        layout->addLayout(grid);
    }
    FibreGrid view(int nCAN, int nFiber, int family) { return FibreGrid(&tab, grid, nCAN, nFiber, family); }
};

class ChineseCustom : public QTranslator {
public:
    QString translate(const char*, const char* source, const char*, int) const override
    {
        return qstrcmp(source, "custom") == 0 ? QStringLiteral("自定义") : QString();
    }
    bool isEmpty() const override { return false; }
};

}  // namespace

class TestFibreGrid : public QObject {
    Q_OBJECT
private slots:
    void family1Entries_data();
    void family1Entries();
    void noFibreKeepsNoteLabel();
    void customEditTakesOnlyDeviceRates_data();
    void customEditTakesOnlyDeviceRates();
    void customSurvivesLanguageSwitch();
};

void TestFibreGrid::family1Entries_data()
{
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<int>("nFiber");
    QTest::addColumn<int>("entries");
    QTest::addColumn<QString>("last");
    QTest::newRow("2 CAN + 1 fibre") << 2 << 1 << 13 << "4500K";
    QTest::newRow("2 CAN + 2 fibre") << 2 << 2 << 12 << "2250K";
}

void TestFibreGrid::family1Entries()
{
    QFETCH(int, nCAN);
    QFETCH(int, nFiber);
    QFETCH(int, entries);
    QFETCH(QString, last);
    FibreTab t;
    const FibreGrid grid = t.view(nCAN, nFiber, 1);
    grid.build();
    QComboBox* combo = grid.selector(nFiber - 1);
    QCOMPARE(combo->count(), entries);
    QCOMPARE(combo->itemText(entries - 1), last);
    QCOMPARE(combo->currentText(), QStringLiteral("5K"));
    QVERIFY(!grid.customEdit(0));
}

void TestFibreGrid::noFibreKeepsNoteLabel()
{
    // Channel 3's label shares the note label's name but must go with the rest.
    FibreTab t;
    t.view(2, 4, 2).build();
    t.view(2, 4, 2).clear();
    t.view(2, 4, 1).build();
    t.view(2, 4, 1).clear();
    QCOMPARE(t.tab.findChildren<QLabel*>(), QList<QLabel*>{t.note});
    QCOMPARE(t.tab.findChildren<QComboBox*>().size() + t.tab.findChildren<QLineEdit*>().size(), 0);
}

void TestFibreGrid::customEditTakesOnlyDeviceRates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("letters and signs dropped") << "-12ab3"
                                               << "123";
    QTest::newRow("largest") << "2147483647"
                             << "2147483647";
    QTest::newRow("one past largest") << "2147483648"
                                      << "214748364";
}

void TestFibreGrid::customEditTakesOnlyDeviceRates()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    FibreTab t;
    const FibreGrid grid = t.view(2, 1, 2);
    grid.build();
    grid.selector(0)->setCurrentText(QStringLiteral("custom"));
    QTest::keyClicks(grid.customEdit(0), typed);
    QCOMPARE(grid.customEdit(0)->text(), kept);
    QCOMPARE(grid.fibreBaudText(0), kept);
}

void TestFibreGrid::customSurvivesLanguageSwitch()
{
    FibreTab t;
    const FibreGrid grid = t.view(2, 1, 2);
    grid.build();
    grid.setFibreBaudText(0, QStringLiteral("100000"));

    ChineseCustom chinese;
    QCoreApplication::installTranslator(&chinese);
    QCOMPARE(FibreGrid::customText(), QStringLiteral("自定义"));
    QCOMPARE(grid.fibreBaudText(0), QStringLiteral("100000"));
    grid.setFibreBaudText(0, QStringLiteral("9600"));
    QVERIFY(grid.customEdit(0)->isHidden());
    grid.setFibreBaudText(0, QStringLiteral("250000"));
    QCOMPARE(grid.selector(0)->currentIndex(), grid.selector(0)->count() - 1);  // "custom"
    QCOMPARE(grid.customEdit(0)->text(), QStringLiteral("250000"));
    QVERIFY(!grid.customEdit(0)->isHidden());
    QCoreApplication::removeTranslator(&chinese);
}

QTEST_MAIN(TestFibreGrid)
#include "tst_fibregrid.moc"
