#pragma once
// The one seam below HIDDevice: a table of the hidapi calls it makes. The
// program chooses the table once at start-up, before any HIDDevice is used:
// the system hidapi, or the virtual bus of sim/. Nothing above HIDDevice
// knows which one it talks to.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HidBackend {
    using Handle = void*;  // an open device of the backend, null when none

    int (*init)();
    int (*exit)();
    Handle (*open)(std::uint16_t vendorId, std::uint16_t productId, const wchar_t* serial);
    Handle (*openPath)(const char* path);
    int (*setNonblocking)(Handle handle, int nonblock);
    int (*write)(Handle handle, const unsigned char* data, std::size_t length);
    int (*readTimeout)(Handle handle, unsigned char* data, std::size_t length, int milliseconds);
    void (*close)(Handle handle);
    const wchar_t* (*error)(Handle handle);
    // How many devices with these ids are attached (hid_enumerate); used by the
    // hot-plug fallback where the system sends no device events.
    int (*count)(std::uint16_t vendorId, std::uint16_t productId);

    // Backends that raise their own plug events (the virtual bus) set this;
    // null for the system hidapi. The listener is called from any thread with a
    // device path in which "HID", "VID_xxxx" and "PID_xxxx" can be found.
    // Each context has at most one listener; a null listener removes the
    // context's, and returns only when that listener no longer runs.
    using PlugListener = void (*)(void* context, const char* devicePath, bool arrived);
    void (*setPlugListener)(PlugListener listener, void* context);
    // The paths of the attached devices with these ids, as openPath takes them.
    std::vector<std::string> (*paths)(std::uint16_t vendorId, std::uint16_t productId);
};

// The table in use; the system hidapi until setHidBackend is called.
const HidBackend& hidBackend();
void setHidBackend(const HidBackend& backend);
