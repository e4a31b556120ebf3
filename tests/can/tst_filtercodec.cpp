#include "operations/FilterCodec.h"

#include <QtTest>

using can::FilterRow;

Q_DECLARE_METATYPE(can::FilterRow)

namespace {

QByteArray hex(const QByteArray& b)
{
    return b.toHex(' ').toUpper();
}

// A record as the device answers it, the bank fields at the request offsets minus one.
QByteArray bankRecord(const char* hexText)
{
    return QByteArray::fromHex(hexText);
}

const QString kZero = QStringLiteral("00 00 00 00");

FilterRow row(int kind, int mode, const QString& id = kZero, const QString& mask = kZero)
{
    return {kind, mode, id, mask};
}

QVector<FilterRow> rows(int count, const FilterRow& r)
{
    return QVector<FilterRow>(count, r);
}

QString translated(const can::FilterEncoding& e)
{
    return e.message.isEmpty() ? QString() : e.message.translated();
}

}  // namespace

class TestFilterCodec : public QObject {
    Q_OBJECT

private slots:
    void bankRequestBytes();
    void bankCount_data();
    void bankCount();
    void bankRefusals_data();
    void bankRefusals();
    void decodeBanks();
    void recordOrderAndNumbering();
    void recordLimits_data();
    void recordLimits();
    void decodeRecords();
};

void TestFilterCodec::bankRequestBytes()
{
    const can::FilterEncoding e = can::filterBankCommands({row(1, 1, "12 34 56 78")}, 3);
    QVERIFY(e.ok());
    QCOMPARE(e.requests.size(), 14);
    QCOMPARE(hex(e.requests[0]), QByteArray("00 12 24 0B 00 83 11 12 34 56 78 00 00 00 00 00 00"));
    QCOMPARE(hex(e.requests[13]), QByteArray("00 12 24 0B 0D 03 00 00 00 00 00 00 00 00 00 00 00"));

    const can::FilterEncoding two = can::filterBankCommands({row(1, 0, "1a00ff07", "ff ff 00 00")}, 2);
    QCOMPARE(hex(two.requests[0]), QByteArray("00 12 24 0B 00 82 10 1A 00 FF 07 FF FF 00 00 00 00"));
    QCOMPARE(hex(two.requests[1]), QByteArray("00 12 24 0B 01 02 00 00 00 00 00 00 00 00 00 00 00"));
}

void TestFilterCodec::bankCount_data()
{
    QTest::addColumn<int>("rowCount");
    QTest::addColumn<int>("inUse");
    QTest::addColumn<QString>("message");
    QTest::newRow("no row") << 0 << 0 << QString();
    QTest::newRow("14 rows") << 14 << 14 << QString();
    QTest::newRow("15 rows") << 15 << 0 << "filter at most 14";
}

void TestFilterCodec::bankCount()
{
    QFETCH(int, rowCount);
    QFETCH(int, inUse);
    QFETCH(QString, message);
    const can::FilterEncoding e = can::filterBankCommands(rows(rowCount, row(0, 1)), 1);
    QCOMPARE(translated(e), message);
    QCOMPARE(e.requests.size(), message.isEmpty() ? 14 : 0);
    for (int b = 0; b < e.requests.size(); ++b) {
        QCOMPARE(int(e.requests[b][4]), b);
        QCOMPARE(quint8(e.requests[b][5]), quint8(b < inUse ? 0x81 : 0x01));
    }
}

void TestFilterCodec::bankRefusals_data()
{
    QTest::addColumn<FilterRow>("second");
    QTest::addColumn<QString>("message");
    QTest::newRow("seven digits") << row(0, 1, "00 00 00 0")
                                  << "channel 4: the ID register of filter 2 must be 8 hexadecimal digits";
    QTest::newRow("five bytes") << row(0, 1, kZero, "00 00 00 00 00")
                                << "channel 4: the mask register of filter 2 must be 8 hexadecimal digits";
    QTest::newRow("not hexadecimal") << row(0, 1, "00 00 00 0g")
                                     << "channel 4: the ID register of filter 2 must be 8 hexadecimal digits";
    QTest::newRow("no work mode") << row(-1, 1)
                                  << "channel 4: choose the work mode and bit width of filter 2";
}

void TestFilterCodec::bankRefusals()
{
    QFETCH(FilterRow, second);
    QFETCH(QString, message);
    const can::FilterEncoding e = can::filterBankCommands({row(0, 1), second}, 4);
    QCOMPARE(translated(e), message);
    QVERIFY(e.requests.isEmpty());
}

