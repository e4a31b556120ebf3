#include "LogCategories.h"

Q_LOGGING_CATEGORY(lcDevice, "corvelle.device", QtWarningMsg)
Q_LOGGING_CATEGORY(lcOperation, "corvelle.operation", QtWarningMsg)
Q_LOGGING_CATEGORY(lcReplay, "corvelle.replay", QtWarningMsg)
