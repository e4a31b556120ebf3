#pragma once
// --record: the HID backend in use wrapped, not replaced. Every call passes
// through to it unchanged and is appended to a recording (Recording.h); with
// a trace sink, each exchange is also handed over in the trace format
// ("> " request, "< " answer, "# " other events) for corvelle-cli -v.

#include <QString>

#include <functional>

class QByteArray;

namespace recording {

// Wraps the backend in use (call after the virtual bus, if any, is
// installed, and before HIDDevice::init). The header names the program and
// the devices attached now. False with the reason when the file cannot be
// written; the backend is then left as it was.
bool startRecording(const QString& fileName, const QString& program, QString* error);
// Closes the file; the calls pass through unrecorded from now on.
void stopRecording();

// Hands every exchange, as a trace line, to sink (called from any thread,
// one line at a time).
void startTracing(std::function<void(const QByteArray& line)> sink);

}  // namespace recording
