#pragma once
// Where the commands' words go. A command says what it has to say through
// these functions; the run it belongs to decides what reaches the terminal:
// one device's run passes it through, a run over several devices names the
// device on every line or gathers it into one JSON line, --json turns errors
// into JSON objects and --quiet keeps only what went wrong.

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <memory>

namespace cli {

struct Options;

namespace output {

// Report text for standard output, in whole lines.
void text(const QString& text);
// What the command was asked to produce (read's configuration): standard
// output, also under --quiet.
void data(const QByteArray& bytes);
// One error line, for standard error (or the JSON error object).
void error(const QString& text);
// The device the command acts on, once it has answered who it is.
void device(const QString& path, const QString& board, const QString& model);
// False when a prompt or a progress line would mix with other devices' lines.
bool interactive();

}  // namespace output

// One device's output, gathered while a command runs on it on this thread
// and emitted when it ends. Without one, the functions above write straight
// through.
class DeviceOutput {
public:
    enum Form {
        Single,  // one device: text as it comes; under --json an error ends as a JSON object
        Lines,   // one of several: every line names the device
        Json,    // one of several: one JSON object for the device
    };
    DeviceOutput(const Options& options, Form form, const QString& path = QString());
    ~DeviceOutput();
    DeviceOutput(const DeviceOutput&) = delete;
    DeviceOutput& operator=(const DeviceOutput&) = delete;

    // Emits what is left (the JSON line, the error object) for this exit code.
    void finish(int exitCode);

    QString label() const;  // "PATH (board NUMBER)"

    struct Private;

private:
    std::unique_ptr<Private> d;
};

// A whole line on standard output or standard error, never split by another thread's.
void writeLine(std::FILE* stream, const QString& line);
void writeJsonLine(const QJsonObject& object);

// The word for an exit code in the JSON lines: "ok", "failed", "refused", "different", "no device".
QString resultOf(int exitCode);
// The worse of two exit codes: bad usage, then no device, a failure, a difference, done.
int worseExit(int a, int b);

}  // namespace cli
