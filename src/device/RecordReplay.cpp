#include "RecordReplay.h"

#include "RecordingBackend.h"
#include "ReplayBackend.h"

#include "log/LogCategories.h"

namespace recording {

bool startRecordOrReplay(const RecordReplayOptions& options, const QString& program, QString* error)
{
    if (!options.replayFile.isEmpty()) {
        const ReadResult read = readRecordingFile(options.replayFile);
        if (!read.ok) {
            *error = QStringLiteral("%1: %2").arg(options.replayFile, read.error);
            return false;
        }
        qCInfo(lcReplay).noquote() << "replaying" << options.replayFile << "made by"
                                   << (read.recording.program.isEmpty() ? QStringLiteral("an unnamed program")
                                                                        : read.recording.program)
                                   << (options.replayTiming ? "with its timing" : "without its timing");
        setDepartureHandler([](const QString& text) { qCWarning(lcReplay).noquote() << text; });
        startReplay(read.recording, options.replayFile, options.replayTiming);
        return true;
    }
    const QString file =
        options.recordFile.isEmpty() ? qEnvironmentVariable("CORVELLE_RECORD") : options.recordFile;
    if (file.isEmpty())
        return true;
    if (!startRecording(file, program, error))
        return false;
    qCInfo(lcReplay).noquote() << "recording the session to" << file;
    return true;
}

}  // namespace recording
