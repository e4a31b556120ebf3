#include "operations/BitTimingCalculator.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <vector>

namespace can {

namespace {

// Sample points closer than this are the same: they come from small fractions.
constexpr double kSamePoint = 1e-9;

bool ranksBefore(const TimingCandidate& a, const TimingCandidate& b)
{
    if (std::llabs(a.rateError) != std::llabs(b.rateError))
        return std::llabs(a.rateError) < std::llabs(b.rateError);
    if (std::fabs(a.samplePointError - b.samplePointError) > kSamePoint)
        return a.samplePointError < b.samplePointError;
    if (a.timing.quanta() != b.timing.quanta())
        return a.timing.quanta() > b.timing.quanta();
    if (a.timing.prescaler != b.timing.prescaler)
        return a.timing.prescaler < b.timing.prescaler;
    return a.timing.segment1 < b.timing.segment1;
}

// The segment 1 whose sample point is nearest the wanted one, for a bit of
// `quanta` time quanta; 0 when no split fits the fields with this jump width.
int nearestSegment1(const TimingLayout& layout, int quanta, double samplePoint, int jumpWidth)
{
    const int lowest = std::max(jumpWidth, quanta - 1 - layout.maxSegment2);
    const int highest = std::min(layout.maxSegment1, quanta - 1 - jumpWidth);
    if (lowest > highest)
        return 0;
    // Sample point (1 + segment 1) / quanta: an exact half rounds to the earlier point.
    const double wanted = samplePoint * quanta - 1.0;
    int segment1 = int(std::floor(wanted));
    if (wanted - segment1 > 0.5 + kSamePoint)
        ++segment1;
    return std::clamp(segment1, lowest, highest);
}

QString translated(const char* text)
{
    return QCoreApplication::translate("TimingCalculatorDialog", text);
}

}  // namespace

double defaultSamplePoint(qint64 bitRate)
{
    if (bitRate <= 500000)
        return 0.875;
    if (bitRate <= 800000)
        return 0.8;
    return 0.75;
}

TimingResult calculateBitTiming(const TimingRequest& request)
{
    const TimingLayout layout = timingLayout(request.list);
    TimingResult result;
    result.samplePoint =
        request.samplePoint > 0.0 ? request.samplePoint : defaultSamplePoint(request.bitRate);
    if (request.bitRate < 1) {
        result.error = translated("the bit rate must be at least 1 bit/s");
        return result;
    }
    if (!(result.samplePoint > 0.0 && result.samplePoint < 1.0)) {
        result.error = translated("the sample point must lie between 0 % and 100 %");
        return result;
    }
    if (request.jumpWidth < 1 || request.jumpWidth > layout.maxJumpWidth) {
        result.error = translated("the jump width must be 1 to %1").arg(layout.maxJumpWidth);
        return result;
    }

    // For each length of the bit in time quanta only the two prescalers
    // around the ideal one can be nearest the wanted rate; each gets the
    // split nearest the wanted sample point.
    std::vector<TimingCandidate> all;
    const int longest = 1 + layout.maxSegment1 + layout.maxSegment2;
    all.reserve(size_t(2 * longest));
    for (int quanta = 1 + 2 * request.jumpWidth; quanta <= longest; ++quanta) {
        const int segment1 = nearestSegment1(layout, quanta, result.samplePoint, request.jumpWidth);
        if (segment1 == 0)
            continue;
        const double ideal = double(layout.clockHz) / (double(request.bitRate) * quanta);
        const int below = int(std::clamp(std::floor(ideal), 1.0, double(layout.maxPrescaler)));
        const int above = std::min(below + 1, layout.maxPrescaler);
        for (int prescaler = below; prescaler <= above; ++prescaler) {
            TimingCandidate c;
            c.timing = bitTiming(request.list, prescaler, segment1, quanta - 1 - segment1, request.jumpWidth);
            if (!c.timing.valid)
                continue;
            c.rateError = c.timing.bitRate - request.bitRate;
            c.samplePointError = std::fabs(c.timing.samplePoint - result.samplePoint);
            all.push_back(c);
        }
    }
    if (all.empty())
        return result;

    // Only the listed ones need an order and their registers.
    const auto withinReach = [&request](const TimingCandidate& c) {
        return double(std::llabs(c.rateError)) <= kReachableRateError * double(request.bitRate);
    };
    const auto best = std::min_element(all.begin(), all.end(), ranksBefore);
    result.reachable = withinReach(*best);
    const auto end = result.reachable ? std::partition(all.begin(), all.end(), withinReach) : all.end();
    const auto listed =
        all.begin() + std::min<std::ptrdiff_t>(end - all.begin(), std::max(0, request.maxCandidates));
    std::partial_sort(all.begin(), listed, end, ranksBefore);
    for (auto it = all.begin(); it != listed; ++it) {
        it->registers = encodeBitTiming(it->timing, request.list);
        result.candidates.push_back(*it);
    }
    return result;
}

}  // namespace can
