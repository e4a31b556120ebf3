#include "VirtualBus.h"

#include "device/Protocol.h"

#include <algorithm>

namespace sim {

struct VirtualBus::Handle {
    VirtualDevice* device;
    std::wstring error;
};

namespace {

int familyOfIds(quint16 vendorId, quint16 productId)
{
    using namespace protocol;
    if (vendorId == kFamily1Ids.vendor && productId == kFamily1Ids.product)
        return kFamily1;
    if (vendorId == kFamily2Ids.vendor && productId == kFamily2Ids.product)
        return kFamily2;
    return kNoDevice;
}

thread_local std::wstring t_openError;

}  // namespace

VirtualBus::VirtualBus() = default;

VirtualBus& VirtualBus::instance()
{
    // Never destroyed: a detached search thread may still use it at exit.
    static VirtualBus* bus = new VirtualBus;
    return *bus;
}

const HidBackend& VirtualBus::backend() const
{
    static const HidBackend table{
        hidInit,        hidExit,  hidOpen,  hidOpenPath, hidSetNonblocking,  hidWrite,
        hidReadTimeout, hidClose, hidError, hidCount,    hidSetPlugListener, hidPaths,
    };
    return table;
}

void VirtualBus::install()
{
    setHidBackend(backend());
    m_trace.setFile(qEnvironmentVariable("CORVELLE_SIM_TRACE"));
}

VirtualDevice& VirtualBus::plug(int family, const models::Model& model)
{
    unplug(family);
    return attach(family, model);
}

VirtualDevice& VirtualBus::plugAnother(int family, const models::Model& model,
                                       const std::function<void(VirtualDevice&)>& prepare)
{
    return attach(family, model, prepare);
}

VirtualDevice& VirtualBus::attach(int family, const models::Model& model,
                                  const std::function<void(VirtualDevice&)>& prepare)
{
    Q_ASSERT(family == protocol::kFamily1 || family == protocol::kFamily2);
    VirtualDevice* device = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // As hidraw numbers its nodes: the lowest free one.
        int node = family;
        while (std::any_of(m_attached.begin(), m_attached.end(),
                           [node](const VirtualDevice* d) { return d->node() == node; }))
            ++node;
        m_devices.push_back(std::make_unique<VirtualDevice>(*this, family, model, node));
        device = m_devices.back().get();
        // Ready before anyone can find it: the bus's lock, then the device's.
        if (prepare)
            prepare(*device);
        m_attached << device;
    }
    device->traceLine(
        Trace::eventLine(QStringLiteral("plug %1 %2").arg(QLatin1String(model.name), device->path())));
    notify(device->path(), true);
    return *device;
}

void VirtualBus::unplug(int family)
{
    for (VirtualDevice* device : attachedOf(family))
        unplugDevice(device);
}

void VirtualBus::unplug(VirtualDevice& device)
{
    unplugDevice(&device);
}

void VirtualBus::unplugAll()
{
    unplug(protocol::kFamily1);
    unplug(protocol::kFamily2);
}

void VirtualBus::unplugDevice(VirtualDevice* device)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_attached.removeOne(device))
            return;
    }
    device->detach();
    device->traceLine(Trace::eventLine(QStringLiteral("unplug %1").arg(device->path())));
    notify(device->path(), false);
}

VirtualDevice* VirtualBus::device(int family) const
{
    const QList<VirtualDevice*> list = attachedOf(family);
    return list.isEmpty() ? nullptr : list.first();
}

QList<VirtualDevice*> VirtualBus::devices() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attached;
}

QList<VirtualDevice*> VirtualBus::attachedOf(int family) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    QList<VirtualDevice*> list;
    for (VirtualDevice* d : m_attached) {
        if (d->family() == family)
            list << d;
    }
    return list;
}

VirtualDevice* VirtualBus::attached(quint16 vendorId, quint16 productId) const
{
    return device(familyOfIds(vendorId, productId));
}

void VirtualBus::notify(const QString& path, bool arrived)
{
    const QByteArray utf8 = path.toUtf8();
    std::lock_guard<std::mutex> lock(m_listenerMutex);
    for (const Listener& l : m_listeners)
        l.call(l.context, utf8.constData(), arrived);
}

