#include "operations/FibreCodec.h"
#include "operations/RouteCodec.h"

#include <QtTest>

using route::Ports;
using route::Row;

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}

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
    void family1FibreRequest();
    void rateText_data();
    void rateText();
};

void TestFibreRouteCodecs::family1RouteRequest_data()
{
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<int>("nFiber");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("2 CAN + 1 fibre") << 2 << 1 << hex("00 12 27 09 00 48 88 00 00 C0 00 00 00 00 00 00 00");
    QTest::newRow("2 CAN, no fibre") << 2 << 0 << hex("00 12 27 09 00 40 80 00 00 00 00 00 00 00 00 00 00");
    QTest::newRow("2 CAN + 4 fibre") << 2 << 4 << hex("00 12 27 09 00 4F 8F 00 00 C7 CB CD CE 00 00 00 00");
    QTest::newRow("4 CAN, no fibre") << 4 << 0 << hex("00 12 27 09 00 70 B0 D0 E0 00 00 00 00 00 00 00 00");
    // Sources and destinations past the layout's four have no place at all.
    QTest::newRow("5 CAN + 5 fibre") << 5 << 5 << hex("00 12 27 09 00 7F BF DF EF F7 FB FD FE 00 00 00 00");
}

void TestFibreRouteCodecs::family1RouteRequest()
{
    QFETCH(int, nCAN);
    QFETCH(int, nFiber);
    QFETCH(QByteArray, request);
    const Ports ports{nCAN, nFiber};
    route::Matrix everyOtherPort(ports.count(), Row(ports.count(), true));
    for (int p = 0; p < ports.count(); ++p)
        everyOtherPort[p][p] = false;
    QCOMPARE(route::family1RouteRequest(everyOtherPort, ports).toHex(' '), request.toHex(' '));
}

void TestFibreRouteCodecs::family2RouteWord_data()
{
    QTest::addColumn<int>("nCAN");
    QTest::addColumn<int>("nFiber");
    QTest::addColumn<Row>("row");
    QTest::addColumn<QByteArray>("word");
    QTest::newRow("2 CAN + 16 fibre, all") << 2 << 16 << Row(18, true) << hex("C0 00 FF FF");
    QTest::newRow("fibre 0") << 2 << 16 << rowOf(18, {2}) << hex("00 00 80 00");
    QTest::newRow("fibre 8") << 2 << 16 << rowOf(18, {10}) << hex("00 00 00 80");
    QTest::newRow("fibre 15") << 2 << 16 << rowOf(18, {17}) << hex("00 00 00 01");
    QTest::newRow("16 CAN, all") << 16 << 0 << Row(16, true) << hex("FF FF 00 00");
    QTest::newRow("CAN 7 and 15") << 16 << 0 << rowOf(16, {7, 15}) << hex("01 01 00 00");
    QTest::newRow("CAN 0, fibre 0") << 4 << 2 << rowOf(6, {0, 4}) << hex("80 00 80 00");
}

void TestFibreRouteCodecs::family2RouteWord()
{
    QFETCH(int, nCAN);
    QFETCH(int, nFiber);
    QFETCH(Row, row);
    QFETCH(QByteArray, word);
    const Ports ports{nCAN, nFiber};
    QCOMPARE(route::family2RouteBytes(row, ports).toHex(' '), word.toHex(' '));
    QCOMPARE(*route::decodeFamily2RouteBytes(word, ports), row);
}

void TestFibreRouteCodecs::family1FibreRequest()
{
    QCOMPARE(fibre::family1FibreRequest(QByteArray()).toHex(' '),
             hex("00 12 25 05 00 00 00 00 00 00 00 00 00 00 00 00 00").toHex(' '));
    QCOMPARE(fibre::family1FibreRequest(hex("0B 00 09")).toHex(' '),
             hex("00 12 25 05 00 0B 00 09 00 00 00 00 00 00 00 00 00").toHex(' '));
    QCOMPARE(fibre::family1FibreRequest(QByteArray(20, '\x01')).toHex(' '),
             hex("00 12 25 05 00 01 01 01 01 01 01 01 01 01 01 01 01").toHex(' '));
}

void TestFibreRouteCodecs::rateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("250000") << "250000" << hex("00 03 D0 90");
    QTest::newRow("9600") << "9600" << hex("00 00 25 80");
    QTest::newRow("largest") << "2147483647" << hex("7F FF FF FF");
    QTest::newRow("too large") << "2147483648" << hex("00 00 00 00");
    QTest::newRow("negative") << "-5" << hex("00 00 00 00");
    QTest::newRow("letters") << "12ab" << hex("00 00 00 00");
    QTest::newRow("empty") << "" << hex("00 00 00 00");
}

void TestFibreRouteCodecs::rateText()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(fibre::rateBytes(fibre::rateFromText(text)).toHex(' '), bytes.toHex(' '));
}

QTEST_APPLESS_MAIN(TestFibreRouteCodecs)
#include "tst_fibreroutecodecs.moc"
