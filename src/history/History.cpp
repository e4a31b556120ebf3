#include "History.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QMutex>
#include <QMutexLocker>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>

namespace history {

namespace {

// Another process appending holds the lock for milliseconds; a trim of a few
// MB for well under a second.
constexpr int kLockWaitMs = 10000;

QMutex g_mutex;  // threads of one process: QLockFile is a lock between processes
QString g_path;  // guarded by g_mutex

QString pathLocked()
{
    if (!g_path.isEmpty())
        return g_path;
    const QString fromEnvironment = qEnvironmentVariable("CORVELLE_HISTORY_FILE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    // The generic folder, not the program's own: both programs share one file.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/corvelle-repeater/history.jsonl");
}

// Drops the oldest lines until at most kKeepBytes remain; replaces the file whole.
QString trim(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const QByteArray all = file.readAll();
    file.close();
    qsizetype start = all.size() - kKeepBytes;
    start = start <= 0 ? 0 : all.indexOf('\n', start - 1) + 1;
    QSaveFile kept(path);
    if (!kept.open(QIODevice::WriteOnly) || kept.write(all.constData() + start, all.size() - start) < 0 ||
        !kept.commit())
        return kept.errorString();
    return QString();
}

// False when the last line was cut short (a crash or a power cut while it was written).
bool endsWithNewline(const QString& path)
{
    QFile file(path);
    char last = '\n';
    if (file.open(QIODevice::ReadOnly) && file.size() > 0 && file.seek(file.size() - 1))
        file.getChar(&last);
    return last == '\n';
}

QString appendLocked(const QString& path, QByteArray line)
{
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(kLockWaitMs))
        return lock.error() == QLockFile::LockFailedError
                   ? QStringLiteral("%1 is locked by another program").arg(path)
                   : QStringLiteral("cannot lock %1").arg(path);
    // A record cut short stays alone on its line, and is skipped when read.
    if (!endsWithNewline(path))
        line.prepend('\n');
    QFile file(path);
    // Unbuffered: the line goes in one write, whole, at the end.
    if (!file.open(QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(line) != line.size())
        return file.errorString();
    const qint64 size = file.size();
    file.close();
    return size > kMaxBytes ? trim(path) : QString();
}

QString resultText(const QString& why, const QString& path)
{
    return why.isEmpty() ? QString() : QStringLiteral("%1: %2").arg(path, why);
}

QString appendTo(const QString& path, const Record& record)
{
    const QByteArray line = QJsonDocument(toJson(record)).toJson(QJsonDocument::Compact) + '\n';
    // One writer of this process at a time; the lock file keeps other processes out.
    QMutexLocker locker(&g_mutex);
    return resultText(appendLocked(path, line), path);
}

// The records given to appendLater, and the one thread that appends them,
// started with the first and kept waiting for the next: starting a thread
// for each record costs the window's operation a twentieth of a millisecond.
// The thread runs at idle priority: woken with a record at normal priority it
// took the processor from the window for the record's 0.4 ms before the
// window had shown the operation's end. Neither is ever destroyed, so the
// thread may still wait when the program ends; every program waits for its
// records before it goes.
struct Appender {
    std::mutex mutex;
    std::condition_variable queued;
    std::condition_variable idle;
    std::deque<std::function<void()>> records;  // guarded by mutex
    bool appending = false;                     // guarded by mutex
};

std::atomic<Appender*> g_appender{nullptr};

void appendQueued(Appender* a)
{
    std::unique_lock<std::mutex> lock(a->mutex);
    for (;;) {
        a->queued.wait(lock, [a] { return !a->records.empty(); });
        a->appending = true;
        const std::function<void()> next = std::move(a->records.front());
        a->records.pop_front();
        lock.unlock();
        next();
        lock.lock();
        a->appending = false;
        if (a->records.empty())
            a->idle.notify_all();
    }
}

Appender& appender()
{
    static std::once_flag started;
    std::call_once(started, [] {
        auto* made = new Appender;
        QThread* thread = QThread::create(appendQueued, made);
        thread->setObjectName(QStringLiteral("history"));
        thread->start(QThread::IdlePriority);
        g_appender.store(made, std::memory_order_release);
    });
    return *g_appender.load(std::memory_order_acquire);
}

}  // namespace

QString filePath()
{
    QMutexLocker locker(&g_mutex);
    return pathLocked();
}

void setFilePath(const QString& path)
{
    QMutexLocker locker(&g_mutex);
    g_path = path;
}

QJsonObject toJson(const Record& r)
{
    QJsonArray differences;
    for (const config::Difference& d : r.differences)
        differences << QJsonObject{{QStringLiteral("channel"), d.where},
                                   {QStringLiteral("field"), d.field},
                                   {QStringLiteral("written"), d.written},
                                   {QStringLiteral("readBack"), d.readBack}};
    const QDateTime time = r.time.isValid() ? r.time : QDateTime::currentDateTimeUtc();
    QJsonObject object{{QStringLiteral("time"), time.toString(Qt::ISODateWithMs)},
                       {QStringLiteral("program"), r.program},
                       {QStringLiteral("version"), QStringLiteral(CORVELLE_VERSION)},
                       {QStringLiteral("operation"), r.operation},
                       {QStringLiteral("device"), r.devicePath},
                       {QStringLiteral("model"), r.model},
                       {QStringLiteral("boardNumber"), r.boardNumber},
                       {QStringLiteral("firmware"), r.firmware},
                       {QStringLiteral("file"), r.file},
                       {QStringLiteral("sha256"), r.sha256},
                       {QStringLiteral("result"), r.result}};
    if (!r.message.isEmpty())
        object.insert(QStringLiteral("message"), r.message);
    if (!differences.isEmpty())
        object.insert(QStringLiteral("differences"), differences);
    return object;
}

QString append(const Record& record)
{
    return appendTo(filePath(), record);
}

void appendLater(Record record, std::function<QByteArray()> content,
                 std::function<void(const QString&)> failed)
{
    if (!record.time.isValid())
        record.time = QDateTime::currentDateTimeUtc();
    // The file of the moment the operation ended, also when it changes meanwhile.
    std::function<void()> later{[record = std::move(record), content = std::move(content),
                                 failed = std::move(failed), path = filePath()]() mutable {
        if (record.sha256.isEmpty() && content) {
            const QByteArray bytes = content();
            if (!bytes.isEmpty())
                record.sha256 = sha256Hex(bytes);
        }
        const QString error = appendTo(path, record);
        if (!error.isEmpty() && failed)
            failed(error);
    }};
    Appender& a = appender();
    {
        std::lock_guard<std::mutex> lock(a.mutex);
        a.records.push_back(std::move(later));
    }
    a.queued.notify_one();
}

void waitForPending()
{
    Appender* a = g_appender.load(std::memory_order_acquire);
    if (!a)
        return;  // nothing was ever given
    std::unique_lock<std::mutex> lock(a->mutex);
    a->idle.wait(lock, [a] { return a->records.empty() && !a->appending; });
}

QVector<QJsonObject> readAll(QString* error)
{
    waitForPending();
    const QString path = filePath();
    QVector<QJsonObject> records;
    QFile file(path);
    if (!file.exists())
        return records;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = resultText(file.errorString(), path);
        return records;
    }
    // A line cut short by a crash, or damaged, is skipped; the others still count.
    while (!file.atEnd()) {
        const QJsonDocument document = QJsonDocument::fromJson(file.readLine());
        if (document.isObject())
            records << document.object();
    }
    return records;
}

QString sha256Hex(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

QString fileSha256(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

}  // namespace history
