#pragma once
// What corvelle-cli timing prints: the candidates for a wanted rate, or what a
// register means, as text or as JSON.

#include "operations/BitTimingCalculator.h"

#include <QJsonObject>
#include <QString>

namespace cli {

// The calculator's answer for one phase, with what was asked.
struct Computed {
    can::RateList list;
    qint64 rate;
    int jumpWidth;
    can::TimingResult result;  // with at least one candidate
};

// "classic", "arbitration", "data".
const char* phaseName(can::RateList list);

QString computedText(const Computed& p);
QJsonObject computedJson(const Computed& p);

// The classic all-zero code: the device detects the bus's rate.
bool isSelfAdaption(const QByteArray& registers, can::RateList list);
QString decodedText(const QByteArray& registers, can::RateList list);
QJsonObject decodedJson(const QByteArray& registers, can::RateList list);

}  // namespace cli
