// Hot-plug on Windows: device-interface notifications of the HID class,
// delivered to the window as WM_DEVICECHANGE.

#include "CorvelleRepeater.h"

#include "device/DevicePath.h"

#include <windows.h>

#include <dbt.h>

namespace {
// The HID device-interface class.
const GUID kHidInterfaceClass = {
    0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
}  // namespace

void CorvelleRepeater::registerDeviceNotifications()
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof(filter);
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_reserved = 0;
    filter.dbcc_classguid = kHidInterfaceClass;
    m_hDevNotify =
        RegisterDeviceNotificationW(reinterpret_cast<HANDLE>(winId()), &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    // Without the registration the tool keeps the device found at start-up.
    if (!m_hDevNotify)
        (void)GetLastError();
}

bool CorvelleRepeater::nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result)
{
    Q_UNUSED(result);
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_DEVICECHANGE)
        return false;
    if (msg->wParam != DBT_DEVICEARRIVAL && msg->wParam != DBT_DEVICEREMOVECOMPLETE)
        return false;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
    if (!header || header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return false;
    const auto* record = reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header);
    const QString path = QString::fromWCharArray(record->dbcc_name);
    if (path.isEmpty())
        return false;
    const int family = familyOfDevicePath(path);
    if (family != 0)
        emit deviceChanged(family, msg->wParam == DBT_DEVICEARRIVAL ? 1 : 0);
    // Not handled: the window's normal processing goes on.
    return false;
}
