#include "Configuration.h"

#include "ConfigFile.h"

#include "operations/BitTiming.h"
#include "operations/FibreCodec.h"
#include "operations/RateTables.h"
#include "operations/RegisterText.h"

#include <QJsonArray>

namespace config {

namespace {

// Hardware types above this one can run their channels in CAN FD mode.
constexpr int kLastClassicOnlyHardwareType = 0x12;
constexpr int kKindCount = 2;         // both families: two frame kinds / work modes
constexpr int kClassicModeCount = 2;  // 16 and 32 bit
constexpr int kCanFdFilterModes = 3;  // range, clear, mask
constexpr int kFdStandardCount = 2;   // ISO, UN-ISO
const QString kEmptyRegister = QStringLiteral("00 00 00 00");

int indexIn(int index, int count)
{
    return index >= 0 && index < count ? index : -1;
}

// The text a rate editor shows for these register bytes: the listed entry's
// own text when one has them, else the custom text.
QString shownRate(can::RateList list, const QByteArray& bytes, const QString& customText)
{
    const can::RateTable table = can::rateTable(list);
    for (int i = 0; i < table.count; ++i) {
        const QByteArray data = QByteArray::fromHex(table.entries[i].registerHex);
        if (data == bytes)
            return can::rateSelectionText(data);
    }
    return customText;
}

QString shownRateOfBytes(can::RateList list, const QByteArray& bytes)
{
    return shownRate(list, bytes, can::customRateText(bytes));
}

QString firstEntryText(can::RateList list)
{
    return can::rateSelectionText(QByteArray::fromHex(can::rateTable(list).entries[0].registerHex));
}

can::FilterRow shownRow(const can::FilterRow& row, bool canFd)
{
    return {indexIn(row.kind, kKindCount), indexIn(row.mode, canFd ? kCanFdFilterModes : kClassicModeCount),
            row.idText, row.maskText};
}

// Family 1: the entry at index as the file spells it; empty for none.
QString family1RateText(int index)
{
    return index < 0 ? QString()
                     : configfile::family1BaudString(QByteArray(1, char(fibre::kFamily1Rates[index].code)));
}

quint8 family1Code(const QString& text, const Shape& shape)
{
    const int index =
        indexIn(configfile::family1BaudIndex(text), fibre::family1RateCount(shape.nCAN, shape.nFiberOptic));
    return index < 0 ? 0 : fibre::kFamily1Rates[index].code;
}

void setRouteCells(route::Matrix& matrix, int source, const route::Row& row, bool includeSamePort)
{
    if (source < 0 || source >= matrix.size())
        return;
    route::Row& cells = matrix[source];
    for (int d = 0; d < cells.size() && d < row.size(); ++d) {
        if (d != source || includeSamePort)
            cells[d] = row[d];
    }
}

QString filterText(const can::FilterRow& row)
{
    return configfile::filterString(row.kind, row.mode, row.idText, row.maskText);
}

bool sameRow(const can::FilterRow& a, const can::FilterRow& b)
{
    // The same text is the same register; other texts may still spell it.
    auto same = [](const QString& x, const QString& y) {
        return x == y || can::filterTextToBytes(x) == can::filterTextToBytes(y);
    };
    return a.kind == b.kind && a.mode == b.mode && same(a.idText, b.idText) && same(a.maskText, b.maskText);
}

}  // namespace

int modeCountFor(int hardwareType)
{
    return hardwareType > kLastClassicOnlyHardwareType ? 2 : 1;
}

// --- the file ---

QByteArray fileText(const Configuration& configuration, bool canFd)
{
    QJsonArray channels;
    for (int i = 0; i < configuration.channels.size(); ++i) {
        const CanChannel& c = configuration.channels.at(i);
        QJsonArray filters;
        for (const can::FilterRow& row : c.filters)
            filters << filterText(row);
        QJsonObject channel =
            canFd ? configfile::canFdChannel(c.rateText, c.dataRateText, c.mode, c.fd, filters)
                  : configfile::classicChannel(c.rateText, filters);
        channel.insert(QLatin1String(configfile::kChannelId), i + 1);
        channels << channel;
    }
    QStringList route;
    for (const route::Row& row : configuration.routes)
        route << configfile::routeString(row);
    return configfile::serialize(channels, configuration.fibreRates, route);
}

FileReadResult readFileText(const QByteArray& text, bool canFd, int maxCells)
{
    FileReadResult result;
    const configfile::ParseResult parsed = configfile::parse(text);
    result.parserError = parsed.parserError;
    result.repeats = parsed.repeats;
    if (!parsed.ok) {
        result.error = parsed.problem;
        return result;
    }
    using namespace configfile;
    const QLatin1String ownKey(canFd ? kArbitrateRate : kBaudRate);
    const QLatin1String otherKey(canFd ? kBaudRate : kArbitrateRate);
    int own = 0;
    int other = 0;
    for (const QJsonObject& object : parsed.document.channels) {
        own += object.contains(ownKey) ? 1 : 0;
        other += object.contains(otherKey) ? 1 : 0;
        CanChannel c;
        if (canFd) {
            c.rateText = object.value(QLatin1String(kArbitrateRate)).toString();
            c.dataRateText = object.value(QLatin1String(kDataRate)).toString();
            c.mode = intMember(object, kMode);
            c.fd = intMember(object, kFd);
        } else {
            c.rateText = object.value(QLatin1String(kBaudRate)).toString();
        }
        for (const FilterFields& f : filterFields(object, !canFd))
            c.filters.push_back({f.kind, f.mode, f.idText, f.maskText});
        result.configuration.channels << c;
    }
    result.otherFamily = own == 0 && other > 0;
    result.configuration.fibreRates = parsed.document.baud;
    for (const QString& row : parsed.document.route)
        result.configuration.routes << parseRouteString(row, maxCells);
    result.ok = true;
    return result;
}

// --- the configuration as the editors hold it ---

Configuration defaultConfiguration(const Shape& shape)
{
    Configuration c;
    CanChannel channel;
    channel.rateText = firstEntryText(shape.canFd() ? can::RateList::Arbitration : can::RateList::Classic);
    if (shape.canFd())
        channel.dataRateText = firstEntryText(can::RateList::Data);
    c.channels.fill(channel, shape.nCAN);
    for (int i = 0; i < shape.nFiberOptic; ++i)
        c.fibreRates << (shape.canFd() ? QString::fromLatin1(fibre::kFamily2Rates[0]) : family1RateText(0));
    c.routes = route::defaultMatrix(shape.ports());
    return c;
}

Configuration openedConfiguration(const Configuration& current, const Configuration& file, const Shape& shape)
{
    Configuration result = current;
    const Configuration fresh = defaultConfiguration(shape);
    result.channels = fresh.channels;
    for (int i = 0; i < file.channels.size() && i < shape.nCAN; ++i) {
        const CanChannel& given = file.channels.at(i);
        CanChannel& c = result.channels[i];
        if (shape.canFd()) {
            c.rateText =
                shownRate(can::RateList::Arbitration, can::rateTextToBytes(given.rateText), given.rateText);
            c.dataRateText =
                shownRate(can::RateList::Data, can::rateTextToBytes(given.dataRateText), given.dataRateText);
            c.fd = indexIn(given.fd, kFdStandardCount);
            c.mode = indexIn(given.mode, shape.modeCount);
        } else {
            c.rateText = shownRateOfBytes(can::RateList::Classic, can::rateTextToBytes(given.rateText));
        }
        for (const can::FilterRow& row : given.filters)
            c.filters.push_back(shownRow(row, shape.canFd()));
    }
    for (int i = 0; i < file.fibreRates.size() && i < shape.nFiberOptic && i < result.fibreRates.size();
         ++i) {
        const QString& text = file.fibreRates.at(i);
        if (!shape.canFd()) {
            const int index = configfile::family1BaudIndex(text);
            const int count = fibre::family1RateCount(shape.nCAN, shape.nFiberOptic);
            result.fibreRates[i] = family1RateText(index < count ? index : -1);
        } else if (text != QString::fromLatin1(fibre::kCustomText)) {
            // "custom" itself selects the entry and leaves its rate as it was.
            result.fibreRates[i] = text;
        }
    }
    for (int p = 0; p < file.routes.size() && p < shape.ports().count(); ++p)
        setRouteCells(result.routes, p, file.routes.at(p), true);
    return result;
}

Configuration family1Defaults(const Shape& shape)
{
    Configuration c = defaultConfiguration(shape);
    const can::RateTable table = can::rateTable(can::RateList::Classic);
    for (int i = 0; i < table.count; ++i) {
        if (QLatin1String(table.entries[i].text) == QLatin1String("10K")) {
            for (CanChannel& channel : c.channels)
                channel.rateText = can::rateSelectionText(QByteArray::fromHex(table.entries[i].registerHex));
        }
    }
    for (CanChannel& channel : c.channels)
        channel.filters.push_back({0, 1, kEmptyRegister, kEmptyRegister});  // a new row: mask mode, 32 bit
    for (int i = 0; i < c.fibreRates.size(); ++i)
        c.fibreRates[i] = configfile::family1BaudString(QByteArray(1, char(fibre::kFamily1DefaultCode)));
    return c;
}

Configuration preparedDefaults(const Shape& shape)
{
    if (!shape.canFd())
        return family1Defaults(shape);
    Configuration c = defaultConfiguration(shape);
    auto entryText = [](can::RateList list, const char* text) {
        const can::RateTable table = can::rateTable(list);
        for (int i = 0; i < table.count; ++i) {
            if (QLatin1String(table.entries[i].text) == QLatin1String(text))
                return can::rateSelectionText(QByteArray::fromHex(table.entries[i].registerHex));
        }
        return firstEntryText(list);
    };
    for (CanChannel& channel : c.channels) {
        channel.rateText = entryText(can::RateList::Arbitration, "500K");
        channel.dataRateText = entryText(can::RateList::Data, "2M");
        channel.mode = shape.modeCount > 1 ? 1 : 0;
        channel.filters.push_back({0, 2, kEmptyRegister, kEmptyRegister});  // standard frames, mask 0
    }
    for (QString& rate : c.fibreRates)
        rate = QStringLiteral("115200");
    return c;
}

QVector<Difference> differences(const Configuration& written, const Configuration& readBack,
                                const Shape& shape)
{
    QVector<Difference> list;
    auto differ = [&list](const QString& where, const QString& field, const QString& a, const QString& b) {
        list.push_back({where, field, a, b});
    };
    for (int i = 0; i < shape.nCAN && i < written.channels.size() && i < readBack.channels.size(); ++i) {
        const CanChannel& a = written.channels.at(i);
        const CanChannel& b = readBack.channels.at(i);
        const QString where = QStringLiteral("CAN%1").arg(i + 1);
        const char* rateKey = shape.canFd() ? configfile::kArbitrateRate : configfile::kBaudRate;
        if (a.rateText != b.rateText && can::rateTextToBytes(a.rateText) != can::rateTextToBytes(b.rateText))
            differ(where, QLatin1String(rateKey), a.rateText, b.rateText);
        if (shape.canFd()) {
            if (a.mode != b.mode)
                differ(where, QLatin1String(configfile::kMode), QString::number(a.mode),
                       QString::number(b.mode));
            // The data phase and the FD standard are sent only in mode "CANFD".
            if (a.mode == 1 && a.fd != b.fd)
                differ(where, QLatin1String(configfile::kFd), QString::number(a.fd), QString::number(b.fd));
            if (a.mode == 1 && can::rateTextToBytes(a.dataRateText) != can::rateTextToBytes(b.dataRateText))
                differ(where, QLatin1String(configfile::kDataRate), a.dataRateText, b.dataRateText);
        }
        for (int r = 0; r < qMax(a.filters.size(), b.filters.size()); ++r) {
            if (r < a.filters.size() && r < b.filters.size() && sameRow(a.filters.at(r), b.filters.at(r)))
                continue;
            const QString wa = r < a.filters.size() ? filterText(a.filters.at(r)) : QString();
            const QString rb = r < b.filters.size() ? filterText(b.filters.at(r)) : QString();
            differ(where, QStringLiteral("%1[%2]").arg(QLatin1String(configfile::kDataList)).arg(r), wa, rb);
        }
    }
    for (int i = 0; i < shape.nFiberOptic && i < written.fibreRates.size() && i < readBack.fibreRates.size();
         ++i) {
        if (written.fibreRates.at(i) != readBack.fibreRates.at(i))
            differ(QStringLiteral("Fiber%1").arg(i + 1), QLatin1String(configfile::kBaud),
                   written.fibreRates.at(i), readBack.fibreRates.at(i));
    }
    for (int p = 0; p < shape.ports().count() && p < written.routes.size() && p < readBack.routes.size();
         ++p) {
        if (written.routes.at(p) != readBack.routes.at(p))
            differ(QStringLiteral("Port%1").arg(p + 1), QLatin1String(configfile::kRoute),
                   configfile::routeString(written.routes.at(p)),
                   configfile::routeString(readBack.routes.at(p)));
    }
    return list;
}

// --- the read sink and the write source ---

ConfigurationTransfer::ConfigurationTransfer(Configuration& configuration, const Shape& shape)
    : m_configuration(configuration), m_shape(shape)
{
}

CanChannel* ConfigurationTransfer::channel(int i)
{
    return i >= 0 && i < m_configuration.channels.size() ? &m_configuration.channels[i] : nullptr;
}

void ConfigurationTransfer::appendRows(int i, const QVector<can::FilterRow>& rows)
{
    if (CanChannel* c = channel(i)) {
        for (const can::FilterRow& row : rows)
            c->filters.push_back(shownRow(row, m_shape.canFd()));
    }
}

void ConfigurationTransfer::setRow(int source, const route::Row& row, bool includeSamePort)
{
    setRouteCells(m_configuration.routes, source, row, includeSamePort);
}

void ConfigurationTransfer::setBaudRateBytes(int i, const QByteArray& timing)
{
    if (CanChannel* c = channel(i))
        c->rateText = shownRateOfBytes(can::RateList::Classic, timing);
}

void ConfigurationTransfer::decodeFilterBanks(int i, const QList<QByteArray>& records)
{
    appendRows(i, can::decodeFilterBanks(records));
}

void ConfigurationTransfer::setFibreCode(int fibreIndex, quint8 code)
{
    if (fibreIndex >= 0 && fibreIndex < m_configuration.fibreRates.size())
        m_configuration.fibreRates[fibreIndex] = family1RateText(
            fibre::family1IndexForCode(code, fibre::family1RateCount(m_shape.nCAN, m_shape.nFiberOptic)));
}

void ConfigurationTransfer::decodeRouteBytes(const QByteArray& answer)
{
    for (int s = 0; s < m_shape.ports().count(); ++s) {
        if (const std::optional<route::Row> row = route::family1AnswerRow(answer, s, m_shape.ports()))
            setRow(s, *row, false);
    }
}

void ConfigurationTransfer::setFDConfig(int i, int mode, int fd, const QByteArray& arbitration,
                                        const QByteArray& data)
{
    if (CanChannel* c = channel(i)) {
        c->mode = indexIn(mode, m_shape.modeCount);
        c->fd = indexIn(fd, kFdStandardCount);
        c->rateText = shownRateOfBytes(can::RateList::Arbitration, arbitration);
        c->dataRateText = shownRateOfBytes(can::RateList::Data, data);
    }
}

void ConfigurationTransfer::setRouteWord(int source, const QByteArray& word)
{
    if (const std::optional<route::Row> row = route::decodeFamily2RouteBytes(word, m_shape.ports()))
        setRow(source, *row, true);
}

void ConfigurationTransfer::decodeFilterRecords(int i, const QList<QByteArray>& records)
{
    appendRows(i, can::decodeFilterRecords(records));
}

void ConfigurationTransfer::setFibreBaud(int fibreIndex, const QByteArray& baud)
{
    if (fibreIndex < 0 || fibreIndex >= m_configuration.fibreRates.size())
        return;
    const fibre::Family2Selection s = fibre::family2SelectionForRate(fibre::rateFromBytes(baud));
    m_configuration.fibreRates[fibreIndex] = s.index == fibre::kFamily2CustomIndex
                                                 ? s.customText
                                                 : QString::fromLatin1(fibre::kFamily2Rates[s.index]);
}

UserMessage ConfigurationTransfer::channelProblem(int i)
{
    CanChannel* c = channel(i);
    if (!c)
        return {};
    const int number = i + 1;
    using can::RateField;
    UserMessage message = can::checkRateText(
        c->rateText, number, m_shape.canFd() ? RateField::ArbitrationRate : RateField::BitRate);
    if (!message.isEmpty())
        return message;
    if (!m_shape.canFd())
        return can::filterBankCommands(c->filters, number).message;
    if (c->mode == 1 &&
        !(message = can::checkRateText(c->dataRateText, number, RateField::DataRate)).isEmpty())
        return message;
    if (c->mode < 0 || (c->mode == 1 && c->fd < 0))
        return {
            "CANParamWidget", "channel %1: choose the mode and the FD standard", {QString::number(number)}};
    // The device cannot be told "no filter".
    if (c->filters.isEmpty())
        return {"CANParamWidget",
                "channel %1: a CAN FD channel needs at least one filter row",
                {QString::number(number)}};
    return can::filterCommands(c->filters, number).message;
}

bool ConfigurationTransfer::channelRequests(int number, QByteArray* timingRequest,
                                            QList<QByteArray>* bankRequests)
{
    CanChannel* c = channel(number - 1);
    if (!c || !(m_refusal = channelProblem(number - 1)).isEmpty())
        return false;
    *timingRequest = can::bitTimingWriteRequest(number, can::rateTextToBytes(c->rateText));
    *bankRequests = can::filterBankCommands(c->filters, number).requests;
    return !timingRequest->isEmpty() && !bankRequests->isEmpty();
}

QByteArray ConfigurationTransfer::fibreRequest()
{
    QByteArray codes;
    for (int i = 0; i < m_shape.nFiberOptic; ++i)
        codes += char(i < m_configuration.fibreRates.size()
                          ? family1Code(m_configuration.fibreRates.at(i), m_shape)
                          : 0);
    return fibre::family1FibreRequest(codes);
}

QByteArray ConfigurationTransfer::routeRequest()
{
    return route::family1RouteRequest(m_configuration.routes, m_shape.ports());
}

bool ConfigurationTransfer::channelSettings(int i, Family2ChannelSettings* settings)
{
    CanChannel* c = channel(i);
    if (!c || !(m_refusal = channelProblem(i)).isEmpty())
        return false;
    settings->mode = c->mode;
    settings->fd = c->fd;
    settings->arbitration = can::rateTextToBytes(c->rateText);
    settings->data = can::rateTextToBytes(c->dataRateText);
    settings->routeWord = routeWord(i);
    return true;
}

QList<QByteArray> ConfigurationTransfer::filterCommands(int number)
{
    CanChannel* c = channel(number - 1);
    return c ? can::filterCommands(c->filters, number).requests : QList<QByteArray>();
}

QByteArray ConfigurationTransfer::fibreBaudBytes(int fibreIndex)
{
    const QString text = fibreIndex >= 0 && fibreIndex < m_configuration.fibreRates.size()
                             ? m_configuration.fibreRates.at(fibreIndex)
                             : QString();
    return fibre::rateBytes(fibre::rateFromText(text));
}

QByteArray ConfigurationTransfer::routeWord(int source)
{
    const route::Row row = source >= 0 && source < m_configuration.routes.size()
                               ? m_configuration.routes.at(source)
                               : route::Row();
    return route::family2RouteBytes(row, m_shape.ports());
}

}  // namespace config
