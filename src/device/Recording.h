#pragma once
// A recording of a device session: every call the tool made on the HID
// backend, with its time, arguments and result, as text a person can read.
// It extends the virtual device's trace: "> " a request written, "< " an
// answer read, "# " anything else. After the marker comes the time in
// milliseconds since the recording began and "+" the time the call took:
//
//   # corvelle-recording 1
//   # program corvelle-cli 1.4.0
//   # device 34b7:0101 "/dev/hidraw3"
//   # 0.210 +0.015 open 34b7:0101 ok
//   > 0.240 +0.080 01 13 01 00 27 00 …            written in full
//   > 0.240 +0.080 01 13 01 00 27 00 … = 5        the backend reported 5 bytes
//   > 0.240 +0.080 01 13 01 00 27 00 … = -1 "error text"
//   < 0.330 +1.020 48/10ms 01 13 01 00 25 …       48 asked within 10 ms, these came
//   < 0.330 +10.08 48/10ms timeout
//   < 0.330 +0.010 48/10ms error "error text"
//   # 0.400 +0.000 unplug "/dev/hidraw3"
//
// Other events: "open-path "PATH" ok|fail", "nonblocking N = R", "close",
// "paths VID:PID "PATH"…", "count VID:PID N", "plug "PATH"". A "# " line
// whose second word is not a time is a comment. A read with timeout 0 that
// found nothing (a poll) is not recorded. A line is written when its call
// returns, so an event raised during a call (an unplug during a write) comes
// before the call's own line, with a later time.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdint>

namespace recording {

constexpr int kFormatVersion = 1;
constexpr qint64 kMaxFileSize = 256ll << 20;  // a 4 MiB firmware upgrade takes about 45 MiB
constexpr int kMaxReportBytes = 4096;

struct DeviceIds {
    std::uint16_t vendor = 0;
    std::uint16_t product = 0;
    bool operator==(const DeviceIds& o) const { return vendor == o.vendor && product == o.product; }
};

struct RecordedDevice {
    DeviceIds ids;
    QByteArray path;
};

struct Entry {
    enum Kind { Open, OpenPath, Nonblocking, Write, Read, Close, Paths, Count, Plug, Unplug };
    Kind kind = Close;
    int line = 0;               // in the file, from 1
    double timeMs = 0;          // when the call began, since the recording began
    double tookMs = 0;          // how long it took
    DeviceIds ids;              // open, paths, count
    QByteArray path;            // open-path, plug, unplug
    QVector<QByteArray> paths;  // paths
    QByteArray bytes;           // write: the request; read: the answer
    int result = 0;             // open: 1 ok, 0 fail; write/read: the backend's return; count; nonblocking
    int argument = 0;           // nonblocking: the mode asked
    int readLength = 0;         // read: the length asked
    int timeoutMs = 0;          // read: the timeout asked, -1 for none
    QString error;              // write/read with result -1

    bool isPoll() const { return kind == Read && timeoutMs == 0; }
};

struct Recording {
    QString program;  // "corvelle-cli 1.4.0"
    QVector<RecordedDevice> devices;
    QVector<Entry> entries;
};

struct ReadResult {
    bool ok = false;
    QString error;  // "line 12: …" when not ok
    Recording recording;
};

ReadResult parseRecording(const QByteArray& text);
ReadResult readRecordingFile(const QString& fileName);

// The lines, without their line end.
QByteArray headerLines(const QString& program, const QVector<RecordedDevice>& devices);
QByteArray entryLine(const Entry& entry);

QByteArray idsText(DeviceIds ids);            // "34b7:0101"
QByteArray quoted(const QByteArray& text);    // "…" with \" and \\ escaped, control bytes as \xNN
QByteArray hexText(const QByteArray& bytes);  // "01 13 0a"

}  // namespace recording
