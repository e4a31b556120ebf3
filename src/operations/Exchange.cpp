#include "Exchange.h"

namespace {

constexpr int kMaxQueuedReports = 64;  // as many input reports as the system keeps for a device

}  // namespace

bool Exchange::send(const QByteArray& request)
{
    dropQueuedReports();
    const int length = qMin(request.size(), protocol::requestLength(m_driveType));
    return m_device.write(reinterpret_cast<const unsigned char*>(request.constData()),
                          static_cast<std::size_t>(length)) == protocol::requestLength(m_driveType);
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

bool Exchange::receive(unsigned char* answer, int timeoutMs)
{
    return m_device.readTimeout(answer, static_cast<std::size_t>(protocol::readLength(m_driveType)),
                                timeoutMs) == protocol::answerLength(m_driveType);
}

bool Exchange::exchange(const QByteArray& request, unsigned char* answer, int timeoutMs)
{
    return send(request) && receive(answer, timeoutMs);
}
