#pragma once
// The logging categories of both programs. What they log reaches the log
// file (LogFile.h) and, with corvelle-cli -v, standard error. Until the log
// is started (tests, tools) only their warnings are on.

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcDevice)     // "corvelle.device": found, lost, with ids and path
Q_DECLARE_LOGGING_CATEGORY(lcOperation)  // "corvelle.operation": each operation's start, end and result
Q_DECLARE_LOGGING_CATEGORY(lcReplay)     // "corvelle.replay": recording and replay
