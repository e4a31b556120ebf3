#include "Output.h"

#include "CliOptions.h"

#include <QJsonDocument>
#include <QStringList>

#include <mutex>

namespace cli {

struct DeviceOutput::Private {
    Options options;
    Form form;
    QString path;
    QString board;
    QString model;
    QString partLine;  // text not yet ended by a newline
    QStringList held;  // lines kept for the end: a JSON line, or --quiet's report of a failure
    QByteArray data;
    QStringList errors;
    bool saidSomething = false;

    QString label() const
    {
        return board.isEmpty() ? path : QStringLiteral("%1 (board %2)").arg(path, board);
    }
    void addText(const QString& text);
    void addError(const QString& text);
};

namespace {

std::mutex g_writeMutex;
thread_local DeviceOutput::Private* t_current = nullptr;

void writeBytes(std::FILE* stream, const QByteArray& bytes)
{
    std::lock_guard<std::mutex> lock(g_writeMutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

}  // namespace

void writeLine(std::FILE* stream, const QString& line)
{
    writeBytes(stream, line.toUtf8() + '\n');
}

void writeJsonLine(const QJsonObject& object)
{
    writeBytes(stdout, QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

QString resultOf(int exitCode)
{
    switch (exitCode) {
        case kDone:
            return QStringLiteral("ok");
        case kDeviceFailed:
            return QStringLiteral("failed");
        case kBadUsage:
            return QStringLiteral("refused");
        case kDifferent:
            return QStringLiteral("different");
        default:
            return QStringLiteral("no device");
    }
}

int worseExit(int a, int b)
{
    static constexpr int kBestFirst[] = {kDone, kDifferent, kDeviceFailed, kNoDevice, kBadUsage};
    int rankA = 0;
    int rankB = 0;
    for (int i = 0; i < 5; ++i) {
        rankA = kBestFirst[i] == a ? i : rankA;
        rankB = kBestFirst[i] == b ? i : rankB;
    }
    return rankA >= rankB ? a : b;
}

void DeviceOutput::Private::addText(const QString& text)
{
    if (form == Json) {
        held << text;
        return;
    }
    if (form == Single) {
        if (options.quiet)
            held << text;
        else
            writeBytes(stdout, text.toUtf8());
        saidSomething = true;
        return;
    }
    QStringList lines = (partLine + text).split(QLatin1Char('\n'));
    partLine = lines.takeLast();
    for (const QString& line : lines) {
        if (options.quiet)
            held << label() + QStringLiteral(": ") + line;
        else
            writeLine(stdout, label() + QStringLiteral(": ") + line);
        saidSomething = true;
    }
}

void DeviceOutput::Private::addError(const QString& text)
{
    if (form == Lines)
        writeLine(stderr, label() + QStringLiteral(": ") + text);
    else if (form == Single && !options.json)
        writeLine(stderr, text);
    else
        errors << text;
}

DeviceOutput::DeviceOutput(const Options& options, Form form, const QString& path)
    : d(std::make_unique<Private>())
{
    d->options = options;
    d->form = form;
    d->path = path;
    t_current = d.get();
}

DeviceOutput::~DeviceOutput()
{
    if (t_current == d.get())
        t_current = nullptr;
}

QString DeviceOutput::label() const
{
    return d->label();
}

void DeviceOutput::finish(int exitCode)
{
    t_current = nullptr;
    if (!d->partLine.isEmpty())
        d->addText(QStringLiteral("\n"));
    const bool failed = exitCode != kDone;
    if (d->form == Json) {
        if (d->options.quiet && !failed)
            return;
        QJsonObject line = QJsonDocument::fromJson(d->held.join(QString()).toUtf8()).object();
        line.insert(QStringLiteral("device"), d->path);
        line.insert(QStringLiteral("board"), d->board);
        line.insert(QStringLiteral("model"), d->model);
        line.insert(QStringLiteral("result"), resultOf(exitCode));
        line.insert(QStringLiteral("exit"), exitCode);
        if (!d->data.isEmpty())
            line.insert(QStringLiteral("configuration"), QJsonDocument::fromJson(d->data).object());
        if (!d->errors.isEmpty())
            line.insert(QStringLiteral("error"), d->errors.join(QLatin1Char('\n')));
        writeJsonLine(line);
        return;
    }
    // --quiet: the report of a device that failed or differs is an error.
    if (failed && !d->held.isEmpty())
        writeBytes(stderr, d->held.join(d->form == Lines ? QStringLiteral("\n") : QString()).toUtf8() +
                               (d->form == Lines ? "\n" : ""));
    if (d->form == Single && d->options.json &&
        (!d->errors.isEmpty() || (failed && exitCode != kDifferent))) {
        const QString text = d->errors.isEmpty() ? resultOf(exitCode) : d->errors.join(QLatin1Char('\n'));
        writeJsonLine({{QStringLiteral("error"), text},
                       {QStringLiteral("exit"), exitCode},
                       {QStringLiteral("device"), d->path.isEmpty() ? QJsonValue() : QJsonValue(d->path)}});
    }
    if (d->form == Lines && !failed && !d->saidSomething && !d->options.quiet)
        writeLine(stdout, d->label() + QStringLiteral(": done"));
}

namespace output {

void text(const QString& text)
{
    if (t_current)
        t_current->addText(text);
    else
        writeBytes(stdout, text.toUtf8());
}

void data(const QByteArray& bytes)
{
    if (t_current && t_current->form == DeviceOutput::Json)
        t_current->data += bytes;
    else if (t_current && t_current->form == DeviceOutput::Lines)
        t_current->addText(QString::fromUtf8(bytes));
    else
        writeBytes(stdout, bytes);
}

void error(const QString& text)
{
    if (t_current)
        t_current->addError(text);
    else
        writeLine(stderr, text);
}

void device(const QString& path, const QString& board, const QString& model)
{
    if (!t_current)
        return;
    t_current->path = path;
    t_current->board = board;
    t_current->model = model;
}

bool interactive()
{
    return !t_current || t_current->form == DeviceOutput::Single;
}

}  // namespace output

}  // namespace cli
