#include "HardwareType.h"

int g_nHardwareType = 0;
