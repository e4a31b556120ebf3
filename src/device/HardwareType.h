#pragma once
// The hardware type code of the device last identified, for the whole
// process. The search thread stores it; the CAN channel editor reads it when
// it builds its mode list.

#include <atomic>

extern std::atomic<int> g_nHardwareType;
