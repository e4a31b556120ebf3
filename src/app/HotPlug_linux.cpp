// Hot-plug where the system sends no window messages: the device watcher's
// reports go through the same device-path test as on Windows.

#include "CorvelleRepeater.h"

#include "device/DevicePath.h"
#include "device/DeviceWatcher.h"

void CorvelleRepeater::registerDeviceNotifications()
{
    auto* watcher = new DeviceWatcher(this);
    connect(watcher, &DeviceWatcher::deviceInterfaceChanged, this,
            [this](const QString& devicePath, bool arrived) {
                const int family = familyOfDevicePath(devicePath);
                if (family != 0)
                    emit deviceChanged(family, arrived ? 1 : 0);
            });
    watcher->start();
}

bool CorvelleRepeater::nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result)
{
    return AbsFrameLessAutoSize::nativeEvent(eventType, message, result);
}
