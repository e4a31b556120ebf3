#pragma once
// Owner of the one open HID handle. Each operation forwards to one call of the
// backend in use (HidBackend.h); a short request is padded with zero bytes to
// the full report of the family that was opened and counted in full.

#include "HidBackend.h"

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

class HIDDevice {
public:
    HIDDevice() = default;
    ~HIDDevice();
    HIDDevice(const HIDDevice&) = delete;
    HIDDevice& operator=(const HIDDevice&) = delete;

    static void init();
    static void exit();

    // Opens the first device with these ids and makes its reads blocking.
    // False when none opens (the handle is then null) or when blocking mode
    // cannot be set (the handle is then kept).
    bool open(std::uint16_t vendorId, std::uint16_t productId, const wchar_t* serialNumber = nullptr);
    bool openPath(const char* path);
    // Opens the device at path, known to have these ids, as open() does.
    bool openPath(const char* path, std::uint16_t vendorId, std::uint16_t productId);
    void close();
    bool isOpen() const;

    // Bytes written (the full report length for a padded short request), −1 on error.
    int write(const unsigned char* data, std::size_t length);
    // Bytes read, 0 on timeout, −1 on error.
    int readTimeout(unsigned char* data, std::size_t length, int milliseconds);
    // The backend's last error text for the handle; empty when it has none.
    std::wstring errorString() const;
    // The last request written and what the read after it brought, in the
    // trace format ("> 01 13 …", then "< …" or "# no answer within 100 ms"),
    // for the log of a failure.
    std::string lastExchange() const;

    struct LastReport {
        unsigned char bytes[48];
        std::size_t length = 0;
        int result = -2;  // the backend's return; -2 none yet
        int timeoutMs = 0;
    };

private:
    mutable std::mutex m_mutex;  // one backend call at a time on the handle
    HidBackend::Handle m_handle = nullptr;
    std::size_t m_reportLength = 0;  // 17 or 48 once a device of known ids is open
    LastReport m_lastRequest;
    LastReport m_lastAnswer;
};
