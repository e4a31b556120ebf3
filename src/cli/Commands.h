#pragma once
// corvelle-cli's commands over the device and the operations; each returns
// the program's exit code after telling the user on standard error what
// went wrong.

#include "CliOptions.h"

namespace cli {

int run(const Options& options);

}  // namespace cli
