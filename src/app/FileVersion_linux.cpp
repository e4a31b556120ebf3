#include "FileVersion.h"

QString readFileVersion()
{
    return QStringLiteral(CORVELLE_VERSION);
}
