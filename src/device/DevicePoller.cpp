#include "DeviceWatchSource.h"

#include "DevicePath.h"
#include "DeviceSearch.h"
#include "DeviceWatcher.h"
#include "HidBackend.h"
#include "Protocol.h"

#include <QTimer>

namespace {

// Compares the number of attached devices of each family with the last
// count and reports the changes.
class DevicePoller : public QObject {
public:
    DevicePoller(DeviceWatcher* watcher, int intervalMs) : QObject(watcher), m_watcher(watcher)
    {
        connect(&m_timer, &QTimer::timeout, this, &DevicePoller::tick);
        m_timer.start(intervalMs);
        tick();
    }

private:
    static constexpr protocol::UsbIds kWatched[] = {protocol::kFamily1Ids, protocol::kFamily2Ids};

    void tick()
    {
        // Enumerating while a search opens a device is not safe in every
        // hidapi; the searches start on this thread, so none can start now.
        if (searchthreads::running() > 0)
            return;
        const HidBackend& hid = hidBackend();
        for (int i = 0; i < 2; ++i) {
            const int now = hid.count(kWatched[i].vendor, kWatched[i].product);
            const int before = m_counts[i];
            m_counts[i] = now;
            if (!m_haveBaseline || now == before)
                continue;
            emit m_watcher->deviceInterfaceChanged(
                devicePathFor(QStringLiteral("hidapi"), kWatched[i].vendor, kWatched[i].product),
                now > before);
        }
        m_haveBaseline = true;
    }

    DeviceWatcher* m_watcher;
    QTimer m_timer;
    int m_counts[2] = {0, 0};
    bool m_haveBaseline = false;  // the first count is what was there at start
};

}  // namespace

QObject* startPollingSource(DeviceWatcher* watcher, int intervalMs)
{
    return new DevicePoller(watcher, intervalMs);
}
