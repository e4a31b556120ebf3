#include "ReplayBackend.h"

#include "HidBackend.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

namespace recording {

namespace {

struct Replayer {
    std::mutex mutex;
    Recording recording;
    QString fileName;
    bool keepTiming = false;
    int cursor = 0;  // the next entry not yet served
    int requestsServed = 0;
    QString departure;
    std::function<void(const QString&)> onDeparture;
    std::wstring lastError;
    // The devices attached at the cursor, by ids: the header's, then as the
    // recorded device lists and plug events say.
    std::map<std::pair<int, int>, QVector<QByteArray>> attached;
    std::map<void*, HidBackend::PlugListener> listeners;
    double owedMs = 0;  // recorded time not yet waited (keepTiming)
};

Replayer& replayer()
{
    static Replayer r;
    return r;
}

char g_handle;  // the one device of a replay: every open hands out its address

std::pair<int, int> key(DeviceIds ids)
{
    return {ids.vendor, ids.product};
}

bool isEvent(const Entry& e)
{
    return e.kind != Entry::Open && e.kind != Entry::OpenPath && e.kind != Entry::Write &&
           e.kind != Entry::Read;
}

// The ids of the device at this path, as the recording knows them; 0:0 when unknown.
DeviceIds idsOfPath(const Replayer& r, const QByteArray& path)
{
    for (const auto& [ids, paths] : r.attached) {
        if (paths.contains(path))
            return {std::uint16_t(ids.first), std::uint16_t(ids.second)};
    }
    for (const RecordedDevice& d : r.recording.devices) {
        if (d.path == path)
            return d.ids;
    }
    for (const Entry& e : r.recording.entries) {
        if (e.kind == Entry::Paths && e.paths.contains(path))
            return e.ids;
    }
    return {};
}

void notify(Replayer& r, const QByteArray& path, bool arrived)
{
    for (const auto& [context, listener] : r.listeners)
        listener(context, path.constData(), arrived);
}

// Waits what the recorded call took, making up for sleeps that overran.
void takeTime(Replayer& r, double ms)
{
    if (!r.keepTiming)
        return;
    r.owedMs += ms;
    if (r.owedMs <= 0)
        return;
    QElapsedTimer slept;
    slept.start();
    std::this_thread::sleep_for(std::chrono::microseconds(qint64(r.owedMs * 1000)));
    r.owedMs -= double(slept.nsecsElapsed()) / 1e6;
}

// Serves the recorded events up to the next open, write or read.
void passEvents(Replayer& r)
{
    while (r.cursor < r.recording.entries.size() && isEvent(r.recording.entries.at(r.cursor))) {
        const Entry& e = r.recording.entries.at(r.cursor++);
        if (e.kind == Entry::Paths) {
            r.attached[key(e.ids)] = e.paths;
        } else if (e.kind == Entry::Unplug) {
            for (auto& item : r.attached)
                item.second.removeAll(e.path);
            notify(r, e.path, false);
        } else if (e.kind == Entry::Plug) {
            const DeviceIds ids = idsOfPath(r, e.path);
            QVector<QByteArray>& paths = r.attached[key(ids)];
            if (!paths.contains(e.path))
                paths.push_back(e.path);
            notify(r, e.path, true);
        }
    }
}

const Entry* next(Replayer& r)
{
    passEvents(r);
    return r.cursor < r.recording.entries.size() ? &r.recording.entries.at(r.cursor) : nullptr;
}

QString hex(const QByteArray& bytes)
{
    return QString::fromLatin1(hexText(bytes));
}

void depart(Replayer& r, const QString& text)
{
    r.departure = QStringLiteral("the replay of %1 departs from the recording at request %2: %3")
                      .arg(QFileInfo(r.fileName).fileName())
                      .arg(r.requestsServed + 1)
                      .arg(text);
    r.lastError = r.departure.toStdWString();
    // The device is gone from now on.
    for (auto& item : r.attached) {
        for (const QByteArray& path : item.second)
            notify(r, path, false);
        item.second.clear();
    }
    if (r.onDeparture)
        r.onDeparture(r.departure);
}

QString differingRequest(const QByteArray& written, const Entry& recorded)
{
    int at = 0;
    while (at < written.size() && at < recorded.bytes.size() && written.at(at) == recorded.bytes.at(at))
        ++at;
    return QStringLiteral(
               "the tool wrote\n  %1\nwhere the recording (line %2) has\n  %3\n(they differ from byte %4 on)")
        .arg(hex(written))
        .arg(recorded.line)
        .arg(hex(recorded.bytes))
        .arg(at);
}

bool sameDevice(const Replayer& r, const Entry& e, DeviceIds ids)
{
    if (e.kind == Entry::Open)
        return e.ids == ids;
    return e.kind == Entry::OpenPath && idsOfPath(r, e.path) == ids;
}

HidBackend::Handle openDevice(DeviceIds ids)
{
    Replayer& r = replayer();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!r.departure.isEmpty())
        return nullptr;
    for (const Entry* e = next(r); e && (e->kind == Entry::Open || e->kind == Entry::OpenPath); e = next(r)) {
        if (sameDevice(r, *e, ids)) {
            ++r.cursor;
            takeTime(r, e->tookMs);
            r.lastError = e->result ? std::wstring() : std::wstring(L"the recorded open failed");
            return e->result ? &g_handle : nullptr;
        }
        // The tool skips a device whose open failed when recorded.
        if (e->result)
            break;
        ++r.cursor;
    }
    // The recording does not open that device here: it is not there.
    r.lastError = L"the recording has no open of this device here";
    return nullptr;
}

int hidWrite(HidBackend::Handle, const unsigned char* data, std::size_t length)
{
    Replayer& r = replayer();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!r.departure.isEmpty())
        return -1;
    const QByteArray written(reinterpret_cast<const char*>(data), int(length));
    const Entry* e = next(r);
    if (!e) {
        depart(r, QStringLiteral("the tool wrote\n  %1\nafter the end of the recording").arg(hex(written)));
        return -1;
    }
    if (e->kind != Entry::Write) {
        depart(r, QStringLiteral("the tool wrote\n  %1\nwhere the recording (line %2) has no request")
                      .arg(hex(written))
                      .arg(e->line));
        return -1;
    }
    if (e->bytes != written) {
        depart(r, differingRequest(written, *e));
        return -1;
    }
    ++r.cursor;
    ++r.requestsServed;
    takeTime(r, e->tookMs);
    if (e->result < 0)
        r.lastError = e->error.toStdWString();
    return e->result;
}

