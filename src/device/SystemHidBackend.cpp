#include "HidBackend.h"

#include <hidapi/hidapi.h>

#include <atomic>

namespace {

hid_device* dev(HidBackend::Handle h)
{
    return static_cast<hid_device*>(h);
}

int countDevices(std::uint16_t vendorId, std::uint16_t productId)
{
    hid_device_info* list = hid_enumerate(vendorId, productId);
    int n = 0;
    for (hid_device_info* d = list; d; d = d->next)
        ++n;
    hid_free_enumeration(list);
    return n;
}

std::vector<std::string> devicePaths(std::uint16_t vendorId, std::uint16_t productId)
{
    hid_device_info* list = hid_enumerate(vendorId, productId);
    std::vector<std::string> paths;
    for (hid_device_info* d = list; d; d = d->next)
        paths.emplace_back(d->path ? d->path : "");
    hid_free_enumeration(list);
    return paths;
}

const HidBackend kSystem{
    [] { return hid_init(); },
    [] { return hid_exit(); },
    [](std::uint16_t v, std::uint16_t p, const wchar_t* s) -> HidBackend::Handle {
        return hid_open(v, p, s);
    },
    [](const char* path) -> HidBackend::Handle { return hid_open_path(path); },
    [](HidBackend::Handle h, int nonblock) { return hid_set_nonblocking(dev(h), nonblock); },
    [](HidBackend::Handle h, const unsigned char* data, std::size_t n) {
        return hid_write(dev(h), data, n);
    },
    [](HidBackend::Handle h, unsigned char* data, std::size_t n, int ms) {
        return hid_read_timeout(dev(h), data, n, ms);
    },
    [](HidBackend::Handle h) { hid_close(dev(h)); },
    [](HidBackend::Handle h) -> const wchar_t* { return hid_error(dev(h)); },
    countDevices,
    nullptr,
    devicePaths,
};

std::atomic<const HidBackend*> g_backend{&kSystem};

}  // namespace

const HidBackend& hidBackend()
{
    return *g_backend.load();
}

void setHidBackend(const HidBackend& backend)
{
    g_backend.store(&backend);
}
