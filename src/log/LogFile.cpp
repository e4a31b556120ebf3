#include "LogFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>

#include <cstdio>
#include <mutex>

namespace corvellelog {

namespace {

struct LogState {
    std::mutex mutex;
    QString program;
    QString path;
    QFile file;
    bool toStandardError = false;
    QtMessageHandler previous = nullptr;
};

LogState& state()
{
    static LogState s;
    return s;
}

const char* levelText(QtMsgType type)
{
    switch (type) {
        case QtDebugMsg:
            return "debug";
        case QtInfoMsg:
            return "info ";
        case QtWarningMsg:
            return "WARN ";
        case QtCriticalMsg:
            return "ERROR";
        case QtFatalMsg:
            return "FATAL";
    }
    return "";
}

QString rotatedName(const QString& path, int n)
{
    return QStringLiteral("%1.%2").arg(path).arg(n);
}

void rotate(LogState& s)
{
    s.file.close();
    QFile::remove(rotatedName(s.path, kKeptLogs));
    for (int n = kKeptLogs - 1; n >= 1; --n)
        QFile::rename(rotatedName(s.path, n), rotatedName(s.path, n + 1));
    QFile::rename(s.path, rotatedName(s.path, 1));
    s.file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
}

void writeLine(LogState& s, const QByteArray& line, bool toFile)
{
    if (toFile && s.file.isOpen()) {
        if (s.file.size() + line.size() > kMaxLogBytes)
            rotate(s);
        s.file.write(line);
    }
    if (s.toStandardError) {
        std::fwrite(line.constData(), 1, std::size_t(line.size()), stderr);
        std::fflush(stderr);
    }
}

void handleMessage(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    LogState& s = state();
    const QLatin1String category(context.category ? context.category : "default");
    const bool ours = category.startsWith(QLatin1String("corvelle."));
    if (!ours) {
        // Qt's own messages as before; its warnings also in the log.
        if (s.previous)
            s.previous(type, context, text);
        else
            std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
        if (type == QtDebugMsg || type == QtInfoMsg)
            return;
    }
    const QString line =
        QStringLiteral("%1 %2 %3: %4\n")
            .arg(QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs), QLatin1String(levelText(type)),
                 ours ? QString(category.mid(9)) : QString(category), text);
    std::lock_guard<std::mutex> lock(s.mutex);
    const bool saved = s.toStandardError;
    if (!ours)
        s.toStandardError = false;  // already printed above
    writeLine(s, line.toUtf8(), true);
    s.toStandardError = saved;
}

QString stateFolder()
{
#ifdef Q_OS_WIN
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    const QString xdg = qEnvironmentVariable("XDG_STATE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/state");
#endif
}

}  // namespace

QString logDirectory()
{
    const QString chosen = qEnvironmentVariable("CORVELLE_LOG_DIR");
    if (!chosen.isEmpty())
        return QDir::cleanPath(chosen);
    return stateFolder() + QStringLiteral("/CorvelleRepeater");
}

QString logFilePath()
{
    std::lock_guard<std::mutex> lock(state().mutex);
    return state().path;
}

void startLog(const QString& program, bool toStandardError)
{
    LogState& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        s.program = program;
        s.toStandardError = toStandardError;
        const QString folder = logDirectory();
        s.path = folder + QLatin1Char('/') + program + QStringLiteral(".log");
        s.file.close();
        s.file.setFileName(s.path);
        // Said only with -v: a script reading standard error must not trip over it.
        if ((!QDir().mkpath(folder) || !s.file.open(QIODevice::WriteOnly | QIODevice::Append |
                                                    QIODevice::Text | QIODevice::Unbuffered)) &&
            toStandardError)
            std::fprintf(stderr, "%s: no log file: %s: %s\n", qPrintable(program), qPrintable(s.path),
                         qPrintable(s.file.errorString()));
    }
    QLoggingCategory::setFilterRules(QStringLiteral("corvelle.*.info=true"));
    s.previous = qInstallMessageHandler(handleMessage);
}

void traceLine(const QByteArray& line)
{
    LogState& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.toStandardError)
        writeLine(s, line + '\n', false);
}

bool saveLog(const QString& fileName, QString* error)
{
    QString current;
    {
        std::lock_guard<std::mutex> lock(state().mutex);
        current = state().path;
    }
    QByteArray text;
    for (int n = kKeptLogs; n >= 0; --n) {
        QFile part(n == 0 ? current : rotatedName(current, n));
        if (part.open(QIODevice::ReadOnly))
            text += part.readAll();
    }
    QSaveFile out(fileName);
    if (!out.open(QIODevice::WriteOnly) || out.write(text) != text.size() || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

}  // namespace corvellelog
