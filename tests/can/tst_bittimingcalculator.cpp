// The bit-timing calculator against an exhaustive search over the register
// fields, the listed entries, and a few timings worked out by hand.

#include "operations/BitTiming.h"
#include "operations/BitTimingCalculator.h"
#include "operations/RateTables.h"

#include <QtTest>

#include <cmath>
#include <vector>

using can::RateList;

Q_DECLARE_METATYPE(can::RateList)

namespace {

// The layouts as the controllers' manuals give them, written out here so that
// a wrong constant in the code is caught.
struct Fields {
    RateList list;
    const char* name;
    qint64 clock;
    qint64 fastest;
    int prescalers, segments1, segments2;
    qint64 from, to, step;  // the swept rates
};
const Fields kSweeps[] = {
    {RateList::Classic, "classic", 36000000, 1000000, 1024, 16, 8, 10000, 1000000, 1000},
    {RateList::Arbitration, "arbitration", 60000000, 1000000, 512, 256, 128, 10000, 1000000, 1000},
    {RateList::Data, "data", 60000000, 8000000, 32, 32, 16, 1000000, 8000000, 100000},
};

double wantedSamplePoint(qint64 rate)
{
    return rate <= 500000 ? 0.875 : rate <= 800000 ? 0.8 : 0.75;
}

}  // namespace

class TestBitTimingCalculator : public QObject {
    Q_OBJECT

private slots:
    void bestCandidateMatchesExhaustiveSearch_data();
    void bestCandidateMatchesExhaustiveSearch();
    void listedEntryRoundTrips();
    void workedExamples_data();
    void workedExamples();
    void unreachableRateShowsTheNearest();
    void decodeSaysWhyATimingIsNotValid();
};

void TestBitTimingCalculator::bestCandidateMatchesExhaustiveSearch_data()
{
    QTest::addColumn<int>("sweep");
    for (int i = 0; i < int(std::size(kSweeps)); ++i)
        QTest::newRow(kSweeps[i].name) << i;
}

// For every swept rate at its default sample point, the best candidate has
// the least rate error any register of the layout gives, and the least
// sample-point error among the registers with that rate error; every
// candidate decodes back to its own rate and sample point.
void TestBitTimingCalculator::bestCandidateMatchesExhaustiveSearch()
{
    QFETCH(int, sweep);
    const Fields& f = kSweeps[sweep];
    const double points[] = {0.875, 0.8, 0.75};
    // Per product prescaler x quanta (which alone fixes the rate): the least
    // sample-point error for each default sample point, over every field value.
    const int largest = f.prescalers * (1 + f.segments1 + f.segments2);
    std::vector<bool> reachable(size_t(largest) + 1, false);
    std::vector<double> bestError[3];
    for (auto& e : bestError)
        e.assign(size_t(largest) + 1, 2.0);
    for (int p = 1; p <= f.prescalers; ++p) {
        for (int s1 = 1; s1 <= f.segments1; ++s1) {
            for (int s2 = 1; s2 <= f.segments2; ++s2) {
                const int q = 1 + s1 + s2;
                const int n = p * q;
                if ((f.clock + n / 2) / n > f.fastest)
                    continue;
                reachable[size_t(n)] = true;
                for (int k = 0; k < 3; ++k)
                    bestError[k][size_t(n)] =
                        std::min(bestError[k][size_t(n)], std::fabs(double(1 + s1) / q - points[k]));
            }
        }
    }

    for (qint64 rate = f.from; rate <= f.to; rate += f.step) {
        const int k = wantedSamplePoint(rate) == 0.875 ? 0 : wantedSamplePoint(rate) == 0.8 ? 1 : 2;
        qint64 leastRateError = std::numeric_limits<qint64>::max();
        double leastPointError = 2.0;
        for (int n = 1; n <= largest; ++n) {
            if (!reachable[size_t(n)])
                continue;
            const qint64 error = std::llabs((f.clock + n / 2) / n - rate);
            if (error < leastRateError ||
                (error == leastRateError && bestError[k][size_t(n)] < leastPointError)) {
                leastRateError = error;
                leastPointError = bestError[k][size_t(n)];
            }
        }

        const can::TimingResult r = can::calculateBitTiming({f.list, rate});
        QVERIFY2(!r.candidates.isEmpty(), qPrintable(QString::number(rate)));
        const can::TimingCandidate& best = r.candidates.front();
        const QString where = QStringLiteral("%1 bit/s: %2").arg(rate).arg(best.timing.bitRate);
        QVERIFY2(std::llabs(best.rateError) == leastRateError, qPrintable(where));
        QVERIFY2(std::fabs(best.samplePointError - leastPointError) < 1e-9, qPrintable(where));
        QCOMPARE(r.reachable, leastRateError <= rate / 20);
        for (const can::TimingCandidate& c : r.candidates) {
            const can::BitTiming decoded = can::decodeBitTiming(c.registers, f.list);
            QVERIFY2(decoded.valid, qPrintable(where));
            QCOMPARE(decoded.bitRate, c.timing.bitRate);
            QCOMPARE(decoded.samplePoint, c.timing.samplePoint);
            QCOMPARE(decoded.bitRate - rate, c.rateError);
        }
    }
}

