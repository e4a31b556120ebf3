#pragma once
// corvelle-cli history: the records of the history file, as a table or as
// JSON Lines, all of them or those of one device.

#include "CliOptions.h"

namespace cli {

int printHistory(const Options& options);

}  // namespace cli
