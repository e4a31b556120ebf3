#include "operations/BitTiming.h"
#include "operations/RateTables.h"
#include "operations/RegisterText.h"

#include <QSet>
#include <QtTest>

using can::RateList;

Q_DECLARE_METATYPE(can::RateList)

namespace {

QByteArray bytes(const char* hex)
{
    return QByteArray::fromHex(hex);
}

// "666K" -> 666, "2M" -> 2000: the rate an entry's text names, in kbit/s.
qint64 namedKbit(const QString& text)
{
    const qint64 n = text.chopped(1).toLongLong();
    return text.endsWith(QLatin1Char('M')) ? n * 1000 : n;
}

}  // namespace

class TestRateTables : public QObject {
    Q_OBJECT

private slots:
    void listedEntryDecodesToItsRate_data();
    void listedEntryDecodesToItsRate();
    void listedBytesAreDistinct();
    void bitTimingValidity_data();
    void bitTimingValidity();
    void rateTextToBytes_data();
    void rateTextToBytes();
    void rateTextCheck_data();
    void rateTextCheck();
    void bitTimingWriteRequest();
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
            if (e.translated)  // "self-adaption" and "custom" name no rate
                continue;
            QTest::addRow("%s %s", name, e.text)
                << list << QString::fromLatin1(e.text) << bytes(e.registerHex);
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
    QCOMPARE(t.bitRate / 1000, namedKbit(text));
    QCOMPARE(t.jumpWidth, 1);
}

void TestRateTables::listedBytesAreDistinct()
{
    for (RateList list : {RateList::Classic, RateList::Arbitration, RateList::Data}) {
        const can::RateTable table = can::rateTable(list);
        QSet<QByteArray> seen;
        for (int i = 0; i < table.count; ++i)
            seen.insert(bytes(table.entries[i].registerHex));
        QCOMPARE(seen.size(), table.count);
    }
    QCOMPARE(can::kDataRates[3].text, "250K");
    QCOMPARE(bytes(can::kDataRates[3].registerHex), bytes("000F0A20"));
}

void TestRateTables::bitTimingValidity_data()
{
    QTest::addColumn<RateList>("list");
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("bitRate");
    QTest::addColumn<double>("samplePoint");
    QTest::newRow("classic 500K") << RateList::Classic << bytes("0012000B") << true << qint64(500000)
                                  << 4 / 6.0;
    QTest::newRow("arbitration 1000K")
        << RateList::Arbitration << bytes("00040702") << true << qint64(1000000) << 9 / 12.0;
    QTest::newRow("data 250K") << RateList::Data << bytes("000F0A20") << true << qint64(250000) << 12 / 15.0;
    QTest::newRow("classic custom seed")
        << RateList::Classic << bytes("FFFFFFFF") << false << qint64(0) << 0.0;
    QTest::newRow("arbitration custom seed")
        << RateList::Arbitration << bytes("FFFFFFFF") << false << qint64(0) << 0.0;
    QTest::newRow("data custom seed") << RateList::Data << bytes("FFFFFFFF") << false << qint64(0) << 0.0;
    QTest::newRow("classic all zero") << RateList::Classic << bytes("00000000") << false << qint64(0) << 0.0;
    QTest::newRow("jump width over segment 2")
        << RateList::Classic << bytes("0303000B") << false << qint64(0) << 0.0;
    QTest::newRow("classic 3 Mbit/s") << RateList::Classic << bytes("00120001") << false << qint64(0) << 0.0;
    QTest::newRow("three bytes") << RateList::Classic << bytes("12000B") << false << qint64(0) << 0.0;
    QTest::newRow("five bytes") << RateList::Classic << bytes("000012000B") << false << qint64(0) << 0.0;
}

void TestRateTables::bitTimingValidity()
{
    QFETCH(RateList, list);
    QFETCH(QByteArray, registers);
    QFETCH(bool, valid);
    const can::BitTiming t = can::decodeBitTiming(registers, list);
    QCOMPARE(t.valid, valid);
    if (valid) {
        QFETCH(qint64, bitRate);
        QFETCH(double, samplePoint);
        QCOMPARE(t.bitRate, bitRate);
        QCOMPARE(t.samplePoint, samplePoint);
    }
}

void TestRateTables::rateTextToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("listed") << "0x0012000B" << bytes("0012000B");
    QTest::newRow("blanks and lower case") << "0x00 12 00 0b" << bytes("0012000B");
    QTest::newRow("upper-case prefix stays") << "0X0012000B" << bytes("000012000B");
    QTest::newRow("bare prefix") << "0x" << QByteArray();
}

void TestRateTables::rateTextToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QCOMPARE(can::rateTextToBytes(text), expected);
}

void TestRateTables::rateTextCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString data = QStringLiteral("channel 2: the data rate register must be 8 hexadecimal digits");
    QTest::newRow("eight digits") << "0x0012000B" << QString();
    QTest::newRow("pairs with blanks") << "0x00 12 00 0b" << QString();
    QTest::newRow("seven digits") << "0x0012000" << data;
    QTest::newRow("nine digits") << "0x0012000B0" << data;
    QTest::newRow("upper-case prefix") << "0X0012000B" << data;
    QTest::newRow("not hexadecimal") << "0x0012zz0B" << data;
    QTest::newRow("bare prefix") << "0x" << data;
}

void TestRateTables::rateTextCheck()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    const UserMessage msg = can::checkRateText(text, 2, can::RateField::DataRate);
    QCOMPARE(msg.isEmpty(), message.isEmpty());
    if (!msg.isEmpty())
        QCOMPARE(msg.translated(), message);
}

void TestRateTables::bitTimingWriteRequest()
{
    QCOMPARE(can::bitTimingWriteRequest(1, bytes("0012000B")).toHex(' ').toUpper(),
             QByteArray("00 12 23 06 00 01 00 12 00 0B 00 00 00 00 00 00 00"));
    QCOMPARE(can::bitTimingWriteRequest(1, bytes("12000B")), QByteArray());
    QCOMPARE(can::bitTimingWriteRequest(1, bytes("000012000B")), QByteArray());
}

QTEST_GUILESS_MAIN(TestRateTables)
#include "tst_ratetables.moc"
