#pragma once
// A HID backend whose device answers with the fuzzer's bytes: every read takes
// one control byte and then an answer. A control byte below 0xF0 delivers a
// full answer of the length asked for (16 data bytes for family 1, 48 for
// family 2); 0xF0 to 0xFF deliver only (control & 0x0F) bytes. When the input
// runs out, reads time out.

#include "device/HidBackend.h"

#include <cstddef>
#include <cstdint>

namespace fuzzbackend {

// Installs the backend and gives it the input for the next exchanges.
void install();
void setInput(const std::uint8_t* data, std::size_t size);

}  // namespace fuzzbackend
