// The route and fibre registers: the bit layouts both families store.

#include "operations/FibreCodec.h"
#include "operations/RouteCodec.h"

#include <QtTest>

using route::Row;

namespace {

Row rowOf(int ports, std::initializer_list<int> forwarded)
{
    Row row(ports, false);
    for (int d : forwarded)
        row[d] = true;
    return row;
}

}  // namespace

class TestFibreRouteCodecs : public QObject {
    Q_OBJECT
private slots:
    void family1RouteRequest_data();
    void family1RouteRequest();
    void family2RouteWord_data();
    void family2RouteWord();
    void fibreRequestAndRates_data();
    void fibreRequestAndRates();
};

void TestFibreRouteCodecs::family1RouteRequest_data()
{
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<int>("nFiber");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("2 CAN + 1 fibre") << 2 << 1
                                     << QByteArray("00 12 27 09 00 48 88 00 00 c0 00 00 00 00 00 00 00");
    QTest::newRow("2 CAN, no fibre") << 2 << 0
                                     << QByteArray("00 12 27 09 00 40 80 00 00 00 00 00 00 00 00 00 00");
    QTest::newRow("2 CAN + 4 fibre") << 2 << 4
                                     << QByteArray("00 12 27 09 00 4f 8f 00 00 c7 cb cd ce 00 00 00 00");
    QTest::newRow("4 CAN, no fibre") << 4 << 0
                                     << QByteArray("00 12 27 09 00 70 b0 d0 e0 00 00 00 00 00 00 00 00");
    // Sources and destinations past the layout's four have no place at all.
    QTest::newRow("5 CAN + 5 fibre") << 5 << 5
                                     << QByteArray("00 12 27 09 00 7f bf df ef f7 fb fd fe 00 00 00 00");
}

void TestFibreRouteCodecs::family1RouteRequest()
{
    QFETCH(int, nCAN);
    QFETCH(int, nFiber);
    const route::Ports ports{nCAN, nFiber};
    QTEST(route::family1RouteRequest(route::defaultMatrix(ports), ports).toHex(' '), "request");
}

void TestFibreRouteCodecs::family2RouteWord_data()
{
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<Row>("row");
    QTest::addColumn<QByteArray>("word");
    QTest::newRow("2 CAN + 16 fibre, all") << 2 << Row(18, true) << QByteArray("c0 00 ff ff");
    QTest::newRow("fibre 0") << 2 << rowOf(18, {2}) << QByteArray("00 00 80 00");
    QTest::newRow("fibre 8") << 2 << rowOf(18, {10}) << QByteArray("00 00 00 80");
    QTest::newRow("fibre 15") << 2 << rowOf(18, {17}) << QByteArray("00 00 00 01");
    QTest::newRow("16 CAN, all") << 16 << Row(16, true) << QByteArray("ff ff 00 00");
    QTest::newRow("CAN 7 and 15") << 16 << rowOf(16, {7, 15}) << QByteArray("01 01 00 00");
}

void TestFibreRouteCodecs::family2RouteWord()
{
    QFETCH(int, nCAN);
    QFETCH(Row, row);
    QFETCH(QByteArray, word);
    const route::Ports ports{nCAN, int(row.size()) - nCAN};
    QCOMPARE(route::family2RouteBytes(row, ports).toHex(' '), word);
    QCOMPARE(*route::decodeFamily2RouteBytes(QByteArray::fromHex(word), ports), row);
}

void TestFibreRouteCodecs::fibreRequestAndRates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("250000") << "250000" << QByteArray("00 03 d0 90");
    QTest::newRow("largest") << "2147483647" << QByteArray("7f ff ff ff");
    QTest::newRow("too large") << "2147483648" << QByteArray("00 00 00 00");
    QTest::newRow("negative") << "-5" << QByteArray("00 00 00 00");
    QTest::newRow("letters") << "12ab" << QByteArray("00 00 00 00");
}

void TestFibreRouteCodecs::fibreRequestAndRates()
{
    QFETCH(QString, text);
    QTEST(fibre::rateBytes(fibre::rateFromText(text)).toHex(' '), "bytes");
    // Family 1: room for twelve codes.
    QCOMPARE(fibre::family1FibreRequest(QByteArray(20, '\x01')).toHex(' '),
             QByteArray("00 12 25 05 00 01 01 01 01 01 01 01 01 01 01 01 01"));
}

QTEST_APPLESS_MAIN(TestFibreRouteCodecs)
#include "tst_fibreroutecodecs.moc"
