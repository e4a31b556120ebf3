#pragma once
// What to tell a user whose access to a found device was denied.

#include <QString>

namespace cli {

QString accessDeniedHint();

}  // namespace cli
