#pragma once
// How a virtual device answers one request: pure functions over its data,
// run under the device's lock.

#include "DeviceState.h"
#include "Firmware.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace sim {

struct DeviceData {
    int family = 2;
    models::Model model{};
    Identity identity;
    DeviceState state;
    FirmwareReceiver firmware;
};

struct Response {
    QList<QByteArray> answers;  // in order; family 1 answers are 16 bytes, family 2 48
    QStringList events;         // for the trace
};

// request: the report as written, zero-filled to 48 bytes.
Response respondFamily1(const QByteArray& request, DeviceData& data);
Response respondFamily2(const QByteArray& request, DeviceData& data);

// Family-1 status bytes at index 2 of an answer. A request the device cannot
// carry out (a channel or bank it does not have) is answered with kRefused.
constexpr quint8 kReadAnswered = 0x86;
constexpr quint8 kWriteAcknowledged = 0x81;
constexpr quint8 kRefused = 0x00;

}  // namespace sim
