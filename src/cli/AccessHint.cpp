#include "AccessHint.h"

#include <QFileInfo>

namespace cli {

namespace {

// The seat rule (uaccess) opens the device to the user of the active session
// at a seat; an SSH session or a headless line PC has none.
bool onSeat()
{
    return !qEnvironmentVariableIsEmpty("XDG_SEAT") &&
           QFileInfo::exists(QStringLiteral("/run/systemd/seats"));
}

}  // namespace

QString accessDeniedHint()
{
    QString hint = QStringLiteral(
        "The device was found, but access to it was denied. Install the udev rule "
        "60-corvelle-repeater.rules (see the README) and plug the device in again.");
    if (!onSeat())
        hint += QStringLiteral(
            "\nNo seat is active in this session, so the seat rule does not apply: enable "
            "/usr/share/corvelle-repeater/udev/61-corvelle-repeater-plugdev.rules, which grants the "
            "devices to the group plugdev (see the README), and add the user to that group.");
    return hint;
}

}  // namespace cli
