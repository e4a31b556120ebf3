#include "LogCategories.h"

Q_LOGGING_CATEGORY(lcDevice, "corvelle.device", QtInfoMsg)
Q_LOGGING_CATEGORY(lcOperation, "corvelle.operation", QtInfoMsg)
Q_LOGGING_CATEGORY(lcReplay, "corvelle.replay", QtInfoMsg)
