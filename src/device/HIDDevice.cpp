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
    if (length >= m_reportLength)
        return hidBackend().write(m_handle, data, length);
    // hidraw sends a short output report as it is given; the devices expect
    // the full report, so pad it with zeros and count it in full.
    unsigned char report[protocol::kBufferSize] = {};
    if (length > 0)
        std::memcpy(report, data, length);
    return hidBackend().write(m_handle, report, m_reportLength);
}

int HIDDevice::readTimeout(unsigned char* data, std::size_t length, int milliseconds)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_handle)
        return -1;
    return hidBackend().readTimeout(m_handle, data, length, milliseconds);
}

std::wstring HIDDevice::errorString() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const wchar_t* text = hidBackend().error(m_handle);
    return text ? std::wstring(text) : std::wstring();
}
