// The filter registers: the bank layout of family 1 and the records of
// family 2, the limits both refuse, and the answers read back.

#include "operations/FilterCodec.h"

#include <QtTest>

using can::FilterRow;

Q_DECLARE_METATYPE(can::FilterRow)

namespace {

QByteArray hex(const QByteArray& b)
{
    return b.toHex(' ').toUpper();
}

FilterRow row(int kind, int mode, const char* id = "00 00 00 00", const char* mask = "00 00 00 00")
{
    return {kind, mode, QString::fromLatin1(id), QString::fromLatin1(mask)};
}

QString translated(const can::FilterEncoding& e)
{
    return e.message.isEmpty() ? QString() : e.message.translated();
}

}  // namespace

class TestFilterCodec : public QObject {
    Q_OBJECT

private slots:
    void bankRequests();
    void bankRefusals_data();
    void bankRefusals();
    void decodeBanks();
    void recordRequests();
    void recordRefusals_data();
    void recordRefusals();
};

void TestFilterCodec::bankRequests()
{
    // List mode is bit 4, 32 bits bit 0; banks past the rows are sent not in use.
    const can::FilterEncoding e =
        can::filterBankCommands({row(1, 1, "12 34 56 78"), row(1, 0, "1a00ff07", "ff ff 00 00")}, 3);
    QVERIFY(e.ok());
    QCOMPARE(e.requests.size(), 14);
    QCOMPARE(hex(e.requests[0]), QByteArray("00 12 24 0B 00 83 11 12 34 56 78 00 00 00 00 00 00"));
    QCOMPARE(hex(e.requests[1]), QByteArray("00 12 24 0B 01 83 10 1A 00 FF 07 FF FF 00 00 00 00"));
    QCOMPARE(hex(e.requests[13]), QByteArray("00 12 24 0B 0D 03 00 00 00 00 00 00 00 00 00 00 00"));
    QCOMPARE(can::filterBankCommands(QVector<FilterRow>(14, row(0, 1)), 1).requests.size(), 14);
}

void TestFilterCodec::bankRefusals_data()
{
    QTest::addColumn<QVector<FilterRow>>("rows");
    QTest::addColumn<QString>("message");
    QTest::newRow("15 rows") << QVector<FilterRow>(15, row(0, 1)) << "channel 4: filter at most 14";
    QTest::newRow("seven digits") << QVector<FilterRow>{row(0, 1), row(0, 1, "00 00 00 0")}
                                  << "channel 4: the ID register of filter 2 must be 8 hexadecimal digits";
    QTest::newRow("no work mode") << QVector<FilterRow>{row(0, 1), row(-1, 1)}
                                  << "channel 4: choose the work mode and bit width of filter 2";
}

void TestFilterCodec::bankRefusals()
{
    QFETCH(QVector<FilterRow>, rows);
    const can::FilterEncoding e = can::filterBankCommands(rows, 4);
    QTEST(translated(e), "message");
    QVERIFY(e.requests.isEmpty());
}

void TestFilterCodec::decodeBanks()
{
    const QList<QByteArray> records{
        QByteArray::fromHex("122481 00 81 11 12345678 000000ff"),
        QByteArray::fromHex("122481 01 01 11 11111111 11111111"),  // not in use
        QByteArray::fromHex("122481 02 81 00 1a00ff07 ffff0000"),
        QByteArray::fromHex("122481 0e 81 00 22222222 22222222"),  // bank 14 ends the list
        QByteArray::fromHex("122481 03 81 00 33333333 33333333"),
    };
    QCOMPARE(can::decodeFilterBanks(records), (QVector<FilterRow>{row(1, 1, "12 34 56 78", "00 00 00 ff"),
                                                                  row(0, 0, "1a 00 ff 07", "ff ff 00 00")}));
}

// Standard frames first, each kind numbered from 1.
void TestFilterCodec::recordRequests()
{
    const can::FilterEncoding e = can::filterCommands(
        {row(0, 0, "00 00 01 23", "00 00 07 ff"), row(1, 2, "1f ff ff ff", "00 00 00 01"), row(0, 1)}, 2);
    QVERIFY(e.ok());
    QCOMPARE(e.requests.size(), 3);
    QCOMPARE(hex(e.requests[0]), QByteArray("01 13 05 01 0E 00 02 00 01 02 00 00 00 01 23 00 00 07 FF") +
                                     QByteArray(" 00").repeated(29));
    QCOMPARE(hex(e.requests[1].left(19)),
             QByteArray("01 13 05 01 0E 00 02 00 02 02 01 00 00 00 00 00 00 00 00"));
    QCOMPARE(hex(e.requests[2].left(19)),
             QByteArray("01 13 05 01 0E 00 02 01 01 01 02 1F FF FF FF 00 00 00 01"));
    QVERIFY(can::filterCommands({}, 1).ok());
}

void TestFilterCodec::recordRefusals_data()
{
    const QString id = QStringLiteral("standard frame ID<=0x000007FF\nextended frame ID<=0x1FFFFFFF");
    const QString mask = QStringLiteral("standard frame MASK<=0x000007FF\nextended frame MASK<=0x1FFFFFFF");
    QTest::addColumn<QVector<FilterRow>>("table");
    QTest::addColumn<QString>("message");
    QTest::newRow("128 standard, 64 extended")
        << QVector<FilterRow>(128, row(0, 0)) + QVector<FilterRow>(64, row(1, 0)) << QString();
    QTest::newRow("129 standard") << QVector<FilterRow>(129, row(0, 0))
                                  << "channel 1: standard frame at most 128";
    QTest::newRow("65 extended") << QVector<FilterRow>(65, row(1, 0))
                                 << "channel 1: extended frame at most 64";
    QTest::newRow("standard ID 800") << QVector<FilterRow>{row(0, 0, "00 00 08 00")} << id;
    QTest::newRow("extended ID 1FFFFFFF") << QVector<FilterRow>{row(1, 0, "1F FF FF FF")} << QString();
    QTest::newRow("extended ID 20000000") << QVector<FilterRow>{row(1, 0, "20 00 00 00")} << id;
    QTest::newRow("standard mask 800") << QVector<FilterRow>{row(0, 0, "00 00 00 00", "00 00 08 00")} << mask;
    QTest::newRow("no frame type") << QVector<FilterRow>{row(-1, 0)}
                                   << "channel 1: choose the type and mode of filter 1";
    QTest::newRow("mode beyond the list")
        << QVector<FilterRow>{row(0, 3)} << "channel 1: choose the type and mode of filter 1";
}

void TestFilterCodec::recordRefusals()
{
    QFETCH(QVector<FilterRow>, table);
    QFETCH(QString, message);
    const can::FilterEncoding e = can::filterCommands(table, 1);
    QCOMPARE(translated(e), message);
    QCOMPARE(e.requests.size(), message.isEmpty() ? table.size() : 0);
}

QTEST_GUILESS_MAIN(TestFilterCodec)
#include "tst_filtercodec.moc"
