#include "HIDDevice.h"

#include "Protocol.h"

#include <algorithm>
#include <cstring>

namespace {

std::size_t reportLengthOf(std::uint16_t vendorId, std::uint16_t productId)
{
    using namespace protocol;
    if (vendorId == kFamily1Ids.vendor && productId == kFamily1Ids.product)
        return kFamily1RequestLength;
    if (vendorId == kFamily2Ids.vendor && productId == kFamily2Ids.product)
        return kFamily2ReportLength;
    return 0;
}

void keep(HIDDevice::LastReport& report, const unsigned char* data, std::size_t length)
{
    report.length = std::min(length, sizeof report.bytes);
    std::memcpy(report.bytes, data, report.length);
}

std::string hexOf(const unsigned char* bytes, std::size_t length)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::size_t i = 0; i < length; ++i) {
        if (i > 0)
            text += ' ';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

}  // namespace

HIDDevice::~HIDDevice()
{
    close();
}

void HIDDevice::init()
{
    hidBackend().init();
}

void HIDDevice::exit()
{
    hidBackend().exit();
}

bool HIDDevice::open(std::uint16_t vendorId, std::uint16_t productId, const wchar_t* serialNumber)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const HidBackend& hid = hidBackend();
    if (m_handle)
        hid.close(m_handle);
    m_handle = hid.open(vendorId, productId, serialNumber);
    m_reportLength = reportLengthOf(vendorId, productId);
    if (!m_handle)
        return false;
    return hid.setNonblocking(m_handle, 0) != -1;
}

bool HIDDevice::openPath(const char* path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const HidBackend& hid = hidBackend();
    if (m_handle)
        hid.close(m_handle);
    m_handle = hid.openPath(path);
    m_reportLength = 0;
    return m_handle != nullptr;
}

bool HIDDevice::openPath(const char* path, std::uint16_t vendorId, std::uint16_t productId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const HidBackend& hid = hidBackend();
    if (m_handle)
        hid.close(m_handle);
    m_handle = hid.openPath(path);
    m_reportLength = reportLengthOf(vendorId, productId);
    if (!m_handle)
        return false;
    return hid.setNonblocking(m_handle, 0) != -1;
}

void HIDDevice::close()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_handle)
        hidBackend().close(m_handle);
    m_handle = nullptr;
}

bool HIDDevice::isOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_handle != nullptr;
}

int HIDDevice::write(const unsigned char* data, std::size_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_handle)
        return -1;
    m_lastAnswer.result = -2;
    if (length >= m_reportLength) {
        keep(m_lastRequest, data, length);
        return m_lastRequest.result = hidBackend().write(m_handle, data, length);
    }
    // hidraw sends a short output report as it is given; the devices expect
    // the full report, so pad it with zeros and count it in full.
    unsigned char report[protocol::kBufferSize] = {};
    if (length > 0)
        std::memcpy(report, data, length);
    keep(m_lastRequest, report, m_reportLength);
    return m_lastRequest.result = hidBackend().write(m_handle, report, m_reportLength);
}

int HIDDevice::readTimeout(unsigned char* data, std::size_t length, int milliseconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_handle)
        return -1;
    const int n = hidBackend().readTimeout(m_handle, data, length, milliseconds);
    // A poll that found nothing says nothing about the last request.
    if (n == 0 && milliseconds == 0)
        return n;
    keep(m_lastAnswer, data, std::size_t(std::max(n, 0)));
    m_lastAnswer.result = n;
    m_lastAnswer.timeoutMs = milliseconds;
    return n;
}

std::string HIDDevice::lastExchange() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_lastRequest.result == -2)
        return "# nothing written yet";
    std::string text = "> " + hexOf(m_lastRequest.bytes, m_lastRequest.length);
    if (m_lastRequest.result != int(m_lastRequest.length))
        return text + "\n# the write reported " + std::to_string(m_lastRequest.result);
    if (m_lastAnswer.result == -2)
        return text + "\n# no answer read";
    if (m_lastAnswer.result == 0)
        return text + "\n# no answer within " + std::to_string(m_lastAnswer.timeoutMs) + " ms";
    if (m_lastAnswer.result < 0)
        return text + "\n# the read failed";
    return text + "\n< " + hexOf(m_lastAnswer.bytes, m_lastAnswer.length);
}

std::wstring HIDDevice::errorString() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const wchar_t* text = hidBackend().error(m_handle);
    return text ? std::wstring(text) : std::wstring();
}
