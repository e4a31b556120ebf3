#pragma once
// The platform sources behind DeviceWatcher, each a child object of the
// watcher that emits its signal on the watcher's thread.

class DeviceWatcher;
class QObject;

// The operating system's source; null where the platform has none of its own.
QObject* startSystemWatchSource(DeviceWatcher* watcher);
// The count comparison of DeviceWatcher::startPolling.
QObject* startPollingSource(DeviceWatcher* watcher, int intervalMs);
