#pragma once
// One virtual device of either family, as the virtual bus attaches it. It
// answers every request of the device protocol, keeps what it is written,
// and can be told to be slow or faulty. Thread-safe: the search thread talks
// to it while a test configures it.

#include "DeviceState.h"
#include "Faults.h"
#include "Responder.h"
#include "Trace.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>

namespace sim {

class VirtualBus;

// What a read with no timeout that nothing answers costs on the virtual clock.
constexpr qint64 kWaitsForeverMs = std::numeric_limits<qint32>::max();

// One read of the host, with the time a real device would have made it wait.
struct HostRead {
    int exchange = 0;     // the host's writes before it: the request it waits on
    int length = 0;       // the bytes asked for
    int timeoutMs = 0;    // as the host gave it; negative: no timeout
    qint64 waitedMs = 0;  // the expired timeout, or the answer's latency and delay
    int delivered = 0;    // bytes delivered; 0 when it timed out
};

class VirtualDevice {
public:
    // node: the number in its path, /dev/virtual-hidrawN.
    VirtualDevice(VirtualBus& bus, int family, const models::Model& model, int node);
    VirtualDevice(const VirtualDevice&) = delete;
    VirtualDevice& operator=(const VirtualDevice&) = delete;

    int family() const { return m_family; }
    const models::Model& model() const { return m_model; }
    quint16 vendorId() const;
    quint16 productId() const;
    // The path its arrival and removal carry, e.g. "HID VID_34B7&PID_0101 /dev/virtual-hidraw2".
    QString path() const;
    int node() const { return m_node; }
    bool isAttached() const;  // false once unplugged; a replugged device is a new object

    Identity identity() const;
    void setTypeCode(int typeCode);
    void setHardwareVersion(const Version& version);
    void setFirmwareVersion(const Version& version);
    void setBootloaderVersion(const Version& version);
    void setBoardNumber(const QByteArray& bytes);

    DeviceState state() const;
    void setState(const DeviceState& state);
    QByteArray firmwareImage() const;  // the last image accepted by an upgrade

    // Every answer arrives this late (really waited, unless instant timeouts).
    void setLatency(int ms);
    // A read that would time out returns 0 at once, and delays are only
    // compared with the read's timeout, never waited for.
    void setInstantTimeouts(bool instant);

    // times: how many matching requests the fault hits; -1 every one.
    void injectFault(const FaultMatch& match, const Fault& fault, int times = -1);
    void clearFaults();  // also ends unplugAfter, setRefuseOpen and setBlockingModeFails
    // The device leaves the bus at the host's write number exchanges + 1,
    // which fails; 0 cancels.
    void unplugAfter(int exchanges);
    void setRefuseOpen(bool refuse);        // attached, but the open fails (no access)
    void setBlockingModeFails(bool fails);  // the open works, setting blocking mode fails

    QStringList trace() const;           // this device's lines from its plug on, as in the trace file
    QList<QByteArray> requests() const;  // each report the host wrote, as written
    QList<int> readLengths() const;      // the length the host asked for in each read
    void clearTrace();                   // also clears requests, reads, the exchange count and the clock
    int exchangeCount() const;           // the host's writes so far

    // The virtual clock: the time a real device would have made the host wait
    // in its reads so far (each expired timeout, each latency and delay),
    // counted also when instant timeouts skip the waiting. A read ended by
    // the removal adds nothing.
    qint64 virtualClockMs() const;
    QList<HostRead> reads() const;  // every read that ended with an answer or a timeout

private:
    friend class VirtualBus;
    struct Pending {
        QByteArray bytes;
        int delayMs;
    };
    struct ActiveFault {
        FaultMatch match;
        Fault fault;
        int remaining;
    };

    int hostWrite(const unsigned char* data, std::size_t length);
    int hostRead(unsigned char* data, std::size_t length, int timeoutMs);
    bool refusesOpen() const;
    bool blockingModeFails() const;
    void detach();
    void traceLine(const QString& line);  // to this device's trace and the bus trace
    QList<Fault> takeFaults(const QByteArray& request);
    void queueAnswers(Response response, const QList<Fault>& faults);
    bool waitUnlessDetached(std::unique_lock<std::mutex>& lock, int ms);
    int unplugAtWrite(std::unique_lock<std::mutex>& lock);
    void countRead(const HostRead& read);

    VirtualBus& m_bus;
    const int m_family;
    const int m_node;
    const models::Model m_model;

    mutable std::mutex m_mutex;
    std::condition_variable m_detachedSignal;
    bool m_attached = true;
    DeviceData m_data;
    std::deque<Pending> m_answers;
    std::optional<Pending> m_repeated;  // an endless answer, until the next write
    QList<ActiveFault> m_faults;
    int m_latencyMs = 0;
    bool m_instant = false;
    int m_unplugAfter = 0;
    bool m_refuseOpen = false;
    bool m_blockingModeFails = false;
    int m_exchanges = 0;
    QList<QByteArray> m_requests;
    QList<int> m_readLengths;
    QList<HostRead> m_reads;
    qint64 m_clockMs = 0;
    Trace m_trace;
};

}  // namespace sim
