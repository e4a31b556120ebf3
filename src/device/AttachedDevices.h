#pragma once
// The supported devices attached to the computer, as one list for both
// programs: family 1 first, then family 2, each in the backend's order (the
// order in which open() by ids finds them). `corvelle-cli list` prints it and
// the window's device chooser shows it.

#include "DeviceSearch.h"
#include "Protocol.h"

#include <QString>
#include <QVector>

#include <string>

struct AttachedDevice {
    int family = 0;
    protocol::UsbIds ids{0, 0};
    std::string path;  // as openPath takes it
};

// Enumerates only: no device is opened.
QVector<AttachedDevice> attachedDevices();

// Opens the device on a handle of its own, asks who it is and closes it
// again. The device must not be open elsewhere in this program.
SearchResult identifyAttached(const AttachedDevice& device);

// The model name a list shows for a device: its model, "(access denied)",
// or empty when it did not tell who it is.
QString listedModel(const SearchResult& found);