int hidRead(HidBackend::Handle, unsigned char* data, std::size_t length, int ms)
{
    Replayer& r = replayer();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (!r.departure.isEmpty())
        return -1;
    const Entry* e = next(r);
    if (!e || e->kind != Entry::Read) {
        // The recorded device had nothing more to say here.
        takeTime(r, std::max(ms, 0));
        return 0;
    }
    ++r.cursor;
    takeTime(r, e->tookMs);
    if (e->result < 0) {
        r.lastError = e->error.toStdWString();
        return -1;
    }
    const int n = std::min(e->result, int(length));
    std::memcpy(data, e->bytes.constData(), std::size_t(n));
    return n;
}

std::vector<std::string> hidPaths(std::uint16_t vendorId, std::uint16_t productId)
{
    Replayer& r = replayer();
    std::lock_guard<std::mutex> lock(r.mutex);
    std::vector<std::string> out;
    if (!r.departure.isEmpty())
        return out;
    next(r);
    for (const QByteArray& path : r.attached[key({vendorId, productId})])
        out.push_back(path.toStdString());
    return out;
}

const HidBackend kReplay{
    [] { return 0; },
    [] { return 0; },
    [](std::uint16_t v, std::uint16_t p, const wchar_t*) {
        return openDevice({v, p});
    },
    [](const char* path) {
        DeviceIds ids;
        {
            std::lock_guard<std::mutex> lock(replayer().mutex);
            ids = idsOfPath(replayer(), QByteArray(path));
        }
        return openDevice(ids);
    },
    [](HidBackend::Handle, int) { return replayer().departure.isEmpty() ? 0 : -1; },
    hidWrite,
    hidRead,
    [](HidBackend::Handle) {},
    [](HidBackend::Handle) -> const wchar_t* {
        // Valid until the next call on the backend, as hidapi's own text.
        thread_local std::wstring text;
        std::lock_guard<std::mutex> lock(replayer().mutex);
        text = replayer().lastError;
        return text.empty() ? nullptr : text.c_str();
    },
    [](std::uint16_t v, std::uint16_t p) { return int(hidPaths(v, p).size()); },
    [](HidBackend::PlugListener listener, void* context) {
        std::lock_guard<std::mutex> lock(replayer().mutex);
        if (listener)
            replayer().listeners[context] = listener;
        else
            replayer().listeners.erase(context);
    },
    hidPaths,
};

}  // namespace

void startReplay(const Recording& recording, const QString& fileName, bool keepTiming)
{
    Replayer& r = replayer();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.recording = recording;
        r.fileName = fileName;
        r.keepTiming = keepTiming;
        r.cursor = 0;
        r.requestsServed = 0;
        r.departure.clear();
        r.attached.clear();
        r.owedMs = 0;
        for (const RecordedDevice& d : recording.devices)
            r.attached[key(d.ids)].push_back(d.path);
    }
    setHidBackend(kReplay);
}

QString replayDeparture()
{
    std::lock_guard<std::mutex> lock(replayer().mutex);
    return replayer().departure;
}

void setDepartureHandler(std::function<void(const QString&)> handler)
{
    std::lock_guard<std::mutex> lock(replayer().mutex);
    replayer().onDeparture = std::move(handler);
}

}  // namespace recording
