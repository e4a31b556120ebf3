#include "FuzzBackend.h"

#include <algorithm>
#include <cstring>

namespace fuzzbackend {
namespace {

const std::uint8_t* g_data = nullptr;
std::size_t g_size = 0;
int g_handle = 0;

HidBackend::Handle openAny(std::uint16_t, std::uint16_t, const wchar_t*)
{
    return &g_handle;
}

int readAnswer(HidBackend::Handle, unsigned char* data, std::size_t length, int)
{
    if (g_size == 0)
        return 0;
    const std::uint8_t control = *g_data++;
    --g_size;
    // 17 or 18 asked: a family-1 device delivers its 16 data bytes.
    std::size_t n = length <= 18 ? std::min<std::size_t>(length, 16) : length;
    if (control >= 0xF0)
        n = std::min<std::size_t>(control & 0x0F, length);
    n = std::min(n, g_size);
    std::memcpy(data, g_data, n);
    g_data += n;
    g_size -= n;
    return int(n);
}

const HidBackend kFuzz{
    [] { return 0; },
    [] { return 0; },
    openAny,
    [](const char*) -> HidBackend::Handle { return &g_handle; },
    [](HidBackend::Handle, int) { return 0; },
    [](HidBackend::Handle, const unsigned char*, std::size_t n) { return int(n); },
    readAnswer,
    [](HidBackend::Handle) {},
    [](HidBackend::Handle) -> const wchar_t* { return nullptr; },
    [](std::uint16_t, std::uint16_t) { return 1; },
    nullptr,
    [](std::uint16_t, std::uint16_t) { return std::vector<std::string>{"fuzz"}; },
};

}  // namespace

void install()
{
    setHidBackend(kFuzz);
}

void setInput(const std::uint8_t* data, std::size_t size)
{
    g_data = data;
    g_size = size;
}

}  // namespace fuzzbackend
