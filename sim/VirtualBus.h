#pragma once
// The virtual USB bus: a HID backend (device/HidBackend.h) with any number of
// virtual devices of either family attached, each at a path of its own. Tests and the --simulate option
// install it in place of the system hidapi; HIDDevice, the search and the
// hot-plug watcher then talk to the virtual devices exactly as to real ones.
// Thread-safe.

#include "VirtualDevice.h"

#include "device/HidBackend.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace sim {

class VirtualBus {
public:
    static VirtualBus& instance();

    const HidBackend& backend() const;
    // Makes the bus the backend in use. From then on the trace is appended to
    // the file that CORVELLE_SIM_TRACE names at this moment, if it names one.
    void install();

    // Attaches a new device of that family (1 or 2) with the model's factory
    // identity and configuration, replacing (unplugging) one already there,
    // and raises its arrival. The reference stays valid for the whole process.
    VirtualDevice& plug(int family, const models::Model& model);
    // Attaches one more device beside those attached, as a hub does: its path
    // takes the lowest node number free, from the family's number on. prepare,
    // when given, sets the device up before its arrival is raised.
    VirtualDevice& plugAnother(int family, const models::Model& model,
                               const std::function<void(VirtualDevice&)>& prepare = {});
    // Detaches every device of that family and raises their removals; their
    // open handles fail from then on.
    void unplug(int family);
    void unplug(VirtualDevice& device);
    void unplugAll();
    VirtualDevice* device(int family) const;  // the first attached of that family; null when none
    QList<VirtualDevice*> devices() const;    // every attached device, in the order plugged

    // Every device's lines and the plug events, in order.
    QStringList trace() const;
    void clearTrace();
    // The family of each open call's ids, in order (0 for other ids).
    QList<int> openAttempts() const;
    void clearOpenAttempts();
    int openHandles() const;

private:
    friend class VirtualDevice;
    struct Handle;
    VirtualBus();
    VirtualDevice* attached(quint16 vendorId, quint16 productId) const;
    QList<VirtualDevice*> attachedOf(int family) const;
    VirtualDevice& attach(int family, const models::Model& model,
                          const std::function<void(VirtualDevice&)>& prepare = {});
    void unplugDevice(VirtualDevice* device);
    void notify(const QString& path, bool arrived);
    void traceLine(const QString& line);

    static int hidInit();
    static int hidExit();
    static HidBackend::Handle hidOpen(std::uint16_t vendorId, std::uint16_t productId, const wchar_t* serial);
    static HidBackend::Handle hidOpenPath(const char* path);
    static std::vector<std::string> hidPaths(std::uint16_t vendorId, std::uint16_t productId);
    static int hidSetNonblocking(HidBackend::Handle handle, int nonblock);
    static int hidWrite(HidBackend::Handle handle, const unsigned char* data, std::size_t length);
    static int hidReadTimeout(HidBackend::Handle handle, unsigned char* data, std::size_t length, int ms);
    static void hidClose(HidBackend::Handle handle);
    static const wchar_t* hidError(HidBackend::Handle handle);
    static int hidCount(std::uint16_t vendorId, std::uint16_t productId);
    static void hidSetPlugListener(HidBackend::PlugListener listener, void* context);

    mutable std::mutex m_mutex;
    QList<VirtualDevice*> m_attached;                       // in the order plugged
    std::vector<std::unique_ptr<VirtualDevice>> m_devices;  // every device ever plugged
    QList<int> m_openAttempts;
    int m_openHandles = 0;

    struct Listener {
        HidBackend::PlugListener call;
        void* context;
    };
    std::mutex m_listenerMutex;  // held while listeners run, so removing one waits
    QList<Listener> m_listeners;

    Trace m_trace;
};

}  // namespace sim
