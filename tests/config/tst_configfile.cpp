// The configuration file's parser edges: what it accepts as a document, and
// the strings and numbers inside.

#include "config/ConfigFile.h"
#include "config/Configuration.h"

#include <QJsonDocument>
#include <QtTest>

using namespace configfile;

class TestConfigFile : public QObject {
    Q_OBJECT
private slots:
    void parseRefusesWhatIsNotAWholeDocument_data();
    void parseRefusesWhatIsNotAWholeDocument();
    void repeatedKeysReadAsTheLast_data();
    void repeatedKeysReadAsTheLast();
    void filterStrings_data();
    void filterStrings();
    void routeStrings();
    void family1RouteAnswerIntoTheModel();
    void family1BaudStrings_data();
    void family1BaudStrings();
};

void TestConfigFile::parseRefusesWhatIsNotAWholeDocument_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("parserError");
    const QByteArray complete = R"({"CANParam":[],"FiberParam":{"Baud":[]},"Route":[]})";
    QTest::newRow("complete") << complete << true << false;
    QTest::newRow("16 MiB") << complete + QByteArray(16 * 1024 * 1024 - complete.size(), ' ') << true
                            << false;
    QTest::newRow("a byte more: refused unread")
        << complete + QByteArray(16 * 1024 * 1024 - complete.size() + 1, ' ') << false << false;
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
    const ParseResult r = parse(text);
    QTEST(r.ok, "ok");
    QTEST(!r.parserError.isEmpty(), "parserError");
}

void TestConfigFile::repeatedKeysReadAsTheLast_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("baudRate");  // of the first channel
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("repeats");  // each repeated member and its offset
    const QString none;
    QTest::newRow("each member twice")
        << QByteArray(R"({"CANParam": [], "CANParam": [{"BaudRate": "0x0012000B"}],)"
                      R"( "FiberParam": {"Baud": ["01"]}, "FiberParam": {"Baud": ["02"]},)"
                      R"( "Route": ["1 1 1"], "Route": []})")
        << QString("0x0012000B") << QString("02") << none << "CANParam@17 FiberParam@91 Route@143";
    QByteArray often = R"({"CANParam": [], "Route": [])";
    for (int i = 0; i <= 16; ++i)
        often += QStringLiteral(R"(, "FiberParam": {"Baud": ["%1"]})").arg(i, 2, 10, QChar('0')).toLatin1();
    QString sixteen;
    for (int i = 1, at = 62; i <= 16; ++i, at += 32)
        sixteen += QStringLiteral(" FiberParam@%1").arg(at);
    QTest::newRow("seventeen times") << often + '}' << none << QString("16") << none << sixteen.mid(1);
    QTest::newRow("inside a channel, one spelled with an escape")
        << QByteArray(R"({"CANParam": [{"BaudRate": "0x1", "DataList": [], "\u0042audRate": "0x2"}],)"
                      R"( "FiberParam": {}, "Route": []})")
        << QString("0x2") << none << none << "BaudRate@50";
    QTest::newRow("a fault after a repeat keeps its offset")
        << QByteArray(R"({"Route": [1], "Route": [2], x})") << none << none
        << QString("not JSON: unterminated object at offset 30") << "Route@15";
    QTest::newRow("a fault inside a repeat is not passed over")
        << QByteArray(R"({"Route": [tru], "Route": [2], "CANParam": [], "FiberParam": {}})") << none << none
        << QString("not JSON: illegal value at offset 15") << "Route@17";
}

// Qt 5's parser keeps a repeated member other than the last and loses the
// memory of the arrays and objects it drops; the file reads as Qt 6 reads it.
void TestConfigFile::repeatedKeysReadAsTheLast()
{
    QFETCH(QByteArray, text);
    const ParseResult r = parse(text);
    QTEST(r.problem, "problem");
    QTEST(r.document.channels.value(0).value(kBaudRate).toString(), "baudRate");
    QTEST(r.document.baud.join(' '), "baud");
    QStringList repeats;
    for (const RepeatedMember& m : r.repeats)
        repeats << QStringLiteral("%1@%2").arg(m.key).arg(m.offset);
    QTEST(repeats.join(' '), "repeats");
}

void TestConfigFile::filterStrings_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("classic");
    QTest::addColumn<QString>("fields");  // kind, mode, ID and mask; empty: the row is skipped
    QTest::newRow("written form") << "0, 1, 00 00 00 00, 00 00 00 00" << true
                                  << "0|1|00 00 00 00|00 00 00 00";
    QTest::newRow("enable 0 skipped") << "0, 0, 1, 00 00 00 00, 00 00 00 00" << true << "";
    QTest::newRow("enable 1 used") << "1, 1, 0, 12 34 56 78, 00 00 00 00" << true
                                   << "1|0|12 34 56 78|00 00 00 00";
    QTest::newRow("five fields on CAN FD are not a flag")
        << "0, 1, 2, 00 00 07 ff, 00 00 00 00" << false << "0|1|2|00 00 07 ff";
    QTest::newRow("blanks and empty fields")
        << " 1 ,, 2 ,  aa bb cc dd ,11 22 33 44 " << false << "1|2|aa bb cc dd|11 22 33 44";
    QTest::newRow("missing fields read as empty") << "1" << true << "1|0||";
    QTest::newRow("non-ASCII kept") << "0, 1, 00 00 00 0é, 00" << true << "0|1|00 00 00 0é|00";
}

void TestConfigFile::filterStrings()
{
    QFETCH(QString, text);
    QFETCH(bool, classic);
    FilterFields f;
    const bool used = parseFilterString(text, classic, &f);
    QTEST(used ? QStringLiteral("%1|%2|%3|%4").arg(f.kind).arg(f.mode).arg(f.idText, f.maskText) : QString(),
          "fields");
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

namespace {

QStringList routeRows(const config::Configuration& c)
{
    QStringList rows;
    for (const QVector<bool>& row : c.routes)
        rows << routeString(row).trimmed();
    return rows;
}

}  // namespace

// The route answer of a classic device fills the model's rows, each port's
// own cell kept off; a short answer leaves the rows it does not reach.
void TestConfigFile::family1RouteAnswerIntoTheModel()
{
    const config::Shape shape{1, 2, 1, 1};
    config::Configuration c = config::defaultConfiguration(shape);
    config::ConfigurationTransfer transfer(c, shape);
    transfer.decodeRouteBytes(QByteArray::fromHex("00 00 81 00 C0 08 00 00 80 00 00 00 00 00 00 00"));
    QCOMPARE(routeRows(c), (QStringList{"0 1 0", "0 0 1", "1 0 0"}));
    QCOMPARE(transfer.routeRequest().toHex(' '),
             QByteArray("00 12 27 09 00 40 08 00 00 80 00 00 00 00 00 00 00"));
    transfer.decodeRouteBytes(QByteArray::fromHex("00 00 81 00 48 88"));
    QCOMPARE(routeRows(c), (QStringList{"0 1 1", "1 0 1", "1 0 0"}));
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
}

QTEST_GUILESS_MAIN(TestConfigFile)
#include "tst_configfile.moc"
