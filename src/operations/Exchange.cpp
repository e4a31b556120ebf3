#include "Exchange.h"

namespace {

constexpr int kMaxQueuedReports = 64;  // as many input reports as the system keeps for a device

}  // namespace

bool Exchange::send(const unsigned char* request, int length)
{
    dropQueuedReports();
    return m_device.write(request, static_cast<std::size_t>(length)) == protocol::requestLength(m_driveType);
}

// Answers the host stopped reading after a failure, or that came after their
// read had timed out, stay queued; the next request would take them for its
// own answer.
void Exchange::dropQueuedReports()
{
    unsigned char report[protocol::kBufferSize];
    for (int i = 0; i < kMaxQueuedReports; ++i) {
        if (m_device.readTimeout(report, sizeof report, 0) <= 0)
            return;
    }
}

bool Exchange::receive(unsigned char* answer, int timeoutMs, bool firstRead)
{
    int length = protocol::readLength(m_driveType);
    if (firstRead && m_driveType == protocol::kFamily1)
        length = protocol::kFamily1FirstIdentityReadLength;
    return m_device.readTimeout(answer, static_cast<std::size_t>(length), timeoutMs) ==
           protocol::answerLength(m_driveType);
}

bool Exchange::exchange(const unsigned char* request, unsigned char* answer, int timeoutMs)
{
    return send(request) && receive(answer, timeoutMs);
}
