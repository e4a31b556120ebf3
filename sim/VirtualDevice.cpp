#include "VirtualDevice.h"

#include "VirtualBus.h"

#include "device/DevicePath.h"
#include "device/Protocol.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace sim {
namespace {

constexpr std::size_t kMaxQueuedAnswers = 64;  // as many input reports as hidraw keeps

QByteArray garbageLike(const QByteArray& answer, int seed)
{
    QByteArray g(answer.size(), '\0');
    quint32 x = 0x9E3779B9u ^ quint32(seed);
    for (char& byte : g) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        byte = char(x);
    }
    return g;
}

}  // namespace

VirtualDevice::VirtualDevice(VirtualBus& bus, int family, const models::Model& model, int node)
    : m_bus(bus), m_family(family), m_node(node), m_model(model)
{
    m_data.family = family;
    m_data.model = model;
    m_data.identity = factoryIdentity(family, model);
    m_data.state = factoryState(family, model);
}

quint16 VirtualDevice::vendorId() const
{
    return m_family == protocol::kFamily1 ? protocol::kFamily1Ids.vendor : protocol::kFamily2Ids.vendor;
}

quint16 VirtualDevice::productId() const
{
    return m_family == protocol::kFamily1 ? protocol::kFamily1Ids.product : protocol::kFamily2Ids.product;
}

QString VirtualDevice::path() const
{
    return devicePathFor(QStringLiteral("/dev/virtual-hidraw%1").arg(m_node), vendorId(), productId());
}

bool VirtualDevice::isAttached() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_attached;
}

Identity VirtualDevice::identity() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_data.identity;
}

void VirtualDevice::setTypeCode(int typeCode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.identity.typeCode = typeCode;
}

void VirtualDevice::setHardwareVersion(const Version& version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.identity.hardware = version;
}

void VirtualDevice::setFirmwareVersion(const Version& version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.identity.firmware = version;
}

void VirtualDevice::setBootloaderVersion(const Version& version)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.identity.bootloader = version;
}

void VirtualDevice::setBoardNumber(const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.identity.boardNumber = bytes;
}

DeviceState VirtualDevice::state() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_data.state;
}

void VirtualDevice::setState(const DeviceState& state)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_data.state = state;
}

QByteArray VirtualDevice::firmwareImage() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_data.firmware.acceptedImage();
}

void VirtualDevice::setLatency(int ms)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_latencyMs = qMax(0, ms);
}

void VirtualDevice::setInstantTimeouts(bool instant)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_instant = instant;
}

void VirtualDevice::injectFault(const FaultMatch& match, const Fault& fault, int times)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults << ActiveFault{match, fault, times};
}

void VirtualDevice::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    m_unplugAfter = 0;
    m_refuseOpen = false;
    m_blockingModeFails = false;
}

void VirtualDevice::unplugAfter(int exchanges)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unplugAfter = qMax(0, exchanges);
}

void VirtualDevice::setRefuseOpen(bool refuse)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refuseOpen = refuse;
}

void VirtualDevice::setBlockingModeFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_blockingModeFails = fails;
}

QStringList VirtualDevice::trace() const
{
    return m_trace.lines();
}

QList<QByteArray> VirtualDevice::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

QList<int> VirtualDevice::readLengths() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_readLengths;
}

void VirtualDevice::clearTrace()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_trace.clear();
    m_requests.clear();
    m_readLengths.clear();
    m_reads.clear();
    m_clockMs = 0;
    m_exchanges = 0;
}

int VirtualDevice::exchangeCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_exchanges;
}

qint64 VirtualDevice::virtualClockMs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clockMs;
}

QList<HostRead> VirtualDevice::reads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_reads;
}

bool VirtualDevice::refusesOpen() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_refuseOpen;
}

bool VirtualDevice::blockingModeFails() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_blockingModeFails;
}

void VirtualDevice::detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_attached = false;
    m_answers.clear();
    m_repeated.reset();
    m_detachedSignal.notify_all();
}

void VirtualDevice::traceLine(const QString& line)
{
    m_trace.add(line);
    m_bus.traceLine(line);
}

QList<Fault> VirtualDevice::takeFaults(const QByteArray& request)
{
    QList<Fault> hits;
    for (ActiveFault& f : m_faults) {
        if (f.remaining == 0 || !f.match.matches(request, m_exchanges))
            continue;
        hits << f.fault;
        if (f.remaining > 0)
            --f.remaining;
    }
    return hits;
}

