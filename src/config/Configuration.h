#pragma once
// One device's configuration as plain data, and the configuration file read
// into it and written from it. It is the store of both programs: the device
// session reads the device into it and writes it to the device, the window's
// editors show it, corvelle-cli prints it, and two of them are compared.
//
// The model holds what the editors show: a channel's register texts as they
// stand in its line edits, the indices of its combo boxes (-1 for none), the
// fibre rates as the file spells them.

#include "RepeatedKeys.h"

#include "operations/ConfigTransfer.h"
#include "operations/FilterCodec.h"
#include "operations/RouteCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

namespace config {

struct CanChannel {
    QString rateText;      // classic "BaudRate", CAN FD "ArbitrateRate"
    QString dataRateText;  // CAN FD "DataRate"
    int mode = 0;          // CAN FD: 0 "CAN", 1 "CANFD"
    int fd = 0;            // CAN FD: 0 "ISO", 1 "UN-ISO"
    QVector<can::FilterRow> filters;
};

inline bool operator==(const CanChannel& a, const CanChannel& b)
{
    return a.rateText == b.rateText && a.dataRateText == b.dataRateText && a.mode == b.mode && a.fd == b.fd &&
           a.filters == b.filters;
}

struct Configuration {
    QVector<CanChannel> channels;
    // Family 1: the entry's code as two lower-case hexadecimal digits ("0b"),
    // empty for none; family 2: the rate in bit/s as decimal text.
    QStringList fibreRates;
    route::Matrix routes;  // one row per source port
};

// The same texts in every field; differences() also takes a register spelled
// otherwise ("00000000", "00 00 00 00") as the same value.
inline bool operator==(const Configuration& a, const Configuration& b)
{
    return a.channels == b.channels && a.fibreRates == b.fibreRates && a.routes == b.routes;
}

// What the device is: its family and its channel counts, and how many modes
// its CAN FD channels offer (1 "CAN" only, or 2 with "CANFD").
struct Shape {
    int family = 2;
    int nCAN = 0;
    int nFiberOptic = 0;
    int modeCount = 2;

    bool canFd() const { return family == 2; }
    route::Ports ports() const { return {nCAN, nFiberOptic}; }
};

// The number of modes a CAN FD device of this hardware type offers.
int modeCountFor(int hardwareType);

// --- the file ---

// The file text for a device of this family (Qt's indented JSON).
QByteArray fileText(const Configuration& configuration, bool canFd);

struct FileReadResult {
    bool ok = false;
    QString error;        // in English: what is wrong and where (offset or member)
    QString parserError;  // the JSON parser's own description, as the window shows it
    // The channels carry the other family's rate members and none of this one's.
    bool otherFamily = false;
    QVector<configfile::RepeatedMember> repeats;  // members given twice; the last one is taken
    Configuration configuration;                  // as many channels, fibres and routes as the file holds
};
// Reads a file's text; route rows keep at most maxCells cells when that is not negative.
FileReadResult readFileText(const QByteArray& text, bool canFd, int maxCells = -1);

// --- the configuration as a device's editors hold it ---

// What newly built editors show.
Configuration defaultConfiguration(const Shape& shape);
// Opening a file: the CAN channels are rebuilt (those the file does not give
// get the defaults), the fibres and routes the file gives replace those of
// current, the others stay. Register texts that name a listed rate show that
// entry's text.
Configuration openedConfiguration(const Configuration& current, const Configuration& file,
                                  const Shape& shape);
// What "Default" fills in on a classic device before it writes.
Configuration family1Defaults(const Shape& shape);
// What a configuration prepared without a device starts from: on a classic
// device what "Default" writes; on CAN FD 500K arbitration and 2M data in
// mode "CANFD" where the model has it, ISO, one filter row that passes every
// standard frame (a CAN FD channel needs one) and 115200 bit/s on the fibres.
Configuration preparedDefaults(const Shape& shape);

// One difference between two configurations, for the verify report.
struct Difference {
    QString where;  // "CAN1", "Fiber2", "Route3"
    QString field;  // "BaudRate", "DataList[0]", ...
    QString written;
    QString readBack;
};
QVector<Difference> differences(const Configuration& written, const Configuration& readBack,
                                const Shape& shape);

// The read sink and the write source over a configuration. The source's
// refusals keep their message instead of showing it.
class ConfigurationTransfer final : public ConfigReadSink, public ConfigWriteSource {
public:
    ConfigurationTransfer(Configuration& configuration, const Shape& shape);

    // Why the last channel the write asked for was refused (config::checkConfiguration refuses it first).
    UserMessage lastRefusal() const { return m_refusal; }

    void setBaudRateBytes(int channel, const QByteArray& timing) override;
    void decodeFilterBanks(int channel, const QList<QByteArray>& records) override;
    void setFibreCode(int fibre, quint8 code) override;
    void decodeRouteBytes(const QByteArray& answer) override;
    void setFDConfig(int channel, int mode, int fd, const QByteArray& arbitration,
                     const QByteArray& data) override;
    void setRouteWord(int source, const QByteArray& word) override;
    void decodeFilterRecords(int channel, const QList<QByteArray>& records) override;
    void setFibreBaud(int fibre, const QByteArray& baud) override;

    bool channelRequests(int channel, QByteArray* timingRequest, QList<QByteArray>* bankRequests) override;
    QByteArray fibreRequest() override;
    QByteArray routeRequest() override;
    bool channelSettings(int channel, Family2ChannelSettings* settings) override;
    QList<QByteArray> filterCommands(int channel) override;
    QByteArray fibreBaudBytes(int fibre) override;
    QByteArray routeWord(int source) override;

private:
    CanChannel* channel(int i);
    void appendRows(int channel, const QVector<can::FilterRow>& rows);
    void setRow(int source, const route::Row& row, bool includeSamePort);
    UserMessage channelProblem(int i);

    Configuration& m_configuration;
    Shape m_shape;
    UserMessage m_refusal;
};

}  // namespace config
