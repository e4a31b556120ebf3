#pragma once
// One request/answer exchange with the device, by the rules both families
// share: a request counts as sent only when the full report length is
// reported written; an answer counts only when it has exactly the family's
// answer length (16 data bytes for family 1, 48 for family 2). Reports still
// queued from earlier requests are dropped before a request is sent, so an
// answer always follows its own request.

#include "device/HIDDevice.h"
#include "device/Protocol.h"

#include <QByteArray>

class Exchange {
public:
    Exchange(HIDDevice& device, int driveType) : m_device(device), m_driveType(driveType) {}

    int driveType() const { return m_driveType; }

    // Writes `length` bytes of the request (padded by HIDDevice to the report).
    bool send(const unsigned char* request, int length);
    bool send(const unsigned char* request) { return send(request, protocol::requestLength(m_driveType)); }
    // Reads one answer into `answer` (a 48-byte buffer), asking for the
    // family's read length; `firstRead` asks family 1 for 17 instead of 18.
    bool receive(unsigned char* answer, int timeoutMs, bool firstRead = false);
    // send, then receive.
    bool exchange(const unsigned char* request, unsigned char* answer, int timeoutMs);

private:
    void dropQueuedReports();

    HIDDevice& m_device;
    int m_driveType;
};

// A zero-filled family-2 report with the command's report id, class, code and
// argument at offsets 0 to 3.
inline QByteArray family2Request(const protocol::f2::Command& command)
{
    QByteArray request(protocol::kFamily2ReportLength, '\0');
    request[0] = char(protocol::kFamily2ReportId);
    request[1] = char(command.klass);
    request[2] = char(command.code);
    request[3] = char(command.argument);
    return request;
}

// The answer bytes [from, from + count) as a byte array.
inline QByteArray answerBytes(const unsigned char* answer, int from, int count)
{
    return QByteArray(reinterpret_cast<const char*>(answer) + from, count);
}
