// The bit-timing calculator over the whole sweep the tests check: every rate
// from 10 kbit/s to 1 Mbit/s in 1 kbit/s steps (classic and arbitration) and
// from 1 to 8 Mbit/s in 100 kbit/s steps (data), at the default sample point.
// Goal: under 1 ms per rate. Argument: the rounds (default 9); the least
// round counts, since noise can only add time.

#include "BenchSupport.h"

#include "operations/BitTimingCalculator.h"

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>

namespace {

struct Sweep {
    can::RateList list;
    const char* name;
    qint64 from, to, step;
};

constexpr Sweep kSweeps[] = {
    {can::RateList::Classic, "classic", 10000, 1000000, 1000},
    {can::RateList::Arbitration, "arbitration", 10000, 1000000, 1000},
    {can::RateList::Data, "data", 1000000, 8000000, 100000},
};

}  // namespace

int main(int argc, char* argv[])
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    std::printf("%-12s %7s %12s %12s %12s\n", "layout", "rates", "least ms", "median ms", "us per rate");
    double worstPerRate = 0;
    qint64 checksum = 0;  // keeps the work from being optimised away
    for (const Sweep& s : kSweeps) {
        std::vector<double> times;
        int rates = 0;
        for (int round = 0; round < rounds; ++round) {
            rates = 0;
            QElapsedTimer timer;
            timer.start();
            for (qint64 rate = s.from; rate <= s.to; rate += s.step, ++rates)
                checksum += can::calculateBitTiming({s.list, rate}).candidates.value(0).timing.prescaler;
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        const double least = *std::min_element(times.begin(), times.end());
        const double perRate = 1000.0 * least / rates;
        worstPerRate = std::max(worstPerRate, perRate);
        std::printf("%-12s %7d %12.2f %12.2f %12.2f\n", s.name, rates, least, bench::median(times), perRate);
    }
    std::printf("\nbit-timing calculator: at most %.1f us per rate (goal: under 1000 us), checksum %lld\n",
                worstPerRate, static_cast<long long>(checksum));
    return 0;
}