void TestFilterCodec::decodeBanks()
{
    const QList<QByteArray> records{
        bankRecord("122481 00 81 11 12345678 000000ff"),
        bankRecord("122481 01 01 11 11111111 11111111"),  // not in use
        bankRecord("122481 02 81 00 1a00ff07 ffff0000"),
        bankRecord("122481 0e 81 00 22222222 22222222"),  // bank 14 ends the list
        bankRecord("122481 03 81 00 33333333 33333333"),
    };
    const QVector<FilterRow> expected{row(1, 1, "12 34 56 78", "00 00 00 ff"),
                                      row(0, 0, "1a 00 ff 07", "ff ff 00 00")};
    QCOMPARE(can::decodeFilterBanks(records), expected);
}

void TestFilterCodec::recordOrderAndNumbering()
{
    const can::FilterEncoding e = can::filterCommands(
        {row(0, 0, "00 00 01 23", "00 00 07 ff"), row(1, 2, "1f ff ff ff", "00 00 00 01"), row(0, 1)}, 2);
    QVERIFY(e.ok());
    QCOMPARE(e.requests.size(), 3);
    for (const QByteArray& r : e.requests) {
        QCOMPARE(r.size(), 48);
        QCOMPARE(r.mid(19), QByteArray(29, '\0'));
    }
    QCOMPARE(hex(e.requests[0].left(19)),
             QByteArray("01 13 05 01 0E 00 02 00 01 02 00 00 00 01 23 00 00 07 FF"));
    QCOMPARE(hex(e.requests[1].left(19)),
             QByteArray("01 13 05 01 0E 00 02 00 02 02 01 00 00 00 00 00 00 00 00"));
    QCOMPARE(hex(e.requests[2].left(19)),
             QByteArray("01 13 05 01 0E 00 02 01 01 01 02 1F FF FF FF 00 00 00 01"));
    QVERIFY(can::filterCommands({}, 1).requests.isEmpty());
    QVERIFY(can::filterCommands({}, 1).ok());
}

void TestFilterCodec::recordLimits_data()
{
    const QString id = QStringLiteral("standard frame ID<=0x000007FF\nextended frame ID<=0x1FFFFFFF");
    const QString mask = QStringLiteral("standard frame MASK<=0x000007FF\nextended frame MASK<=0x1FFFFFFF");
    QTest::addColumn<QVector<FilterRow>>("table");
    QTest::addColumn<QString>("message");
    QTest::newRow("128 standard, 64 extended") << rows(128, row(0, 0)) + rows(64, row(1, 0)) << QString();
    QTest::newRow("129 standard") << rows(129, row(0, 0)) << "standard frame at most 128";
    QTest::newRow("65 extended") << rows(65, row(1, 0)) << "extended frame at most 64";
    QTest::newRow("standard ID 7FF") << rows(1, row(0, 0, "00 00 07 ff")) << QString();
    QTest::newRow("standard ID 800") << rows(1, row(0, 0, "00 00 08 00")) << id;
    QTest::newRow("extended ID 800") << rows(1, row(1, 0, "00 00 08 00")) << QString();
    QTest::newRow("extended ID 1FFFFFFF") << rows(1, row(1, 0, "1F FF FF FF")) << QString();
    QTest::newRow("extended ID 20000000") << rows(1, row(1, 0, "20 00 00 00")) << id;
    QTest::newRow("standard mask 800") << rows(1, row(0, 0, kZero, "00 00 08 00")) << mask;
    QTest::newRow("extended mask 20000000") << rows(1, row(1, 0, kZero, "20000000")) << mask;
    QTest::newRow("seven digits") << QVector<FilterRow>{row(0, 0), row(0, 0, "00 00 7f f")}
                                  << "channel 1: the ID register of filter 2 must be 8 hexadecimal digits";
    QTest::newRow("no frame type") << rows(1, row(-1, 0))
                                   << "channel 1: choose the type and mode of filter 1";
    QTest::newRow("mode beyond the list")
        << rows(1, row(0, 3)) << "channel 1: choose the type and mode of filter 1";
}

void TestFilterCodec::recordLimits()
{
    QFETCH(QVector<FilterRow>, table);
    QFETCH(QString, message);
    const can::FilterEncoding e = can::filterCommands(table, 1);
    QCOMPARE(translated(e), message);
    QCOMPARE(e.requests.size(), message.isEmpty() ? table.size() : 0);
}

void TestFilterCodec::decodeRecords()
{
    const QList<QByteArray> records{
        QByteArray::fromHex("130500100002 00 01 02 01 00000123 000007ff"),
        QByteArray::fromHex("130500100002 01 01 01 02 1fffffff 00000001"),
    };
    const QVector<FilterRow> expected{row(0, 1, "00 00 01 23", "00 00 07 ff"),
                                      row(1, 2, "1f ff ff ff", "00 00 00 01")};
    QCOMPARE(can::decodeFilterRecords(records), expected);
}

QTEST_GUILESS_MAIN(TestFilterCodec)
#include "tst_filtercodec.moc"