void TestBitTimingCalculator::listedEntryRoundTrips()
{
    for (RateList list : {RateList::Classic, RateList::Arbitration, RateList::Data}) {
        const can::RateTable table = can::rateTable(list);
        for (int i = 0; i < table.count; ++i) {
            if (table.entries[i].translated)  // "self-adaption" and "custom" name no rate
                continue;
            const can::BitTiming entry =
                can::decodeBitTiming(QByteArray::fromHex(table.entries[i].registerHex), list);
            const can::TimingResult r =
                can::calculateBitTiming({list, entry.bitRate, entry.samplePoint, entry.jumpWidth});
            QVERIFY2(!r.candidates.isEmpty(), table.entries[i].text);
            const can::BitTiming best = can::decodeBitTiming(r.candidates.front().registers, list);
            QVERIFY2(best.bitRate == entry.bitRate, table.entries[i].text);
            QVERIFY2(std::fabs(best.samplePoint - entry.samplePoint) < 1e-9, table.entries[i].text);
        }
    }
}

void TestBitTimingCalculator::workedExamples_data()
{
    QTest::addColumn<RateList>("list");
    QTest::addColumn<qint64>("rate");
    QTest::addColumn<double>("samplePoint");  // 0: the default
    QTest::addColumn<QByteArray>("registers");
    QTest::addColumn<QString>("hint");
    // 36 MHz / 83 333.3 = 432 = 27 x 16 quanta; (1 + 13) / 16 = 87.5 %.
    QTest::newRow("classic 83.333 kbit/s") << RateList::Classic << qint64(83333) << 0.875
                                           << QByteArray("001C001A") << "83.33 kbit/s · SP 87.5 %";
    // 72 = 9 x 8 quanta: the only split at exactly 87.5 %, before 4 x 18 at 88.9 %.
    QTest::newRow("classic 500 kbit/s at 87.5 %")
        << RateList::Classic << qint64(500000) << 0.875 << QByteArray("00050008") << "500 kbit/s · SP 87.5 %";
    // 120 = 1 x 120 quanta, the most that give 87.5 %.
    QTest::newRow("arbitration 500 kbit/s default") << RateList::Arbitration << qint64(500000) << 0.0
                                                    << QByteArray("0000670E") << "500 kbit/s · SP 87.5 %";
    // 60 = 2 x 30 quanta, the most that fit the fields: (1 + 23) / 30 = 80 %.
    QTest::newRow("data 1 Mbit/s at 80 %")
        << RateList::Data << qint64(1000000) << 0.8 << QByteArray("00011650") << "1 Mbit/s · SP 80.0 %";
}

void TestBitTimingCalculator::workedExamples()
{
    QFETCH(RateList, list);
    QFETCH(qint64, rate);
    QFETCH(double, samplePoint);
    QFETCH(QByteArray, registers);
    QFETCH(QString, hint);
    const can::TimingResult r = can::calculateBitTiming({list, rate, samplePoint});
    QVERIFY(r.reachable);
    QVERIFY(!r.candidates.isEmpty());
    const can::TimingCandidate& best = r.candidates.front();
    QCOMPARE(best.registers.toHex().toUpper(), registers);
    QCOMPARE(can::bitTimingHint(can::decodeBitTiming(best.registers, list)), hint);
    QCOMPARE(best.timing.jumpWidth, 1);
    for (int i = 1; i < r.candidates.size(); ++i)
        QVERIFY(std::llabs(r.candidates[i - 1].rateError) <= std::llabs(r.candidates[i].rateError));
}

void TestBitTimingCalculator::unreachableRateShowsTheNearest()
{
    // The slowest classic timing: 36 MHz / (1024 x 25) = 1406 bit/s.
    const can::TimingResult r = can::calculateBitTiming({RateList::Classic, 1000});
    QVERIFY(r.error.isEmpty());
    QVERIFY(!r.reachable);
    QCOMPARE(r.candidates.size(), can::kDefaultCandidates);
    QCOMPARE(r.candidates.front().registers.toHex().toUpper(), QByteArray("007F03FF"));
    QCOMPARE(r.candidates.front().rateError, qint64(406));
    // Faster than the data phase carries: 60 MHz / 8 quanta is the nearest.
    const can::TimingResult fast = can::calculateBitTiming({RateList::Data, 10000000});
    QVERIFY(!fast.reachable);
    QCOMPARE(fast.candidates.front().timing.bitRate, qint64(7500000));
    QCOMPARE(can::calculateBitTiming({RateList::Classic, 500000, 0.875, 5}).error,
             QStringLiteral("the jump width must be 1 to 4"));
}

void TestBitTimingCalculator::decodeSaysWhyATimingIsNotValid()
{
    const auto why = [](const char* hex, RateList list) {
        return can::bitTimingFaultText(can::decodeBitTiming(QByteArray::fromHex(hex), list), list);
    };
    QCOMPARE(why("0012000B", RateList::Classic), QString());
    QCOMPARE(why("FFFFFFFF", RateList::Classic),
             QStringLiteral("bits are set outside the register's fields"));
    QCOMPARE(why("0303000B", RateList::Classic),
             QStringLiteral("the jump width 4 is longer than segment 1 (4) or segment 2 (1)"));
    QCOMPARE(why("00000000", RateList::Classic),
             QStringLiteral("12000000 bit/s is above the 1000000 bit/s this phase carries"));
    QCOMPARE(why("001200", RateList::Classic), QStringLiteral("a timing register holds four bytes"));
}

QTEST_GUILESS_MAIN(TestBitTimingCalculator)
#include "tst_bittimingcalculator.moc"
