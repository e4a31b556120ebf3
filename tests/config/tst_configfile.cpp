// The configuration file model: the text it writes, and what it accepts.

#include "config/ConfigFile.h"

#include <QJsonDocument>
#include <QtTest>

using namespace configfile;

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void writesQtIndentedJsonWithTrailingBlanksInRoutes();
    void parseRefusesWhatIsNotAWholeDocument_data();
    void parseRefusesWhatIsNotAWholeDocument();
    void wrongTypesInsideReadAsMissing();
    void filterStrings_data();
    void filterStrings();
    void routeStrings();
    void intMembers_data();
    void intMembers();
    void filterFieldsOfAChannel();
    void family1BaudStrings_data();
    void family1BaudStrings();
    void tooLargeATextIsRefusedUnread();
};

void TestConfigFile::writesQtIndentedJsonWithTrailingBlanksInRoutes()
{
    QJsonObject ch1{{kBaudRate, "0x0012000B"},
                    {kChannelId, 1},
                    {kDataList, QJsonArray{filterString(0, 1, "00 00 00 00", "00 00 00 00")}}};
    QJsonObject ch2{{kBaudRate, "0x001C00E0"}, {kChannelId, 2}, {kDataList, QJsonArray{}}};
    const QByteArray text = serialize(QJsonArray{ch1, ch2}, {"0b"},
                                      {routeString({false, true, true}), routeString({true, false, true}),
                                       routeString({true, true, false})});
    const QByteArray expected =
        "{\n"
        "    \"CANParam\": [\n"
        "        {\n"
        "            \"BaudRate\": \"0x0012000B\",\n"
        "            \"ChannalID\": 1,\n"
        "            \"DataList\": [\n"
        "                \"0, 1, 00 00 00 00, 00 00 00 00\"\n"
        "            ]\n"
        "        },\n"
        "        {\n"
        "            \"BaudRate\": \"0x001C00E0\",\n"
        "            \"ChannalID\": 2,\n"
        "            \"DataList\": [\n"
        "            ]\n"
        "        }\n"
        "    ],\n"
        "    \"FiberParam\": {\n"
        "        \"Baud\": [\n"
        "            \"0b\"\n"
        "        ]\n"
        "    },\n"
        "    \"Route\": [\n"
        "        \"0 1 1 \",\n"
        "        \"1 0 1 \",\n"
        "        \"1 1 0 \"\n"
        "    ]\n"
        "}\n";
    QCOMPARE(text, expected);
}

void TestConfigFile::parseRefusesWhatIsNotAWholeDocument_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("parserError");
    QTest::newRow("complete") << QByteArray(R"({"CANParam":[],"FiberParam":{"Baud":[]},"Route":[]})") << true
                              << false;
    QTest::newRow("empty file") << QByteArray() << false << true;
    QTest::newRow("not JSON") << QByteArray("CANParam = 1") << false << true;
    QTest::newRow("an array") << QByteArray("[1, 2]") << false << false;
    QTest::newRow("no FiberParam") << QByteArray(R"({"CANParam":[],"Route":[]})") << false << false;
    QTest::newRow("no Route") << QByteArray(R"({"CANParam":[],"FiberParam":{}})") << false << false;
    QTest::newRow("CANParam an object")
        << QByteArray(R"({"CANParam":{},"FiberParam":{},"Route":[]})") << false << false;
    QTest::newRow("FiberParam a string")
        << QByteArray(R"({"CANParam":[],"FiberParam":"x","Route":[]})") << false << false;
    QTest::newRow("deep nesting") << QByteArray(5000, '[') << false << true;
    QTest::newRow("truncated") << QByteArray(R"({"CANParam":[{"BaudRate":"0x00)") << false << true;
}

void TestConfigFile::parseRefusesWhatIsNotAWholeDocument()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, ok);
    QFETCH(bool, parserError);
    const ParseResult r = parse(text);
    QCOMPARE(r.ok, ok);
    QCOMPARE(!r.parserError.isEmpty(), parserError);
}

void TestConfigFile::wrongTypesInsideReadAsMissing()
{
    const ParseResult r = parse(
        R"({"CANParam":[5, {"BaudRate": 7}], "FiberParam":{"Baud":[1, "0b", {}]}, "Route":["1 0 ", null]})");
    QVERIFY(r.ok);
    QCOMPARE(r.document.channels.size(), 2);
    QVERIFY(r.document.channels[0].isEmpty());
    QCOMPARE(r.document.channels[1].value(kBaudRate).toString(), QString());
    QCOMPARE(r.document.baud, QStringList({"", "0b", ""}));
    QCOMPARE(r.document.route, QStringList({"1 0 ", ""}));

    const ParseResult noBaud = parse(R"({"CANParam":[], "FiberParam":{"Baud":"0b"}, "Route":[]})");
    QVERIFY(noBaud.ok);
    QVERIFY(noBaud.document.baud.isEmpty());
}

