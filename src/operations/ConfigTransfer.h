#pragma once
// Reading and writing the whole configuration of a device, for both families.
// The sequences know the requests, their order, the bytes that carry over from
// one request to the next, the timeouts and the success tests; the editors are
// reached only through the sink (read) and the source (write), which the main
// window implements over its widgets.

#include "UserMessage.h"

#include "device/HIDDevice.h"

#include <QByteArray>
#include <QList>

// The outcome of a sequence: ok, or failed with a message to show (an empty
// message: the failure ends silently, or its message was shown already).
struct TransferResult {
    bool ok = true;
    UserMessage message;

    static TransferResult success() { return {}; }
    static TransferResult failure(const char* text = nullptr);
};

// Where a read puts what the device answered. Channels and fibres count from 0.
class ConfigReadSink {
public:
    virtual ~ConfigReadSink() = default;
    // family 1
    virtual void setBaudRateBytes(int channel, const QByteArray& timing) = 0;
    virtual void decodeFilterBanks(int channel, const QList<QByteArray>& records) = 0;
    virtual void setFibreCode(int fibre, quint8 code) = 0;
    virtual void decodeRouteBytes(const QByteArray& answer) = 0;
    // family 2
    virtual void setFDConfig(int channel, int mode, int fd, const QByteArray& arbitration,
                             const QByteArray& data) = 0;
    virtual void setRouteWord(int source, const QByteArray& word) = 0;
    virtual void decodeFilterRecords(int channel, const QList<QByteArray>& records) = 0;
    virtual void setFibreBaud(int fibre, const QByteArray& baud) = 0;
};

// The settings of one family-2 CAN channel, as the write sends them.
struct Family2ChannelSettings {
    int mode = 0;  // 0 CAN, 1 CAN FD
    int fd = 0;    // 0 ISO, 1 non-ISO
    QByteArray arbitration;
    QByteArray data;
    QByteArray routeWord;
};

// Where a write takes the configuration from. A source that refuses a channel
// (a validation message was shown) returns false or an empty list, and the
// write then ends without a further message.
class ConfigWriteSource {
public:
    virtual ~ConfigWriteSource() = default;
    // family 1: the bit-timing request and the 14 filter-bank requests of a
    // channel counted from 1.
    virtual bool channelRequests(int channel, QByteArray* timingRequest, QList<QByteArray>* bankRequests) = 0;
    virtual QByteArray fibreRequest() = 0;  // 00 12 25 05 00 and one code per fibre
    virtual QByteArray routeRequest() = 0;  // 00 12 27 09 00 and the route bytes
    // family 2, channels counted from 0
    virtual bool channelSettings(int channel, Family2ChannelSettings* settings) = 0;
    virtual QList<QByteArray> filterCommands(int channel) = 0;  // channel counted from 1
    virtual QByteArray fibreBaudBytes(int fibre) = 0;
    virtual QByteArray routeWord(int source) = 0;
};

TransferResult readFamily1Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigReadSink& sink);
TransferResult readFamily2Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigReadSink& sink);
TransferResult writeFamily1Config(HIDDevice& device, int nCAN, ConfigWriteSource& source);
TransferResult writeFamily2Config(HIDDevice& device, int nCAN, int nFiberOptic, ConfigWriteSource& source);

// The family-2 channel-configuration write request (48 bytes); channel from 1.
QByteArray family2ChannelRequest(int channel, const Family2ChannelSettings& settings);
// The family-2 fibre-configuration write request (48 bytes); fibre from 1.
QByteArray family2FibreRequest(int fibre, const QByteArray& baud, const QByteArray& routeWord);

// The family-2 restore-defaults request; false when it was not written in full.
bool sendFamily2Defaults(HIDDevice& device);
