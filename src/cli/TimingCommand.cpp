#include "TimingCommand.h"

#include "CliOptions.h"

#include "operations/BitTiming.h"
#include "operations/BitTimingCalculator.h"
#include "operations/RegisterText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <optional>

namespace cli {

namespace {

using can::RateList;

void print(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void complain(const QString& text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// One phase asked for: a rate to compute or a register to explain.
struct PhaseRequest {
    QString rate;
    QString samplePoint;
    QString jumpWidth;
    QString decode;
};

struct TimingOptions {
    int family = 0;
    PhaseRequest bit;   // classic, or the arbitration phase
    PhaseRequest data;  // the data phase of family 2
    int candidates = can::kDefaultCandidates;
    bool json = false;
    bool help = false;
    QString error;
};

// Options of the device commands that take a value: their value is no command.
bool takesValue(const QString& option)
{
    return option == QLatin1String("--device") || option == QLatin1String("--simulate") ||
           option == QLatin1String("--sim-latency") || option == QLatin1String("-o");
}

TimingOptions parseTimingOptions(const QStringList& arguments)
{
    TimingOptions o;
    auto fail = [&o](const QString& text) {
        if (o.error.isEmpty())
            o.error = text;
    };
    QString family = QStringLiteral("-");
    QString candidates;
    bool commandSeen = false;
    for (int i = 1; i < arguments.size(); ++i) {
        QString arg = arguments.at(i);
        QString value;
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            value = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            arg = arg.left(arg.indexOf(QLatin1Char('=')));
            hasValue = true;
        }
        auto take = [&](QString& into) {
            if (hasValue)
                into = value;
            else if (i + 1 < arguments.size())
                into = arguments.at(++i);
            else
                fail(QStringLiteral("%1 needs a value").arg(arg));
        };
        if (arg == QLatin1String("timing") && !commandSeen)
            commandSeen = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h"))
            o.help = true;
        else if (arg == QLatin1String("--json"))
            o.json = true;
        else if (arg == QLatin1String("--family"))
            take(family);
        else if (arg == QLatin1String("--rate"))
            take(o.bit.rate);
        else if (arg == QLatin1String("--sample-point"))
            take(o.bit.samplePoint);
        else if (arg == QLatin1String("--sjw"))
            take(o.bit.jumpWidth);
        else if (arg == QLatin1String("--decode"))
            take(o.bit.decode);
        else if (arg == QLatin1String("--data-rate"))
            take(o.data.rate);
        else if (arg == QLatin1String("--data-sample-point"))
            take(o.data.samplePoint);
        else if (arg == QLatin1String("--data-sjw"))
            take(o.data.jumpWidth);
        else if (arg == QLatin1String("--data-decode"))
            take(o.data.decode);
        else if (arg == QLatin1String("--candidates"))
            take(candidates);
        else if (takesValue(arg) || arg == QLatin1String("--verify") || arg == QLatin1String("--yes") ||
                 arg == QLatin1String("--force"))
            fail(QStringLiteral("%1 does not belong to \"timing\", which needs no device").arg(arg));
        else if (arg.startsWith(QLatin1Char('-')))
            fail(QStringLiteral("unknown option \"%1\"").arg(arguments.at(i)));
        else
            fail(QStringLiteral("unexpected argument \"%1\"").arg(arg));
    }
    if (o.help)
        return o;
    if (family == QLatin1String("1") || family == QLatin1String("2"))
        o.family = family.toInt();
    else
        fail(QStringLiteral("timing needs --family 1 (classic) or --family 2 (CAN FD)"));
    if (!candidates.isEmpty()) {
        bool ok = false;
        o.candidates = candidates.toInt(&ok);
        if (!ok || o.candidates < 1)
            fail(QStringLiteral("--candidates needs a number from 1"));
    }
    const bool asksData = !o.data.rate.isEmpty() || !o.data.samplePoint.isEmpty() ||
                          !o.data.jumpWidth.isEmpty() || !o.data.decode.isEmpty();
    if (o.family == 1 && asksData)
        fail(QStringLiteral("the data phase options are for --family 2"));
    if (o.bit.rate.isEmpty() == o.bit.decode.isEmpty() &&
        !(o.family == 2 && o.bit.rate.isEmpty() && asksData))
        fail(QStringLiteral("timing needs either --rate or --decode"));
    for (const PhaseRequest* p : {&o.bit, &o.data}) {
        if (!p->decode.isEmpty() &&
            (!p->rate.isEmpty() || !p->samplePoint.isEmpty() || !p->jumpWidth.isEmpty()))
            fail(QStringLiteral("a register to decode takes no rate, sample point or jump width"));
        if (p->rate.isEmpty() && p->decode.isEmpty() &&
            (!p->samplePoint.isEmpty() || !p->jumpWidth.isEmpty()))
            fail(QStringLiteral("a sample point or jump width needs its rate"));
    }
    return o;
}

// "83333", "83.333k", "500K", "2M", "2.5Mbit/s": bit/s, rounded to the nearest.
std::optional<qint64> parseRate(QString text)
{
    text = text.trimmed();
    text.remove(
        QRegularExpression(QStringLiteral("(bit/s|bps)$"), QRegularExpression::CaseInsensitiveOption));
    double scale = 1.0;
    if (text.endsWith(QLatin1Char('k'), Qt::CaseInsensitive))
        scale = 1e3;
    else if (text.endsWith(QLatin1Char('M')))
        scale = 1e6;
    if (scale != 1.0)
        text.chop(1);
    bool ok = false;
    const double value = text.toDouble(&ok) * scale;
    if (!ok || !(value >= 1.0) || value > 1e9)
        return std::nullopt;
    return qint64(std::llround(value));
}

// "87.5", "87.5%" or, as the Linux kernel's tools write it, "0.875".
std::optional<double> parseSamplePoint(QString text)
{
    text = text.trimmed();
    if (text.endsWith(QLatin1Char('%')))
        text.chop(1);
    bool ok = false;
    double value = text.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    if (value > 1.0)
        value /= 100.0;
    if (!(value > 0.0 && value < 1.0))
        return std::nullopt;
    return value;
}

// Eight hexadecimal digits, with or without "0x" and blanks between pairs.
std::optional<QByteArray> parseRegister(QString text)
{
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        text.remove(0, 2);
    if (!QRegularExpression(QStringLiteral("^[0-9A-Fa-f]{8}$")).match(text).hasMatch())
        return std::nullopt;
    return QByteArray::fromHex(text.toLatin1());
}

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

QString percent(double fraction, int decimals = 1)
{
    return QString::number(fraction * 100.0, 'f', decimals) + QStringLiteral(" %");
}

QString clockText(RateList list)
{
    return QStringLiteral("%1 MHz").arg(can::timingLayout(list).clockHz / 1000000);
}

// --- computing ---

struct Computed {
    RateList list;
    qint64 rate;
    int jumpWidth;
    can::TimingResult result;
};

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

// --- decoding ---

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

struct PhaseOutcome {
    QString text;
    QJsonObject json;
    bool good = false;
};

PhaseOutcome runPhase(const PhaseRequest& r, RateList list, int maxCandidates, QString* error)
{
    PhaseOutcome out;
    if (!r.decode.isEmpty()) {
        const std::optional<QByteArray> registers = parseRegister(r.decode);
        if (!registers) {
            *error =
                QStringLiteral("\"%1\" is no register: give eight hexadecimal digits, such as 0x0012000B")
                    .arg(r.decode);
            return out;
        }
        out.text = decodedText(*registers, list);
        out.json = decodedJson(*registers, list);
        out.good = can::decodeBitTiming(*registers, list).valid || isSelfAdaption(*registers, list);
        return out;
    }
    const std::optional<qint64> rate = parseRate(r.rate);
    if (!rate) {
        *error = QStringLiteral("\"%1\" is no bit rate: give bit/s, such as 83333, 500k or 2M").arg(r.rate);
        return out;
    }
    can::TimingRequest request{list, *rate, 0.0, 1, maxCandidates};
    if (!r.samplePoint.isEmpty()) {
        const std::optional<double> point = parseSamplePoint(r.samplePoint);
        if (!point) {
            *error = QStringLiteral("\"%1\" is no sample point: give a percentage such as 87.5")
                         .arg(r.samplePoint);
            return out;
        }
        request.samplePoint = *point;
    }
    if (!r.jumpWidth.isEmpty()) {
        bool ok = false;
        request.jumpWidth = r.jumpWidth.toInt(&ok);
        if (!ok)
            request.jumpWidth = 0;
    }
    const Computed computed{list, *rate, request.jumpWidth, can::calculateBitTiming(request)};
    if (!computed.result.error.isEmpty()) {
        *error = computed.result.error;
        return out;
    }
    out.text = computedText(computed);
    out.json = computedJson(computed);
    out.good = computed.result.reachable;
    return out;
}

}  // namespace

bool isTimingCommand(const QStringList& arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments.at(i);
        if (takesValue(arg))
            ++i;
        else if (!arg.startsWith(QLatin1Char('-')))
            return arg == QLatin1String("timing");
    }
    return false;
}

int runTimingCommand(const QStringList& arguments)
{
    const TimingOptions o = parseTimingOptions(arguments);
    if (o.help) {
        print(timingUsageText());
        return kDone;
    }
    if (!o.error.isEmpty()) {
        complain(QStringLiteral("corvelle-cli: %1\nTry \"corvelle-cli timing --help\".").arg(o.error));
        return kBadUsage;
    }
    struct Phase {
        const PhaseRequest* request;
        RateList list;
    };
    QVector<Phase> phases;
    if (!o.bit.rate.isEmpty() || !o.bit.decode.isEmpty())
        phases.push_back({&o.bit, o.family == 2 ? RateList::Arbitration : RateList::Classic});
    if (!o.data.rate.isEmpty() || !o.data.decode.isEmpty())
        phases.push_back({&o.data, RateList::Data});

    QJsonObject json{{QStringLiteral("family"), o.family}};
    QStringList texts;
    bool good = true;
    for (const Phase& phase : phases) {
        QString error;
        const PhaseOutcome outcome = runPhase(*phase.request, phase.list, o.candidates, &error);
        if (!error.isEmpty()) {
            complain(QStringLiteral("corvelle-cli: %1").arg(error));
            return kBadUsage;
        }
        texts << outcome.text;
        json.insert(QString::fromLatin1(phaseName(phase.list)), outcome.json);
        good = good && outcome.good;
    }
    if (o.json)
        print(QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Indented)));
    else
        print(texts.join(QLatin1Char('\n')));
    // A rate out of reach, or a register that is no timing, fails a script.
    return good ? kDone : kDeviceFailed;
}

