#include "DeviceWatcher.h"

#include "DeviceWatchSource.h"
#include "HidBackend.h"

#include <mutex>
#include <utility>
#include <vector>

struct DeviceWatcher::Private {
    const HidBackend* listenedBackend = nullptr;
    QObject* source = nullptr;
    // The events between the backend's thread and the watcher's: under a
    // mutex of the standard library, which ThreadSanitizer follows, where a
    // functor queued to Qt would hand its captures over unseen.
    std::mutex eventsMutex;
    std::vector<std::pair<QString, bool>> events;  // guarded by eventsMutex
};

// The watcher emits the event on its own thread.
void DeviceWatcher::forwardPlugEvent(void* context, const char* devicePath, bool arrived)
{
    auto* watcher = static_cast<DeviceWatcher*>(context);
    {
        std::lock_guard<std::mutex> lock(watcher->d->eventsMutex);
        watcher->d->events.emplace_back(QString::fromUtf8(devicePath), arrived);
    }
    QMetaObject::invokeMethod(watcher, "emitPlugEvents", Qt::QueuedConnection);
}

void DeviceWatcher::emitPlugEvents()
{
    std::vector<std::pair<QString, bool>> events;
    {
        std::lock_guard<std::mutex> lock(d->eventsMutex);
        events.swap(d->events);
    }
    for (const auto& [path, arrived] : events)
        emit deviceInterfaceChanged(path, arrived);
}

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
