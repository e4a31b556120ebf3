#include "editors/FibreGrid.h"
#include "operations/FibreCodec.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTranslator>
#include <QtTest>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

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
    int count(const char* className) const
    {
        int n = 0;
        for (QWidget* w : tab.findChildren<QWidget*>())
            n += w->inherits(className) ? 1 : 0;
        return n;
    }
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
    void customEditFollowsSelector();
    void rebuildLeavesOneRowPerChannel_data();
    void rebuildLeavesOneRowPerChannel();
    void family1Codes();
    void family2Baud_data();
    void family2Baud();
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
    QTest::newRow("4 CAN + 1 fibre") << 4 << 1 << 12 << "2250K";
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
    for (int i = 0; i < nFiber; ++i) {
        QComboBox* combo = grid.selector(i);
        QVERIFY(combo);
        QCOMPARE(combo->count(), entries);
        QCOMPARE(combo->itemText(entries - 1), last);
        QCOMPARE(combo->currentText(), QStringLiteral("5K"));
        QCOMPARE(t.tab.findChild<QLabel*>(QStringLiteral("label_%1").arg(i))->text(),
                 QStringLiteral("Fiber%1 Boud Rate:").arg(i + 1));
    }
    QCOMPARE(t.count("QLineEdit"), 0);
}

void TestFibreGrid::noFibreKeepsNoteLabel()
{
    FibreTab t;
    t.view(2, 0, 1).build();
    QCOMPARE(t.count("QComboBox"), 0);
    QCOMPARE(t.count("QLabel"), 1);

    // Channel 3's label shares the note label's name but must go with the rest.
    t.view(2, 4, 2).build();
    t.view(2, 4, 2).clear();
    QCOMPARE(t.tab.findChildren<QLabel*>(), QList<QLabel*>{t.note});
    QCOMPARE(t.count("QComboBox") + t.count("QLineEdit"), 0);
    QCOMPARE(t.grid->count(), 0);
}

void TestFibreGrid::customEditFollowsSelector()
{
    FibreTab t;
    const FibreGrid grid = t.view(2, 2, 2);
    grid.build();
    QVERIFY(grid.customEdit(0)->isHidden());
    QVERIFY(grid.customEdit(1)->isHidden());

    grid.selector(1)->setCurrentText(QStringLiteral("custom"));
    QVERIFY(grid.customEdit(0)->isHidden());
    QVERIFY(!grid.customEdit(1)->isHidden());

    grid.customEdit(1)->setText(QStringLiteral("100000"));
    grid.selector(1)->setCurrentText(QStringLiteral("9600"));
    QVERIFY(grid.customEdit(1)->isHidden());
    QCOMPARE(grid.customEdit(1)->text(), QStringLiteral("100000"));
}

void TestFibreGrid::rebuildLeavesOneRowPerChannel_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("editsPerChannel");
    QTest::newRow("family 1") << 1 << 0;
    QTest::newRow("family 2") << 2 << 1;
}

void TestFibreGrid::rebuildLeavesOneRowPerChannel()
{
    QFETCH(int, family);
    QFETCH(int, editsPerChannel);
    FibreTab t;
    t.view(2, 4, family).build();
    for (int round = 0; round < 2; ++round) {
        t.view(2, 4, family).clear();
        t.view(2, 2, family).build();
    }
    QCOMPARE(t.count("QComboBox"), 2);
    QCOMPARE(t.count("QLineEdit"), 2 * editsPerChannel);
    QCOMPARE(t.count("QLabel"), 3);
    QVERIFY(t.tab.findChild<QLabel*>(QStringLiteral("label_3")) == t.note);
    int spacers = 0;
    for (int i = 0; i < t.grid->count(); ++i)
        spacers += t.grid->itemAt(i)->spacerItem() ? 1 : 0;
    QCOMPARE(spacers, 5);
}

void TestFibreGrid::family1Codes()
{
    FibreTab t;
    const FibreGrid grid = t.view(2, 3, 1);
    grid.build();
    grid.setFibreCode(1, 0x0B);
    QCOMPARE(grid.selector(1)->currentText(), QStringLiteral("1380K"));
    QCOMPARE(grid.fibreCodeData(2).toHex(' '), QByteArray("01"));

    // A code the device should not hold selects nothing, yet keeps its place.
    grid.setFibreCode(0, 0x00);
    grid.setFibreCode(2, 0x0D);
    QCOMPARE(grid.selector(0)->currentIndex(), -1);
    QCOMPARE(grid.selector(2)->currentIndex(), -1);
    QCOMPARE(grid.fibreCodes().toHex(' '), QByteArray("00 0b 00"));
    QCOMPARE(fibre::family1FibreRequest(grid.fibreCodes()).toHex(' '),
             hex("00 12 25 05 00 00 0B 00 00 00 00 00 00 00 00 00 00").toHex(' '));
}

void TestFibreGrid::family2Baud_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("custom");
    QTest::newRow("115200") << hex("00 01 C2 00") << "115200"
                            << "";
    QTest::newRow("100000") << hex("00 01 86 A0") << "custom"
                            << "100000";
    QTest::newRow("250000") << hex("00 03 D0 90") << "custom"
                            << "250000";
    QTest::newRow("sign bit set") << hex("80 00 00 00") << "custom"
                                  << "0";
}

void TestFibreGrid::family2Baud()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, entry);
    QFETCH(QString, custom);
    FibreTab t;
    const FibreGrid grid = t.view(2, 1, 2);
    grid.build();
    grid.setFibreBaud(0, bytes);
    QCOMPARE(grid.selector(0)->currentText(), entry);
    QCOMPARE(grid.customEdit(0)->isHidden(), custom.isEmpty());
    if (!custom.isEmpty())
        QCOMPARE(grid.customEdit(0)->text(), custom);
    const QByteArray written = custom == QLatin1String("0") ? hex("00 00 00 00") : bytes;
    QCOMPARE(grid.fibreBaudBytes(0).toHex(' '), written.toHex(' '));
}

void TestFibreGrid::customEditTakesOnlyDeviceRates_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::newRow("digits") << "250000"
                            << "250000";
    QTest::newRow("letters dropped") << "12ab3"
                                     << "123";
    QTest::newRow("sign dropped") << "-5"
                                  << "5";
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
    grid.setFibreBaud(0, hex("00 01 86 A0"));

    ChineseCustom chinese;
    QCoreApplication::installTranslator(&chinese);
    QCOMPARE(FibreGrid::customText(), QStringLiteral("自定义"));
    QCOMPARE(grid.fibreBaudBytes(0).toHex(' '), QByteArray("00 01 86 a0"));
    grid.setFibreBaud(0, hex("00 00 25 80"));
    QVERIFY(grid.customEdit(0)->isHidden());
    grid.setFibreBaud(0, hex("00 03 D0 90"));
    QCOMPARE(grid.selector(0)->currentIndex(), fibre::kFamily2CustomIndex);
    QCOMPARE(grid.customEdit(0)->text(), QStringLiteral("250000"));
    QVERIFY(!grid.customEdit(0)->isHidden());
    QCoreApplication::removeTranslator(&chinese);
}

QTEST_MAIN(TestFibreGrid)
#include "tst_fibregrid.moc"
