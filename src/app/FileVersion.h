#pragma once
// The version of the running program as the About dialog shows it: on
// Windows the FileVersion of the executable's version resource, elsewhere the
// version compiled in. Empty when there is none.

#include <QString>

QString readFileVersion();