void TestConfigFile::filterStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("classic");
    QTest::addColumn<bool>("used");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("mask");
    QTest::newRow("written form") << "0, 1, 00 00 00 00, 00 00 00 00" << true << true << 0 << 1
                                  << "00 00 00 00"
                                  << "00 00 00 00";
    QTest::newRow("enable 0 skipped") << "0, 0, 1, 00 00 00 00, 00 00 00 00" << true << false << 0 << 0 << ""
                                      << "";
    QTest::newRow("enable 1 used") << "1, 1, 0, 12 34 56 78, 00 00 00 00" << true << true << 1 << 0
                                   << "12 34 56 78"
                                   << "00 00 00 00";
    QTest::newRow("five fields on CAN FD are not a flag")
        << "0, 1, 2, 00 00 07 ff, 00 00 00 00" << false << true << 0 << 1 << "2"
        << "00 00 07 ff";
    QTest::newRow("blanks and empty fields")
        << " 1 ,, 2 ,  aa bb cc dd ,11 22 33 44 " << false << true << 1 << 2 << "aa bb cc dd"
        << "11 22 33 44";
    QTest::newRow("missing fields read as empty") << "1" << true << true << 1 << 0 << ""
                                                  << "";
    QTest::newRow("non-ASCII kept") << "0, 1, 00 00 00 0é, 00" << true << true << 0 << 1 << "00 00 00 0é"
                                    << "00";
}

void TestConfigFile::filterStrings()
{
    QFETCH(QString, text);
    QFETCH(bool, classic);
    QFETCH(bool, used);
    FilterFields f;
    QCOMPARE(parseFilterString(text, classic, &f), used);
    if (!used)
        return;
    QTEST(f.kind, "kind");
    QTEST(f.mode, "mode");
    QTEST(f.idText, "id");
    QTEST(f.maskText, "mask");
}

void TestConfigFile::routeStrings()
{
    QCOMPARE(routeString({false, true, true}), QString("0 1 1 "));
    QCOMPARE(parseRouteString("0 1 1 "), QVector<bool>({false, true, true}));
    QCOMPARE(parseRouteString("  2  0 x "), QVector<bool>({true, false, false}));
    QCOMPARE(parseRouteString(""), QVector<bool>());
    QCOMPARE(parseRouteString("1 1 0 1 1", 3), QVector<bool>({true, true, false}));
    QCOMPARE(parseRouteString(QString(100000, ' ') + "1", 2), QVector<bool>({true}));
}

void TestConfigFile::intMembers_data()
{
    QTest::addColumn<QByteArray>("object");
    QTest::addColumn<int>("value");
    QTest::newRow("integer") << QByteArray(R"({"Mode": 1})") << 1;
    QTest::newRow("negative") << QByteArray(R"({"Mode": -2})") << -2;
    QTest::newRow("missing") << QByteArray(R"({})") << 0;
    QTest::newRow("string") << QByteArray(R"({"Mode": "1"})") << 0;
    QTest::newRow("fraction") << QByteArray(R"({"Mode": 1.5})") << 0;
    QTest::newRow("beyond int") << QByteArray(R"({"Mode": 3000000000})") << 0;
    QTest::newRow("huge") << QByteArray(R"({"Mode": 1e300})") << 0;
    QTest::newRow("array") << QByteArray(R"({"Mode": [1]})") << 0;
}

void TestConfigFile::intMembers()
{
    QFETCH(QByteArray, object);
    QTEST(intMember(QJsonDocument::fromJson(object).object(), kMode), "value");
}

void TestConfigFile::filterFieldsOfAChannel()
{
    const QJsonObject channel = QJsonDocument::fromJson(R"({"DataList": [
        "0, 0, 1, 00 00 00 00, 00 00 00 00", 7, "1, 1, 0, 12 34 56 78, 00 00 00 00", {}, null, ""]})")
                                    .object();
    const QVector<FilterFields> classic = filterFields(channel, true);
    QCOMPARE(classic.size(), 2);
    QCOMPARE(classic[0].kind, 1);
    QCOMPARE(classic[0].mode, 0);
    QCOMPARE(classic[0].idText, QString("12 34 56 78"));
    QCOMPARE(classic[1].idText, QString());  // "" is a row of missing fields
    QCOMPARE(filterFields(channel, false).size(), 3);

    QVERIFY(filterFields(QJsonObject{{kDataList, "0, 1, 00 00 00 00, 00 00 00 00"}}, true).isEmpty());
    QJsonArray many;
    for (int i = 0; i < kMaxFilterRows + 10; ++i)
        many << filterString(0, 1, "00 00 00 00", "00 00 00 00");
    QCOMPARE(filterFields(QJsonObject{{kDataList, many}}, true).size(), kMaxFilterRows);
}

void TestConfigFile::family1BaudStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("0b") << "0b" << 10;
    QTest::newRow("01") << "01" << 0;
    QTest::newRow("upper case") << "0D" << 12;
    QTest::newRow("code 0") << "00" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("not hexadecimal") << "1380K" << -1;
    QTest::newRow("beyond the list") << "ff" << 254;
    QTest::newRow("beyond int") << "fffffffff" << -1;
}

void TestConfigFile::family1BaudStrings()
{
    QFETCH(QString, text);
    QTEST(family1BaudIndex(text), "index");
    QCOMPARE(family1BaudString(QByteArray::fromHex("0b")), QString("0b"));
    QCOMPARE(family1BaudString(QByteArray()), QString());
}

void TestConfigFile::tooLargeATextIsRefusedUnread()
{
    const QByteArray head = R"({"CANParam":[],"FiberParam":{"Baud":[]},"Route":[]})";
    QVERIFY(parse(head + QByteArray(kMaxFileSize - head.size(), ' ')).ok);
    const ParseResult r = parse(head + QByteArray(kMaxFileSize - head.size() + 1, ' '));
    QVERIFY(!r.ok);
    QVERIFY(r.parserError.isEmpty());
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
