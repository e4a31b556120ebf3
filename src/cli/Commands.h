#pragma once
// corvelle-cli's commands over the device and the operations; each returns
// the program's exit code after telling the user on standard error what
// went wrong.

#include "CliOptions.h"

namespace cli {

// One device (the one the options name, or the first found), or, for list, every device.
int run(const Options& options);

// The paths of the attached devices of both families, in list's order.
QStringList attachedPaths();
// --yes, or the user's yes on a terminal; false after telling why.
bool confirmedOnce(const Options& options, const QString& question);

// The checks that need no device (the file, the image's name), once for all devices.
int checkBeforeDevice(const Options& options);
// The command on options.devicePath (the first found when empty), its output
// through the DeviceOutput of this thread.
int runOnDevice(const Options& options);

}  // namespace cli
