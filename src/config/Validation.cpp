#include "Validation.h"

#include "ConfigFile.h"

#include "operations/BitTiming.h"
#include "operations/FibreCodec.h"
#include "operations/FilterCodec.h"
#include "operations/RegisterText.h"

#include <algorithm>

namespace config {

namespace {

constexpr const char* kContext = "Validation";

Finding refused(const QString& where, const UserMessage& what)
{
    return {Finding::Kind::Refused, where, what, {}};
}

Finding asked(const QString& where, const UserMessage& what)
{
    return {Finding::Kind::Asked, where, what, {}};
}

QString canPlace(int number)
{
    return QStringLiteral("CAN%1").arg(number);
}

QString fibrePlace(int number)
{
    return QStringLiteral("Fiber%1").arg(number);
}

// The classic all-zero code asks the device to detect the bus's rate.
bool isSelfAdaption(const QString& text, can::RateList list)
{
    return list == can::RateList::Classic && can::rateTextToBytes(text) == QByteArray(4, '\0');
}

// Four bytes that are no timing the controller can run.
bool isInvalidTiming(const QString& text, can::RateList list)
{
    return can::isFourByteRateText(text) && !isSelfAdaption(text, list) &&
           !can::decodeBitTiming(can::rateTextToBytes(text), list).valid;
}

void checkFilters(const CanChannel& c, int number, const Shape& shape, Findings* findings)
{
    if (shape.canFd() && c.filters.isEmpty()) {
        // The device cannot be told "no filter".
        findings->push_back(
            refused(canPlace(number), {"CANParamWidget",
                                       "channel %1: a CAN FD channel needs at least one filter row",
                                       {QString::number(number)}}));
        return;
    }
    const can::FilterEncoding encoding =
        shape.canFd() ? can::filterCommands(c.filters, number) : can::filterBankCommands(c.filters, number);
    if (encoding.ok())
        return;
    Finding finding = refused(canPlace(number), encoding.message);
    // The limits of the table ("filter at most 14") do not name the channel.
    if (encoding.message.args.isEmpty())
        finding.prefix = {kContext, "channel %1: ", {QString::number(number)}};
    findings->push_back(finding);
}

void checkChannel(const CanChannel& c, int number, const Shape& shape, Findings* findings)
{
    using can::RateField;
    const QString where = canPlace(number);
    const can::RateList list = shape.canFd() ? can::RateList::Arbitration : can::RateList::Classic;
    const UserMessage rate = can::checkRateText(
        c.rateText, number, shape.canFd() ? RateField::ArbitrationRate : RateField::BitRate);
    if (!rate.isEmpty())
        findings->push_back(refused(where, rate));
    else if (isInvalidTiming(c.rateText, list))
        findings->push_back(asked(where, {"CorvelleRepeater",
                                          "channel %1: %2 is not a valid bit timing.",
                                          {QString::number(number), c.rateText}}));
    if (shape.canFd()) {
        if (c.mode < 0 || c.mode >= shape.modeCount || (c.mode == 1 && (c.fd < 0 || c.fd > 1)))
            findings->push_back(refused(where, {"CANParamWidget",
                                                "channel %1: choose the mode and the FD standard",
                                                {QString::number(number)}}));
        // The data phase goes to the device only in mode "CANFD".
        if (c.mode == 1) {
            const UserMessage data = can::checkRateText(c.dataRateText, number, RateField::DataRate);
            if (!data.isEmpty())
                findings->push_back(refused(where, data));
            else if (isInvalidTiming(c.dataRateText, can::RateList::Data))
                findings->push_back(asked(where, {"CorvelleRepeater",
                                                  "channel %1: data rate %2 is not a valid bit timing.",
                                                  {QString::number(number), c.dataRateText}}));
        }
    }
    checkFilters(c, number, shape, findings);
}

// The fibre rates a family-2 device runs span its listed ones.
std::pair<std::uint32_t, std::uint32_t> family2FibreRange()
{
    static const std::pair<std::uint32_t, std::uint32_t> range = [] {
        std::uint32_t low = fibre::kMaxRate;
        std::uint32_t high = 0;
        for (const char* text : fibre::kFamily2Rates) {
            const std::uint32_t rate = fibre::rateFromText(QString::fromLatin1(text));
            low = std::min(low, rate);
            high = std::max(high, rate);
        }
        return std::pair{low, high};
    }();
    return range;
}

void checkFibre(const QString& text, int number, const Shape& shape, Findings* findings)
{
    const QString where = fibrePlace(number);
    if (!shape.canFd()) {
        // No entry ("") is sent as code 0x00, as the editors send an empty selector.
        const int count = fibre::family1RateCount(shape.nCAN, shape.nFiberOptic);
        const int index = configfile::family1BaudIndex(text);
        if (!text.isEmpty() && (index < 0 || index >= count))
            findings->push_back(refused(where, {kContext,
                                                "Fiber%1: \"%2\" is no rate code of this device (01 to %3)",
                                                {QString::number(number), text,
                                                 configfile::family1BaudString(QByteArray(
                                                     1, char(fibre::kFamily1Rates[count - 1].code)))}}));
        return;
    }
    const std::uint32_t rate = fibre::rateFromText(text);
    if (rate == 0) {
        findings->push_back(refused(where, {"CorvelleRepeater",
                                            "Fiber%1: enter a baud rate from 1 to %2",
                                            {QString::number(number), QString::number(fibre::kMaxRate)}}));
        return;
    }
    const auto [low, high] = family2FibreRange();
    if (rate < low || rate > high)
        findings->push_back(asked(
            where,
            {"CorvelleRepeater",
             "Fiber%1: %2 bit/s is outside the rates the device runs (%3 to %4 bit/s).",
             {QString::number(number), QString::number(rate), QString::number(low), QString::number(high)}}));
}

UserMessage tooMany(const char* text, int given, int held)
{
    return {kContext, text, {QString::number(given), QString::number(held)}};
}

}  // namespace

Findings checkConfiguration(const Configuration& configuration, const Shape& shape)
{
    Findings findings;
    const int channels = std::min<int>(configuration.channels.size(), shape.nCAN);
    for (int i = 0; i < channels; ++i)
        checkChannel(configuration.channels.at(i), i + 1, shape, &findings);
    const int fibres = std::min<int>(configuration.fibreRates.size(), shape.nFiberOptic);
    for (int i = 0; i < fibres; ++i)
        checkFibre(configuration.fibreRates.at(i), i + 1, shape, &findings);
    return findings;
}

Findings checkFile(const FileReadResult& file, const Shape& shape)
{
    Findings findings;
    for (const configfile::RepeatedMember& repeat : file.repeats)
        findings.push_back(refused(QString(), {kContext,
                                               "member \"%1\" is given again at offset %2",
                                               {repeat.key, QString::number(repeat.offset)}}));
    if (file.otherFamily) {
        findings.push_back(
            refused(QString(), {kContext,
                                "a configuration of a family-%1 device; this device is of family %2",
                                {QString::number(shape.canFd() ? 1 : 2), QString::number(shape.family)}}));
        return findings;
    }
    const Configuration& c = file.configuration;
    const int ports = shape.ports().count();
    if (c.channels.size() > shape.nCAN)
        findings.push_back(refused(QString(), tooMany("the file has %1 CAN channels; this device has %2",
                                                      c.channels.size(), shape.nCAN)));
    if (c.fibreRates.size() > shape.nFiberOptic)
        findings.push_back(refused(QString(), tooMany("the file has %1 fibre channels; this device has %2",
                                                      c.fibreRates.size(), shape.nFiberOptic)));
    if (c.routes.size() > ports)
        findings.push_back(refused(
            QString(), tooMany("the file has %1 route ports; this device has %2", c.routes.size(), ports)));
    for (int p = 0; p < c.routes.size() && p < ports; ++p) {
        if (c.routes.at(p).size() > ports)
            findings.push_back(refused(QStringLiteral("Port%1").arg(p + 1),
                                       {kContext,
                                        "Port%1: the route row is longer than this device's %2 ports",
                                        {QString::number(p + 1), QString::number(ports)}}));
    }
    if (!findings.isEmpty())
        return findings;
    // Opening shows a classic rate as the bytes its text gives, and a family-1
    // fibre code as an entry of the list: values those would change are refused
    // as the file spells them. Every other value is opened as it stands and
    // checked when it is written.
    if (!shape.canFd()) {
        for (int i = 0; i < c.channels.size(); ++i) {
            const UserMessage rate =
                can::checkRateText(c.channels.at(i).rateText, i + 1, can::RateField::BitRate);
            if (!rate.isEmpty())
                findings.push_back(refused(canPlace(i + 1), rate));
        }
        for (int i = 0; i < c.fibreRates.size(); ++i)
            checkFibre(c.fibreRates.at(i), i + 1, shape, &findings);
    }
    return findings;
}

Findings checkShapeFits(const Shape& made, const Shape& device)
{
    if (made.family != device.family)
        return {refused(QString(),
                        {kContext,
                         "a configuration prepared for a family-%1 device; this device is of family %2",
                         {QString::number(made.family), QString::number(device.family)}})};
    Findings findings;
    if (made.nCAN > device.nCAN)
        findings.push_back(refused(
            QString(),
            tooMany("the configuration has %1 CAN channels; this device has %2", made.nCAN, device.nCAN)));
    if (made.nFiberOptic > device.nFiberOptic)
        findings.push_back(
            refused(QString(), tooMany("the configuration has %1 fibre channels; this device has %2",
                                       made.nFiberOptic, device.nFiberOptic)));
    return findings;
}

Findings checkFirmwareImage(const QByteArray& image)
{
    if (!image.isEmpty())
        return {};
    return {refused(QString(), {"CorvelleRepeater", "the firmware image is empty", {}})};
}

Findings ofKind(const Findings& findings, Finding::Kind kind)
{
    Findings kept;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(kept),
                 [kind](const Finding& f) { return f.kind == kind; });
    return kept;
}

QString findingsText(const Findings& findings)
{
    QStringList lines;
    for (const Finding& f : findings)
        lines << f.text();
    return lines.join(QLatin1Char('\n'));
}

}  // namespace config