void VirtualBus::traceLine(const QString& line)
{
    m_trace.add(line);
}

QStringList VirtualBus::trace() const
{
    return m_trace.lines();
}

void VirtualBus::clearTrace()
{
    m_trace.clear();
}

QList<int> VirtualBus::openAttempts() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openAttempts;
}

void VirtualBus::clearOpenAttempts()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_openAttempts.clear();
}

int VirtualBus::openHandles() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_openHandles;
}

int VirtualBus::hidInit()
{
    return 0;
}

int VirtualBus::hidExit()
{
    return 0;
}

HidBackend::Handle VirtualBus::hidOpen(std::uint16_t vendorId, std::uint16_t productId, const wchar_t*)
{
    VirtualBus& bus = instance();
    {
        std::lock_guard<std::mutex> lock(bus.m_mutex);
        bus.m_openAttempts << familyOfIds(vendorId, productId);
    }
    VirtualDevice* device = bus.attached(vendorId, productId);
    if (!device) {
        t_openError = L"no device with these ids is attached";
        return nullptr;
    }
    if (device->refusesOpen()) {
        t_openError = L"permission denied";
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(bus.m_mutex);
    ++bus.m_openHandles;
    return new Handle{device, {}};
}

HidBackend::Handle VirtualBus::hidOpenPath(const char* path)
{
    VirtualBus& bus = instance();
    const QString wanted = QString::fromUtf8(path);
    for (VirtualDevice* device : bus.devices()) {
        if (device->path() == wanted && !device->refusesOpen()) {
            std::lock_guard<std::mutex> lock(bus.m_mutex);
            ++bus.m_openHandles;
            return new Handle{device, {}};
        }
    }
    t_openError = L"no device with this path can be opened";
    return nullptr;
}

int VirtualBus::hidSetNonblocking(HidBackend::Handle handle, int)
{
    Handle* h = static_cast<Handle*>(handle);
    if (!h || h->device->blockingModeFails()) {
        if (h)
            h->error = L"blocking mode cannot be set";
        return -1;
    }
    return 0;
}

int VirtualBus::hidWrite(HidBackend::Handle handle, const unsigned char* data, std::size_t length)
{
    Handle* h = static_cast<Handle*>(handle);
    if (!h)
        return -1;
    const int n = h->device->hostWrite(data, length);
    if (n < 0)
        h->error = L"the write failed";
    return n;
}

int VirtualBus::hidReadTimeout(HidBackend::Handle handle, unsigned char* data, std::size_t length, int ms)
{
    Handle* h = static_cast<Handle*>(handle);
    if (!h)
        return -1;
    const int n = h->device->hostRead(data, length, ms);
    if (n < 0)
        h->error = L"the device is gone";
    return n;
}

void VirtualBus::hidClose(HidBackend::Handle handle)
{
    if (!handle)
        return;
    VirtualBus& bus = instance();
    {
        std::lock_guard<std::mutex> lock(bus.m_mutex);
        --bus.m_openHandles;
    }
    delete static_cast<Handle*>(handle);
}

const wchar_t* VirtualBus::hidError(HidBackend::Handle handle)
{
    Handle* h = static_cast<Handle*>(handle);
    if (!h)
        return t_openError.empty() ? nullptr : t_openError.c_str();
    return h->error.empty() ? nullptr : h->error.c_str();
}

int VirtualBus::hidCount(std::uint16_t vendorId, std::uint16_t productId)
{
    return int(hidPaths(vendorId, productId).size());
}

std::vector<std::string> VirtualBus::hidPaths(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<std::string> paths;
    for (const VirtualDevice* device : instance().attachedOf(familyOfIds(vendorId, productId)))
        paths.push_back(device->path().toStdString());
    return paths;
}

void VirtualBus::hidSetPlugListener(HidBackend::PlugListener listener, void* context)
{
    VirtualBus& bus = instance();
    // Several watchers may listen; each is removed by its own context.
    std::lock_guard<std::mutex> lock(bus.m_listenerMutex);
    for (int i = bus.m_listeners.size() - 1; i >= 0; --i)
        if (bus.m_listeners[i].context == context)
            bus.m_listeners.removeAt(i);
    if (listener)
        bus.m_listeners << Listener{listener, context};
}

}  // namespace sim