QString timingUsageText()
{
    return QStringLiteral(
        "Usage: corvelle-cli timing --family 1 --rate RATE [--sample-point P] [--sjw N]\n"
        "       corvelle-cli timing --family 2 --rate RATE [--sample-point P] [--sjw N]\n"
        "                           [--data-rate RATE [--data-sample-point P] [--data-sjw N]]\n"
        "       corvelle-cli timing --family 1|2 --decode REGISTER [--data-decode REGISTER]\n"
        "Bit-timing registers for a wanted rate and sample point, or what a register means.\n"
        "Needs no device.\n"
        "\n"
        "  --family 1|2           1: classic channels (36 MHz clock); 2: CAN FD channels\n"
        "                         (arbitration and data phase, 60 MHz clock)\n"
        "  --rate RATE            the wanted rate in bit/s: 83333, 83.333k, 500k, 1M\n"
        "  --sample-point P       the wanted sample point in percent (87.5) or as a fraction\n"
        "                         (0.875); default 87.5 up to 500 kbit/s, 80 up to 800 kbit/s,\n"
        "                         75 above\n"
        "  --sjw N                the resynchronisation jump width in time quanta (default 1)\n"
        "  --data-rate, --data-sample-point, --data-sjw  the same for the data phase\n"
        "  --decode REGISTER      explains a register (eight hexadecimal digits, 0x0012000B)\n"
        "  --data-decode REGISTER explains a data-phase register\n"
        "  --candidates N         list at most N timings (default 10)\n"
        "  --json                 the register and the candidates as JSON\n"
        "\n"
        "Candidates are ranked: the exact rate before any error, then the sample point\n"
        "nearest the wanted one, then more time quanta. The first is the register to use.\n"
        "\n"
        "Exit codes: 0 done; 1 the rate is not reachable within 5 %, or the register is\n"
        "no valid timing; 2 bad usage.\n");
}

}  // namespace cli
