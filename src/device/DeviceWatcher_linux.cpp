#include "DeviceWatchSource.h"

#include "DevicePath.h"
#include "DeviceWatcher.h"

#include <QHash>
#include <QSocketNotifier>
#include <QStringList>

#include <libudev.h>
#include <unistd.h>

namespace {

constexpr char kSubsystem[] = "hidraw";
constexpr char kUdevControl[] = "/run/udev/control";  // present while a udev daemon runs
constexpr int kPollIntervalMs = 1000;

struct UsbIds {
    unsigned vendor = 0;
    unsigned product = 0;
};

// HID_ID of the parent HID device reads "0003:00000483:00006901": bus, vendor, product.
bool idsOf(udev_device* hidraw, UsbIds* ids)
{
    udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
    const char* value = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr;
    if (!value)
        return false;
    const QStringList parts = QString::fromLatin1(value).split(QLatin1Char(':'));
    bool vendorOk = false;
    bool productOk = false;
    if (parts.size() == 3) {
        ids->vendor = parts[1].toUInt(&vendorOk, 16);
        ids->product = parts[2].toUInt(&productOk, 16);
    }
    return vendorOk && productOk;
}

class UdevSource : public QObject {
public:
    UdevSource(DeviceWatcher* watcher, udev* context, udev_monitor* monitor)
        : QObject(watcher), m_watcher(watcher), m_udev(context), m_monitor(monitor)
    {
        rememberAttached();
        auto* notifier = new QSocketNotifier(udev_monitor_get_fd(m_monitor), QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &UdevSource::receive);
    }
    ~UdevSource() override
    {
        udev_monitor_unref(m_monitor);
        udev_unref(m_udev);
    }

private:
    // A removed node's sysfs parents are gone, so its ids are kept from its arrival.
    void rememberAttached()
    {
        udev_enumerate* list = udev_enumerate_new(m_udev);
        udev_enumerate_add_match_subsystem(list, kSubsystem);
        udev_enumerate_scan_devices(list);
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list))
        {
            udev_device* dev = udev_device_new_from_syspath(m_udev, udev_list_entry_get_name(entry));
            remember(dev);
            udev_device_unref(dev);
        }
        udev_enumerate_unref(list);
    }

    bool remember(udev_device* dev)
    {
        UsbIds ids;
        const char* node = dev ? udev_device_get_devnode(dev) : nullptr;
        if (!node || !idsOf(dev, &ids))
            return false;
        m_ids.insert(QString::fromLocal8Bit(node), ids);
        return true;
    }

    void receive()
    {
        udev_device* dev = udev_monitor_receive_device(m_monitor);
        if (!dev)
            return;
        const QString action = QString::fromLatin1(udev_device_get_action(dev));
        const char* nodeText = udev_device_get_devnode(dev);
        const QString node = nodeText ? QString::fromLocal8Bit(nodeText) : QString();
        if (action == QLatin1String("add") && remember(dev)) {
            const UsbIds ids = m_ids.value(node);
            emit m_watcher->deviceInterfaceChanged(devicePathFor(node, ids.vendor, ids.product), true);
        } else if (action == QLatin1String("remove") && m_ids.contains(node)) {
            const UsbIds ids = m_ids.take(node);
            emit m_watcher->deviceInterfaceChanged(devicePathFor(node, ids.vendor, ids.product), false);
        }
        udev_device_unref(dev);
    }

    DeviceWatcher* m_watcher;
    udev* m_udev;
    udev_monitor* m_monitor;
    QHash<QString, UsbIds> m_ids;
};

QObject* startUdevSource(DeviceWatcher* watcher)
{
    if (access(kUdevControl, F_OK) != 0)
        return nullptr;
    udev* context = udev_new();
    udev_monitor* monitor = context ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, kSubsystem, nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
        return nullptr;
    }
    return new UdevSource(watcher, context, monitor);
}

}  // namespace

QObject* startSystemWatchSource(DeviceWatcher* watcher)
{
    if (QObject* udevSource = startUdevSource(watcher))
        return udevSource;
    return startPollingSource(watcher, kPollIntervalMs);
}
