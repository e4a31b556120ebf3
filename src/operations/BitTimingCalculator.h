#pragma once
// From a wanted bit rate and sample point to register bytes: every prescaler
// and split of the bit into time quanta the layout allows, ranked as CAN
// engineers rank them — the exact rate before any error, then the sample
// point nearest the wanted one, then more time quanta.

#include "operations/BitTiming.h"

#include <QByteArray>
#include <QString>
#include <QVector>

namespace can {

// As CiA 301 recommends and the Linux kernel uses: 87.5 % up to 500 kbit/s,
// 80 % up to 800 kbit/s, 75 % above.
double defaultSamplePoint(qint64 bitRate);

// A rate the clock misses by more than this is not reachable.
constexpr double kReachableRateError = 0.05;
constexpr int kDefaultCandidates = 10;

struct TimingRequest {
    RateList list = RateList::Classic;
    qint64 bitRate = 0;        // bit/s
    double samplePoint = 0.0;  // 0..1; 0: the default for the rate
    int jumpWidth = 1;
    int maxCandidates = kDefaultCandidates;
};

struct TimingCandidate {
    BitTiming timing;
    QByteArray registers;
    qint64 rateError = 0;  // bit/s, the timing's rate minus the wanted one
    double samplePointError = 0.0;

    double rateErrorPercent(qint64 wanted) const { return 100.0 * double(rateError) / double(wanted); }
    double quantumNs(RateList list) const
    {
        return 1e9 * timing.prescaler / double(timingLayout(list).clockHz);
    }
};

struct TimingResult {
    QString error;             // a request the layout cannot take (translated); empty otherwise
    double samplePoint = 0.0;  // the one the candidates aim at
    bool reachable = false;    // the best candidate is within kReachableRateError
    // Best first. When the rate is reachable, only candidates within
    // kReachableRateError; otherwise the nearest ones.
    QVector<TimingCandidate> candidates;
};

TimingResult calculateBitTiming(const TimingRequest& request);

}  // namespace can
