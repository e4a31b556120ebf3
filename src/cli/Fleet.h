#pragma once
// A command on several devices at once: each device on a thread of its own,
// its output named after it, the exit code the worst of theirs.

#include "CliOptions.h"

#include <QString>
#include <QStringList>

namespace cli {

// --device given several times, or --all.
int runOnSeveral(const Options& options);
// --each-new: each device as it is plugged in (EachNew.cpp).
int runEachNew(const Options& options);

// The command on the device at path, on this thread, its output named after it.
int runOnPath(const Options& options, const QString& path);
// What has to hold before any device is touched: the file, the image's
// name, the user's yes to defaults (asked once for all the devices).
int checkBeforeSeveral(const Options& options, const QString& devices);
// Ends the run with this error, as a JSON object under --json.
int refuse(const Options& options, const QString& text, int exitCode);

}  // namespace cli