int VirtualDevice::hostWrite(const unsigned char* data, std::size_t length)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_attached) {
        // A host that goes on writing to a device that has left: worth a line.
        traceLine(Trace::eventLine(QStringLiteral("write to %1 after its removal").arg(path())));
        return -1;
    }
    const QByteArray written(reinterpret_cast<const char*>(data), int(length));
    if (m_unplugAfter > 0 && m_exchanges >= m_unplugAfter)
        return unplugAtWrite(lock);
    ++m_exchanges;
    m_repeated.reset();
    m_requests << written;
    traceLine(Trace::requestLine(written));

    const std::size_t report = std::size_t(protocol::requestLength(m_family));
    const quint8 reportId =
        m_family == protocol::kFamily1 ? protocol::kFamily1ReportId : protocol::kFamily2ReportId;
    if (length == 0 || length > report || data[0] != reportId) {
        traceLine(Trace::eventLine(QStringLiteral("not a report of this device, write failed")));
        return -1;
    }
    QByteArray request = written;
    request.append(QByteArray(protocol::kBufferSize - request.size(), '\0'));

    const QList<Fault> faults = takeFaults(request);
    for (const Fault& f : faults) {
        if (f.kind == Fault::WriteFails) {
            traceLine(Trace::eventLine(QStringLiteral("write failed (injected)")));
            return -1;
        }
        if (f.kind == Fault::ShortWrite) {
            traceLine(Trace::eventLine(QStringLiteral("write reported %1 bytes (injected)").arg(f.value)));
            return f.value;
        }
        if (f.kind == Fault::Unplug) {
            traceLine(Trace::eventLine(QStringLiteral("unplugged during the write (injected)")));
            return unplugAtWrite(lock);
        }
    }
    Response response =
        m_family == protocol::kFamily1 ? respondFamily1(request, m_data) : respondFamily2(request, m_data);
    queueAnswers(std::move(response), faults);
    return int(length);
}

void VirtualDevice::queueAnswers(Response response, const QList<Fault>& faults)
{
    for (const QString& event : response.events)
        traceLine(Trace::eventLine(event));
    int delay = m_latencyMs;
    for (const Fault& f : faults) {
        if (f.kind == Fault::Endless && response.answers.size() > 1)
            response.answers = response.answers.mid(0, 1);
        if (f.kind == Fault::NoAnswer && !response.answers.isEmpty()) {
            traceLine(Trace::eventLine(QStringLiteral("answer withheld (injected)")));
            response.answers.clear();
        }
        if (f.kind == Fault::Delay)
            delay += f.value;
    }
    const int statusIndex =
        m_family == protocol::kFamily1 ? protocol::kFamily1StatusIndex : protocol::kFamily2StatusIndex;
    for (QByteArray& answer : response.answers) {
        for (const Fault& f : faults) {
            if (f.kind == Fault::Status)
                answer[statusIndex] = char(f.value);
            else if (f.kind == Fault::Garbage)
                answer = garbageLike(answer, m_exchanges);
            else if (f.kind == Fault::ShortAnswer)
                answer.truncate(qBound(0, f.value, answer.size()));
        }
        if (m_answers.size() >= kMaxQueuedAnswers)
            m_answers.pop_front();
        m_answers.push_back({answer, delay});
    }
    for (const Fault& f : faults) {
        if (f.kind == Fault::Endless && !response.answers.isEmpty())
            m_repeated = m_answers.back();
    }
}

// The bus takes this device's lock to detach it, so it is let go first.
int VirtualDevice::unplugAtWrite(std::unique_lock<std::mutex>& lock)
{
    lock.unlock();
    m_bus.unplugDevice(this);
    return -1;
}

void VirtualDevice::countRead(const HostRead& read)
{
    m_reads << read;
    m_clockMs = qMin(m_clockMs + read.waitedMs, kWaitsForeverMs);
}

bool VirtualDevice::waitUnlessDetached(std::unique_lock<std::mutex>& lock, int ms)
{
    if (ms > 0 && !m_instant) {
        // A condition variable wakes tens of microseconds late, which would
        // make a 1 ms device 10 % slower than it is: sleep to just before the
        // deadline and spin the rest.
        using Clock = std::chrono::steady_clock;
        const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
        m_detachedSignal.wait_until(lock, deadline - std::chrono::microseconds(200),
                                    [this] { return !m_attached; });
        while (m_attached && Clock::now() < deadline) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
    } else if (ms < 0 && !m_instant)
        m_detachedSignal.wait(lock, [this] { return !m_attached; });
    return m_attached;
}

int VirtualDevice::hostRead(unsigned char* data, std::size_t length, int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!m_attached)
        return -1;
    m_readLengths << int(length);
    HostRead read;
    read.exchange = m_exchanges;
    read.length = int(length);
    read.timeoutMs = timeoutMs;
    if (m_answers.empty() && m_repeated)
        m_answers.push_back(*m_repeated);
    if (m_answers.empty()) {
        if (!waitUnlessDetached(lock, timeoutMs))
            return -1;
        // A poll that finds nothing waited for nothing: not worth a line.
        if (timeoutMs != 0)
            traceLine(Trace::eventLine(QStringLiteral("read timed out after %1 ms").arg(timeoutMs)));
        read.waitedMs = timeoutMs < 0 ? kWaitsForeverMs : timeoutMs;
        countRead(read);
        return 0;
    }
    const Pending next = m_answers.front();
    m_answers.pop_front();
    if (timeoutMs >= 0 && next.delayMs > timeoutMs) {
        // An answer later than the read's timeout is lost with it.
        if (!waitUnlessDetached(lock, timeoutMs))
            return -1;
        traceLine(Trace::eventLine(QStringLiteral("read timed out after %1 ms, answer due after %2 ms")
                                       .arg(timeoutMs)
                                       .arg(next.delayMs)));
        read.waitedMs = timeoutMs;
        countRead(read);
        return 0;
    }
    if (!waitUnlessDetached(lock, next.delayMs))
        return -1;
    const int n = qMin(int(length), next.bytes.size());
    std::memcpy(data, next.bytes.constData(), std::size_t(n));
    traceLine(Trace::answerLine(next.bytes.left(n)));
    read.waitedMs = next.delayMs;
    read.delivered = n;
    countRead(read);
    return n;
}

}  // namespace sim
