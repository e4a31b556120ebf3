#pragma once
// One request/answer exchange with the device, by the rules both families
// share: a request counts as sent only when the full report length is
// reported written; an answer counts only when it has exactly the family's
// answer length (16 data bytes for family 1, 48 for family 2). Reports still
// queued from earlier requests are dropped before a request is sent, so an
// answer always follows its own request.

#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "device/Request.h"

#include <QByteArray>

class Exchange {
public:
    Exchange(HIDDevice& device, int driveType) : m_device(device), m_driveType(driveType) {}

    // Writes the request, at most the family's request length of it; a
    // shorter one is padded by HIDDevice to the full report.
    bool send(const QByteArray& request);
    // Reads one answer into `answer` (a 48-byte buffer), asking for the
    // family's read length.
    bool receive(unsigned char* answer, int timeoutMs);
    // send, then receive.
    bool exchange(const QByteArray& request, unsigned char* answer, int timeoutMs);

private:
    void dropQueuedReports();

    HIDDevice& m_device;
    int m_driveType;
};

// The answer bytes [from, from + count) as a byte array.
inline QByteArray answerBytes(const unsigned char* answer, int from, int count)
{
    return QByteArray(reinterpret_cast<const char*>(answer) + from, count);
}
