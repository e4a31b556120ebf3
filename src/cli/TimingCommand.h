#pragma once
// corvelle-cli timing: bit-timing registers from a wanted rate and sample
// point, or a register explained. Needs no device, so it parses its own
// options and runs before the device commands are set up.

#include <QStringList>

namespace cli {

// True when the command on this line (arguments[0] is the program) is "timing".
bool isTimingCommand(const QStringList& arguments);
// Runs it and returns the exit code.
int runTimingCommand(const QStringList& arguments);
QString timingUsageText();

}  // namespace cli
