#include "RecordingBackend.h"

#include "HidBackend.h"
#include "Protocol.h"
#include "Recording.h"

#include <QElapsedTimer>
#include <QFile>

#include <map>
#include <memory>
#include <mutex>

namespace recording {

namespace {

struct ForwardedListener {
    HidBackend::PlugListener listener;
    void* context;
};

struct Recorder {
    std::mutex mutex;
    const HidBackend* inner = nullptr;
    HidBackend table{};
    QElapsedTimer clock;
    QFile file;
    std::function<void(const QByteArray&)> trace;
    std::map<void*, std::unique_ptr<ForwardedListener>> listeners;
};

Recorder& recorder()
{
    static Recorder r;
    return r;
}

double nowMs()
{
    return double(recorder().clock.nsecsElapsed()) / 1e6;
}

// The trace line of an entry: requests and answers as the virtual device
// traces them, everything else as an event.
QByteArray traceLine(const Entry& e)
{
    if (e.kind == Entry::Write && e.result == e.bytes.size())
        return "> " + hexText(e.bytes);
    if (e.kind == Entry::Read && e.result > 0)
        return "< " + hexText(e.bytes);
    QByteArray line = entryLine(e);
    // Without the times: "> 1.000 +0.100 " and the like.
    const int firstBlank = line.indexOf(' ', 2);
    const int secondBlank = line.indexOf(' ', firstBlank + 1);
    if (e.kind == Entry::Write)
        return "# write failed: " + line.mid(secondBlank + 1);
    if (e.kind == Entry::Read)
        return "# read " + line.mid(secondBlank + 1);
    return "# " + line.mid(secondBlank + 1);
}

void add(Entry& entry)
{
    Recorder& r = recorder();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.file.isOpen())
        r.file.write(entryLine(entry) + '\n');
    if (r.trace)
        r.trace(traceLine(entry));
}

Entry begin(Entry::Kind kind)
{
    Entry e;
    e.kind = kind;
    e.timeMs = nowMs();
    return e;
}

void end(Entry& e)
{
    e.tookMs = nowMs() - e.timeMs;
    add(e);
}

QString errorOf(HidBackend::Handle handle)
{
    const wchar_t* text = recorder().inner->error(handle);
    return text ? QString::fromWCharArray(text) : QString();
}

const HidBackend& inner()
{
    return *recorder().inner;
}

void forwardPlugEvent(void* context, const char* devicePath, bool arrived)
{
    auto* forwarded = static_cast<ForwardedListener*>(context);
    Entry e = begin(arrived ? Entry::Plug : Entry::Unplug);
    e.path = devicePath;
    add(e);
    forwarded->listener(forwarded->context, devicePath, arrived);
}

void setPlugListener(HidBackend::PlugListener listener, void* context)
{
    Recorder& r = recorder();
    std::unique_ptr<ForwardedListener> removed;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        auto it = r.listeners.find(context);
        if (it != r.listeners.end()) {
            removed = std::move(it->second);
            r.listeners.erase(it);
        }
    }
    if (removed)
        inner().setPlugListener(nullptr, removed.get());
    if (!listener)
        return;
    auto forwarded = std::make_unique<ForwardedListener>(ForwardedListener{listener, context});
    ForwardedListener* raw = forwarded.get();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.listeners[context] = std::move(forwarded);
    }
    inner().setPlugListener(forwardPlugEvent, raw);
}

