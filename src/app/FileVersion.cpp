#include "FileVersion.h"

namespace {
// Four lower-case hexadecimal digits: 0x804 gives "0804".
QString fourHexDigits(unsigned value)
{
    return (QStringLiteral("000") + QString::number(value, 16)).right(4);
}
}  // namespace

QString fileVersionQueryPath(unsigned language, unsigned codePage)
{
    return QStringLiteral("\\StringFileInfo\\") + fourHexDigits(language) + fourHexDigits(codePage) +
           QStringLiteral("\\FileVersion");
}
