#include "TimingReport.h"

#include "operations/RegisterText.h"

#include <QJsonArray>

#include <cmath>

namespace cli {

using can::RateList;

namespace {

QString percent(double fraction, int decimals = 1)
{
    return QString::number(fraction * 100.0, 'f', decimals) + QStringLiteral(" %");
}

QString clockText(RateList list)
{
    return QStringLiteral("%1 MHz").arg(can::timingLayout(list).clockHz / 1000000);
}

QJsonObject candidateJson(const can::TimingCandidate& c, const Computed& p)
{
    return QJsonObject{
        {QStringLiteral("register"), can::rateSelectionText(c.registers)},
        {QStringLiteral("prescaler"), c.timing.prescaler},
        {QStringLiteral("timeQuantumNs"), std::round(c.quantumNs(p.list) * 1000.0) / 1000.0},
        {QStringLiteral("quanta"), c.timing.quanta()},
        {QStringLiteral("segment1"), c.timing.segment1},
        {QStringLiteral("segment2"), c.timing.segment2},
        {QStringLiteral("jumpWidth"), c.timing.jumpWidth},
        {QStringLiteral("bitRate"), c.timing.bitRate},
        {QStringLiteral("rateError"), c.rateError},
        {QStringLiteral("rateErrorPercent"), std::round(c.rateErrorPercent(p.rate) * 1000.0) / 1000.0},
        {QStringLiteral("samplePoint"), std::round(c.timing.samplePoint * 100000.0) / 1000.0},
    };
}

}  // namespace

const char* phaseName(RateList list)
{
    switch (list) {
        case RateList::Classic:
            return "classic";
        case RateList::Arbitration:
            return "arbitration";
        case RateList::Data:
            break;
    }
    return "data";
}

QJsonObject computedJson(const Computed& p)
{
    QJsonArray candidates;
    for (const can::TimingCandidate& c : p.result.candidates)
        candidates << candidateJson(c, p);
    QJsonObject o{
        {QStringLiteral("clockHz"), can::timingLayout(p.list).clockHz},
        {QStringLiteral("wantedBitRate"), p.rate},
        {QStringLiteral("wantedSamplePoint"), std::round(p.result.samplePoint * 100000.0) / 1000.0},
        {QStringLiteral("jumpWidth"), p.jumpWidth},
        {QStringLiteral("reachable"), p.result.reachable},
        {QStringLiteral("candidates"), candidates},
    };
    o.insert(QStringLiteral("register"),
             p.result.reachable ? QJsonValue(can::rateSelectionText(p.result.candidates.front().registers))
                                : QJsonValue());
    return o;
}

QString computedText(const Computed& p)
{
    QString out = QStringLiteral("%1 rate %2 bit/s, sample point %3, jump width %4 (%5 clock)\n")
                      .arg(QString::fromLatin1(phaseName(p.list)))
                      .arg(p.rate)
                      .arg(percent(p.result.samplePoint), QString::number(p.jumpWidth), clockText(p.list));
    const can::TimingCandidate& best = p.result.candidates.front();
    if (p.result.reachable) {
        out += QStringLiteral("register %1  %2\n")
                   .arg(can::rateSelectionText(best.registers), can::bitTimingHint(best.timing));
    } else {
        out += QStringLiteral(
                   "not reachable within 5 %: the %1 clock gives %2 bit/s at best; the nearest timings:\n")
                   .arg(clockText(p.list))
                   .arg(best.timing.bitRate);
    }
    const QString row = QStringLiteral("  %1 %2 %3 %4 %5 %6 %7 %8 %9  %10\n");
    out += row.arg(QStringLiteral("prescaler"), 9)
               .arg(QStringLiteral("quantum"), 11)
               .arg(QStringLiteral("quanta"), 6)
               .arg(QStringLiteral("seg1"), 4)
               .arg(QStringLiteral("seg2"), 4)
               .arg(QStringLiteral("sjw"), 3)
               .arg(QStringLiteral("bit/s"), 9)
               .arg(QStringLiteral("error"), 8)
               .arg(QStringLiteral("sample point"), 12)
               .arg(QStringLiteral("register"));
    for (const can::TimingCandidate& c : p.result.candidates) {
        out += row.arg(c.timing.prescaler, 9)
                   .arg(QString::number(c.quantumNs(p.list), 'f', 1) + QStringLiteral(" ns"), 11)
                   .arg(c.timing.quanta(), 6)
                   .arg(c.timing.segment1, 4)
                   .arg(c.timing.segment2, 4)
                   .arg(c.timing.jumpWidth, 3)
                   .arg(c.timing.bitRate, 9)
                   .arg(QString::number(c.rateErrorPercent(p.rate), 'f', 3) + QStringLiteral(" %"), 8)
                   .arg(percent(c.timing.samplePoint), 12)
                   .arg(can::rateSelectionText(c.registers));
    }
    return out;
}

QJsonObject decodedJson(const QByteArray& registers, RateList list)
{
    const can::BitTiming t = can::decodeBitTiming(registers, list);
    QJsonObject o{
        {QStringLiteral("register"), can::rateSelectionText(registers)},
        {QStringLiteral("clockHz"), can::timingLayout(list).clockHz},
        {QStringLiteral("valid"), t.valid},
        {QStringLiteral("prescaler"), t.prescaler},
        {QStringLiteral("segment1"), t.segment1},
        {QStringLiteral("segment2"), t.segment2},
        {QStringLiteral("jumpWidth"), t.jumpWidth},
        {QStringLiteral("quanta"), t.quanta()},
        {QStringLiteral("bitRate"), t.bitRate},
        {QStringLiteral("samplePoint"), std::round(t.samplePoint * 100000.0) / 1000.0},
    };
    if (!t.valid)
        o.insert(QStringLiteral("problem"), can::bitTimingFaultText(t, list));
    return o;
}

bool isSelfAdaption(const QByteArray& registers, RateList list)
{
    return list == RateList::Classic && registers == QByteArray(4, '\0');
}

QString decodedText(const QByteArray& registers, RateList list)
{
    const can::BitTiming t = can::decodeBitTiming(registers, list);
    QString out =
        QStringLiteral("%1 (%2, %3 clock): ")
            .arg(can::rateSelectionText(registers), QString::fromLatin1(phaseName(list)), clockText(list));
    if (t.valid)
        out += can::bitTimingHint(t) + QLatin1Char('\n');
    else if (isSelfAdaption(registers, list))
        out += QStringLiteral("self-adaption: the device detects the bus's rate\n");
    else
        out += QStringLiteral("not a valid timing: %1\n").arg(can::bitTimingFaultText(t, list));
    out +=
        QStringLiteral("  prescaler %1, segment 1 %2, segment 2 %3, jump width %4: %5 time quanta of %6 ns\n")
            .arg(t.prescaler)
            .arg(t.segment1)
            .arg(t.segment2)
            .arg(t.jumpWidth)
            .arg(t.quanta())
            .arg(QString::number(1e9 * t.prescaler / double(can::timingLayout(list).clockHz), 'f', 1));
    if (!t.valid && !isSelfAdaption(registers, list) && t.fault != can::TimingFault::BitsOutsideFields)
        out += QStringLiteral("  that would be %1 bit/s, sample point %2\n")
                   .arg(t.bitRate)
                   .arg(percent(t.samplePoint));
    return out;
}

}  // namespace cli
