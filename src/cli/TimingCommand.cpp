#include "TimingCommand.h"

#include "CliOptions.h"
#include "TimingReport.h"

#include "operations/BitTiming.h"
#include "operations/BitTimingCalculator.h"

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
        const bool hasValue = splitInlineValue(&arg, &value);
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
