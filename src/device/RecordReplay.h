#pragma once
// --record FILE, --replay FILE and --replay-timing of both programs.

#include <QString>

namespace recording {

struct RecordReplayOptions {
    QString recordFile;  // empty: CORVELLE_RECORD, when set (and no replay)
    QString replayFile;
    bool replayTiming = false;
};

// Installs the replay, or wraps the backend in use for the recording. Call
// after the virtual bus, if any, is installed and before HIDDevice::init.
// False with the message to show when a file cannot be read or written, or
// is no recording.
bool startRecordOrReplay(const RecordReplayOptions& options, const QString& program, QString* error);

}  // namespace recording
