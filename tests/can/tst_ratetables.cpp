// The bit-timing lists and register texts: every listed entry names the rate
// its registers give, what a timing is worth, and the typed register text.

#include "operations/BitTiming.h"
#include "operations/RateTables.h"
#include "operations/RegisterText.h"

#include <QtTest>

using can::RateList;

Q_DECLARE_METATYPE(can::RateList)

class TestRateTables : public QObject {
    Q_OBJECT

private slots:
    void listedEntryDecodesToItsRate_data();
    void listedEntryDecodesToItsRate();
    void bitTiming_data();
    void bitTiming();
    void rateText_data();
    void rateText();
};

void TestRateTables::listedEntryDecodesToItsRate_data()
{
    QTest::addColumn<RateList>("list");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("registers");
    const std::pair<RateList, const char*> lists[] = {
        {RateList::Classic, "classic"}, {RateList::Arbitration, "arbitration"}, {RateList::Data, "data"}};
    for (const auto& [list, name] : lists) {
        const can::RateTable table = can::rateTable(list);
        for (int i = 0; i < table.count; ++i) {
            const can::RateEntry& e = table.entries[i];
            if (!e.translated)  // "self-adaption" and "custom" name no rate
                QTest::addRow("%s %s", name, e.text)
                    << list << QString::fromLatin1(e.text) << QByteArray::fromHex(e.registerHex);
        }
    }
}

void TestRateTables::listedEntryDecodesToItsRate()
{
    QFETCH(RateList, list);
    QFETCH(QString, text);
    QFETCH(QByteArray, registers);
    const can::BitTiming t = can::decodeBitTiming(registers, list);
    QVERIFY(t.valid);
    // "666K" is 666 kbit/s, "2M" 2000.
    const qint64 named = text.chopped(1).toLongLong() * (text.endsWith(QLatin1Char('M')) ? 1000 : 1);
    QCOMPARE(t.bitRate / 1000, named);
    QCOMPARE(t.jumpWidth, 1);
}

void TestRateTables::bitTiming_data()
{
    QTest::addColumn<RateList>("list");
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<qint64>("bitRate");  // 0: not a valid timing
    QTest::addColumn<double>("samplePoint");
    QTest::newRow("classic 500K") << RateList::Classic << QByteArray("0012000B") << qint64(500000) << 4 / 6.0;
    QTest::newRow("arbitration 1000K")
        << RateList::Arbitration << QByteArray("00040702") << qint64(1000000) << 9 / 12.0;
    QTest::newRow("data 250K") << RateList::Data << QByteArray("000F0A20") << qint64(250000) << 12 / 15.0;
    QTest::newRow("jump width over segment 2")
        << RateList::Classic << QByteArray("0303000B") << qint64(0) << 0.0;
    QTest::newRow("classic 3 Mbit/s") << RateList::Classic << QByteArray("00120001") << qint64(0) << 0.0;
}

void TestRateTables::bitTiming()
{
    QFETCH(RateList, list);
    QFETCH(QByteArray, registers);
    QFETCH(qint64, bitRate);
    const can::BitTiming t = can::decodeBitTiming(QByteArray::fromHex(registers), list);
    QCOMPARE(t.valid, bitRate != 0);
    if (t.valid) {
        QCOMPARE(t.bitRate, bitRate);
        QTEST(t.samplePoint, "samplePoint");
    }
}

void TestRateTables::rateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");  // "-": not checked
    QTest::addColumn<bool>("accepted");
    QTest::newRow("eight digits") << "0x0012000B" << QByteArray("0012000B") << true;
    QTest::newRow("pairs with blanks, lower case") << "0x00 12 00 0b" << QByteArray("0012000B") << true;
    QTest::newRow("upper-case prefix stays") << "0X0012000B" << QByteArray("000012000B") << false;
    QTest::newRow("bare prefix") << "0x" << QByteArray() << false;
    QTest::newRow("seven digits") << "0x0012000" << QByteArray("-") << false;
    QTest::newRow("not hexadecimal") << "0x0012zz0B" << QByteArray("-") << false;
}

void TestRateTables::rateText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    if (bytes != "-")
        QCOMPARE(can::rateTextToBytes(text), QByteArray::fromHex(bytes));
    const UserMessage msg = can::checkRateText(text, 2, can::RateField::DataRate);
    QCOMPARE(msg.isEmpty(), accepted);
    if (!accepted)
        QCOMPARE(msg.translated(),
                 QStringLiteral("channel 2: the data rate register must be 8 hexadecimal digits"));
}

QTEST_GUILESS_MAIN(TestRateTables)
#include "tst_ratetables.moc"
