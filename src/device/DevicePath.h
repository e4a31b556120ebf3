#pragma once
// The device-path test of hot-plug notifications: a path names a watched
// device when it holds "HID" and the four characters starting four after the
// first "VID" and after the first "PID" are one family's ids, as upper-case
// hexadecimal text (the test is case-sensitive).

#include <QString>

// 1 or 2 for a path of that family's ids, 0 for any other path.
int familyOfDevicePath(const QString& devicePath);

// A path in that form for a device with these ids, as the Linux and virtual
// notification sources build them, e.g. "HID VID_0483&PID_6901 /dev/hidraw3".
QString devicePathFor(const QString& node, unsigned vendorId, unsigned productId);
