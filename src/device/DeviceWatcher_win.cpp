#include "DeviceWatchSource.h"

// The main window registers for WM_DEVICECHANGE and handles it in its native
// event handler, so there is nothing to watch here.
QObject* startSystemWatchSource(DeviceWatcher*)
{
    return nullptr;
}
