#include "DeviceWatcher.h"

#include "DeviceWatchSource.h"
#include "HidBackend.h"

namespace {

// Called on whatever thread the backend raises the event; the watcher
// emits it on its own thread.
void forwardPlugEvent(void* context, const char* devicePath, bool arrived)
{
    auto* watcher = static_cast<DeviceWatcher*>(context);
    const QString path = QString::fromUtf8(devicePath);
    QMetaObject::invokeMethod(
        watcher, [watcher, path, arrived] { emit watcher->deviceInterfaceChanged(path, arrived); },
        Qt::QueuedConnection);
}

}  // namespace

struct DeviceWatcher::Private {
    const HidBackend* listenedBackend = nullptr;
    QObject* source = nullptr;
};

DeviceWatcher::DeviceWatcher(QObject* parent) : QObject(parent), d(std::make_unique<Private>())
{
}

DeviceWatcher::~DeviceWatcher()
{
    // Returns only when no plug event is being forwarded any more.
    if (d->listenedBackend)
        d->listenedBackend->setPlugListener(nullptr, this);
}

void DeviceWatcher::start()
{
    if (d->listenedBackend || d->source)
        return;
    const HidBackend& hid = hidBackend();
    if (hid.setPlugListener) {
        d->listenedBackend = &hid;
        hid.setPlugListener(forwardPlugEvent, this);
        return;
    }
    d->source = startSystemWatchSource(this);
}

void DeviceWatcher::startPolling(int intervalMs)
{
    if (d->listenedBackend || d->source)
        return;
    d->source = startPollingSource(this, intervalMs);
}
