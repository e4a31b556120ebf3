#include "HardwareType.h"

std::atomic<int> g_nHardwareType{0};
