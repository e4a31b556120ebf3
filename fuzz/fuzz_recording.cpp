// The recording reader: arbitrary text read as a recording. A recording it
// accepts must come out of the writer as text it accepts again, with the same
// entries; then the replay serves it to the real search and read sequences.

#include "device/DeviceSearch.h"
#include "device/Recording.h"
#include "device/ReplayBackend.h"

#include <QLoggingCategory>

#include <cstdlib>

namespace {

QByteArray written(const recording::Recording& r)
{
    QByteArray text = recording::headerLines(r.program, r.devices);
    for (const recording::Entry& e : r.entries)
        text += recording::entryLine(e) + '\n';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("corvelle.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const recording::ReadResult read =
        recording::parseRecording(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    if (!read.ok) {
        if (read.error.isEmpty())
            std::abort();  // a refusal always says why
        return 0;
    }
    const recording::ReadResult again = recording::parseRecording(written(read.recording));
    if (!again.ok || again.recording.entries.size() != read.recording.entries.size() ||
        again.recording.devices.size() != read.recording.devices.size())
        std::abort();
    // Served as a device to a search, as corvelle-cli's info does.
    recording::startReplay(read.recording, QStringLiteral("fuzz.rec"), false);
    HIDDevice device;
    searchDevice(device, 0);
    return 0;
}
