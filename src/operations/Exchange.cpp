#include "Exchange.h"

bool Exchange::send(const unsigned char* request, int length)
{
    return m_device.write(request, static_cast<std::size_t>(length)) == protocol::requestLength(m_driveType);
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