HidBackend wrapped(const HidBackend& original)
{
    HidBackend t = original;
    t.open = [](std::uint16_t v, std::uint16_t p, const wchar_t* serial) {
        Entry e = begin(Entry::Open);
        e.ids = {v, p};
        HidBackend::Handle h = inner().open(v, p, serial);
        e.result = h ? 1 : 0;
        end(e);
        return h;
    };
    t.openPath = [](const char* path) {
        Entry e = begin(Entry::OpenPath);
        e.path = path;
        HidBackend::Handle h = inner().openPath(path);
        e.result = h ? 1 : 0;
        end(e);
        return h;
    };
    t.setNonblocking = [](HidBackend::Handle h, int nonblock) {
        Entry e = begin(Entry::Nonblocking);
        e.argument = nonblock;
        e.result = inner().setNonblocking(h, nonblock);
        end(e);
        return e.result;
    };
    t.write = [](HidBackend::Handle h, const unsigned char* data, std::size_t length) {
        Entry e = begin(Entry::Write);
        const int n = inner().write(h, data, length);
        e.bytes =
            QByteArray(reinterpret_cast<const char*>(data), int(qMin<std::size_t>(length, kMaxReportBytes)));
        e.result = qMin(n, e.bytes.size());
        if (n < 0)
            e.error = errorOf(h);
        end(e);
        return n;
    };
    t.readTimeout = [](HidBackend::Handle h, unsigned char* data, std::size_t length, int ms) {
        Entry e = begin(Entry::Read);
        const int n = inner().readTimeout(h, data, length, ms);
        // A poll that found nothing, as the trace leaves it out.
        if (n == 0 && ms == 0)
            return n;
        e.readLength = int(qMin<std::size_t>(length, kMaxReportBytes));
        e.timeoutMs = ms;
        e.result = qMin(n, e.readLength);
        if (n > 0)
            e.bytes = QByteArray(reinterpret_cast<const char*>(data), e.result);
        if (n < 0)
            e.error = errorOf(h);
        end(e);
        return n;
    };
    t.close = [](HidBackend::Handle h) {
        Entry e = begin(Entry::Close);
        inner().close(h);
        end(e);
    };
    t.count = [](std::uint16_t v, std::uint16_t p) {
        Entry e = begin(Entry::Count);
        e.ids = {v, p};
        e.result = inner().count(v, p);
        end(e);
        return e.result;
    };
    if (original.setPlugListener)
        t.setPlugListener = setPlugListener;
    if (original.paths) {
        t.paths = [](std::uint16_t v, std::uint16_t p) {
            Entry e = begin(Entry::Paths);
            e.ids = {v, p};
            std::vector<std::string> list = inner().paths(v, p);
            for (const std::string& path : list)
                e.paths.push_back(QByteArray::fromStdString(path));
            end(e);
            return list;
        };
    }
    return t;
}

QVector<RecordedDevice> attachedDevices(const HidBackend& hid)
{
    QVector<RecordedDevice> devices;
    if (!hid.paths)
        return devices;
    for (const protocol::UsbIds ids : {protocol::kFamily1Ids, protocol::kFamily2Ids}) {
        for (const std::string& path : hid.paths(ids.vendor, ids.product))
            devices.push_back({{ids.vendor, ids.product}, QByteArray::fromStdString(path)});
    }
    return devices;
}

// Installs the wrapper once; later calls add a sink to it.
void wrapOnce()
{
    Recorder& r = recorder();
    if (r.inner)
        return;
    r.inner = &hidBackend();
    r.table = wrapped(*r.inner);
    r.clock.start();
    setHidBackend(r.table);
}

}  // namespace

bool startRecording(const QString& fileName, const QString& program, QString* error)
{
    Recorder& r = recorder();
    const HidBackend& original = r.inner ? *r.inner : hidBackend();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        r.file.close();
        r.file.setFileName(fileName);
        // Unbuffered: each line reaches the file as it is written, so a
        // session that ends by a crash or a kill keeps everything before it.
        if (!r.file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(fileName, r.file.errorString());
            return false;
        }
        r.file.write(headerLines(program, attachedDevices(original)));
        if (r.inner)
            r.clock.restart();
    }
    wrapOnce();
    return true;
}

void stopRecording()
{
    std::lock_guard<std::mutex> lock(recorder().mutex);
    recorder().file.close();
}

void startTracing(std::function<void(const QByteArray& line)> sink)
{
    {
        std::lock_guard<std::mutex> lock(recorder().mutex);
        recorder().trace = std::move(sink);
    }
    wrapOnce();
}

}  // namespace recording
