// --each-new: the hot-plug watcher of the window tells of each device that
// arrives; the command runs on it on a thread of its own while the next one
// may already arrive. Ctrl-C or SIGTERM, or --count devices done, end the
// run after the devices in progress.

#include "Fleet.h"

#include "Commands.h"
#include "Output.h"

#include "device/DeviceWatcher.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QMap>
#include <QSet>
#include <QTimer>

#include <csignal>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace cli {

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

// A second Ctrl-C ends the program at once.
extern "C" void interrupted(int signal)
{
    g_interrupted = 1;
    std::signal(signal, SIG_DFL);
}

class EachNew : public QObject {
public:
    explicit EachNew(const Options& options) : m_options(options)
    {
        connect(&m_watcher, &DeviceWatcher::deviceInterfaceChanged, this, &EachNew::rescan);
        // Where the watcher hears nothing (on Windows the window's own messages
        // tell of devices), a look once a second finds them all the same.
        connect(&m_rescan, &QTimer::timeout, this, &EachNew::rescan);
        connect(&m_signals, &QTimer::timeout, this, [this] {
            if (g_interrupted)
                stop();
        });
        // The threads hand their results over through a mutex of the standard
        // library, which ThreadSanitizer follows, not through Qt's event queue.
        connect(&m_collect, &QTimer::timeout, this, &EachNew::collect);
    }

    ~EachNew() override
    {
        for (auto& running : m_threads)
            running.second.join();
    }

    int run()
    {
        const QStringList attached = attachedPaths();
        if (!m_options.all)
            m_known = QSet<QString>(attached.begin(), attached.end());
        m_watcher.start();
        m_signals.start(50);
        m_collect.start(20);
        m_rescan.start(1000);
        if (!m_options.quiet)
            writeLine(stderr, QStringLiteral("waiting for devices to arrive (Ctrl-C ends)"));
        startNew(attached);
        QCoreApplication::exec();
        summarise();
        return m_worst;
    }

private:
    void rescan()
    {
        // A device unplugged and plugged in again at the same path is new.
        const QStringList attached = attachedPaths();
        m_known.intersect(QSet<QString>(attached.begin(), attached.end()));
        startNew(attached);
    }

    void startNew(const QStringList& attached)
    {
        for (const QString& path : attached) {
            if (m_known.contains(path) || m_stopping || (m_options.count && m_started >= m_options.count))
                continue;
            m_known.insert(path);
            const int index = m_started++;
            m_threads[index] = std::thread([this, path, index] {
                const int code = runOnPath(m_options, path);
                std::lock_guard<std::mutex> lock(m_doneMutex);
                m_done.emplace_back(index, code);
            });
        }
    }

    void collect()
    {
        std::vector<std::pair<int, int>> done;
        {
            std::lock_guard<std::mutex> lock(m_doneMutex);
            done.swap(m_done);
        }
        for (const auto& [index, code] : done)
            finished(index, code);
    }

    void finished(int index, int code)
    {
        // A line runs all day: each thread is let go as soon as its device is done.
        m_threads[index].join();
        m_threads.erase(index);
        ++m_finished;
        ++m_results[code];
        m_worst = worseExit(m_worst, code);
        if ((m_options.count && m_finished >= m_options.count) || (m_stopping && m_finished == m_started))
            QCoreApplication::quit();
    }

    void stop()
    {
        m_signals.stop();
        m_stopping = true;
        const int inProgress = m_started - m_finished;
        if (!m_options.quiet && inProgress > 0)
            writeLine(stderr,
                      inProgress == 1
                          ? QStringLiteral("ending after the device in progress")
                          : QStringLiteral("ending after the %1 devices in progress").arg(inProgress));
        if (m_finished == m_started)
            QCoreApplication::quit();
    }

    void summarise()
    {
        if (m_options.quiet)
            return;
        if (m_options.json) {
            QJsonObject summary{{QStringLiteral("devices"), m_finished}};
            for (auto it = m_results.cbegin(); it != m_results.cend(); ++it)
                summary.insert(resultOf(it.key()), it.value());
            writeJsonLine({{QStringLiteral("summary"), summary}, {QStringLiteral("exit"), m_worst}});
            return;
        }
        QStringList parts;
        for (auto it = m_results.cbegin(); it != m_results.cend(); ++it)
            parts << QStringLiteral("%1 %2").arg(it.value()).arg(resultOf(it.key()));
        writeLine(stdout, QStringLiteral("%1 %2 done%3%4")
                              .arg(m_finished)
                              .arg(m_finished == 1 ? QStringLiteral("device") : QStringLiteral("devices"))
                              .arg(parts.isEmpty() ? QString() : QStringLiteral(": "),
                                   parts.join(QStringLiteral(", "))));
    }

    const Options m_options;
    DeviceWatcher m_watcher;
    QTimer m_signals;
    QTimer m_collect;
    QTimer m_rescan;
    QSet<QString> m_known;                 // attached and either done, in progress, or there at start
    std::map<int, std::thread> m_threads;  // the devices in progress, by their start
    std::mutex m_doneMutex;
    std::vector<std::pair<int, int>> m_done;  // guarded by m_doneMutex: index and exit code
    QMap<int, int> m_results;                 // exit code: devices
    int m_started = 0;
    int m_finished = 0;
    int m_worst = kDone;
    bool m_stopping = false;
};

}  // namespace

int runEachNew(const Options& options)
{
    const int checked = checkBeforeSeveral(options, QStringLiteral("every device plugged in from now on"));
    if (checked != kDone)
        return checked;
    g_interrupted = 0;
    std::signal(SIGINT, interrupted);
    std::signal(SIGTERM, interrupted);
    EachNew run(options);
    return run.run();
}

}  // namespace cli
