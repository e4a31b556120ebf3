// corvelle-cli from start to exit, as a process, with the virtual device
// answering each request after 1 ms: "info", "read", "read -o F" and
// "write F --verify" of the largest device of each family. The device-bound
// minimum is the number of answers (from the device's trace) times the
// latency. "info" gives the cost of starting the program; a transfer's own
// overhead is what its run adds to the info run beyond its extra answers.
// Two references in the same run: a bare loop fetching 500 answers straight
// from the virtual device (what its waiting costs on this machine now), and
// the same commands at no latency (the program's own work, without any
// waiting).
//   bench_cli

#include "BenchSupport.h"

#include "device/HidBackend.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kLatencyMs = 1;
// Noise (other work on the machine) can only add time: the least of the rounds counts.
constexpr int kRounds = 25;

struct Timing {
    double ms = 1e9;     // least wall time
    double cpuMs = 1e9;  // least processor time of the program (user and system)
    int answers = 0;
    bool ok = true;
};

struct Run {
    double ms = 0;
    double cpuMs = 0;
    bool ok = false;
};

// Runs the program with its standard output to /dev/null. The bench waits for
// it by polling rather than sleeping, so that the time it takes to wake this
// process up again is not counted as the program's.
Run runCli(const QStringList& arguments)
{
    std::vector<QByteArray> storage{QByteArray(CORVELLE_CLI)};
    for (const QString& argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : storage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Run run;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, CORVELLE_CLI, &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        while (wait4(pid, &status, WNOHANG, &usage) == 0) {
        }
        run.ms = clock.nsecsElapsed() / 1e6;
        run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                    (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// The number of answers a command takes, from the virtual device's trace.
// The trace is the bench's instrument, not the program's work: the timed
// rounds run without it.
int answersOf(const QTemporaryDir& dir, const QStringList& arguments)
{
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    QFile::remove(tracePath);
    qputenv("CORVELLE_SIM_TRACE", tracePath.toLocal8Bit());
    runCli(arguments);
    qunsetenv("CORVELLE_SIM_TRACE");
    int answers = 0;
    QFile trace(tracePath);
    if (trace.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : trace.readAll().split('\n'))
            answers += line.startsWith("< ") ? 1 : 0;
    }
    return answers;
}

// Times every command, a round of each in turn, so that the machine's state
// at any moment weighs on all of them alike.
std::vector<Timing> timeCli(const QTemporaryDir& dir, const std::vector<QStringList>& commands)
{
    std::vector<Timing> timings(commands.size());
    for (std::size_t i = 0; i < commands.size(); ++i)
        timings[i].answers = answersOf(dir, commands[i]);
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            const Run run = runCli(commands[i]);
            timings[i].ms = std::min(timings[i].ms, run.ms);
            timings[i].cpuMs = std::min(timings[i].cpuMs, run.cpuMs);
            timings[i].ok = timings[i].ok && run.ok;
        }
    }
    return timings;
}

// The least time per answer of a bare loop on the virtual device, in ms.
double bareFloorPerAnswer(int n)
{
    sim::VirtualBus& bus = sim::VirtualBus::instance();
    bus.install();
    bus.plug(protocol::kFamily2, *models::modelByName(QStringLiteral("Vantor-D5"))).setLatency(kLatencyMs);
    const HidBackend& hid = hidBackend();
    HidBackend::Handle h = hid.open(protocol::kFamily2Ids.vendor, protocol::kFamily2Ids.product, nullptr);
    unsigned char request[protocol::kBufferSize] = {0x01, 0x13, 0x04, 0x00, 0x10, 0x00, 0x01};
    unsigned char answer[protocol::kBufferSize];
    std::vector<double> times;
    for (int round = 0; round < 5; ++round) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < n; ++i) {
            hid.write(h, request, protocol::kFamily2ReportLength);
            hid.readTimeout(h, answer, protocol::kFamily2ReportLength, 100);
        }
        times.push_back(t.nsecsElapsed() / 1e6 / n);
    }
    hid.close(h);
    bus.unplugAll();
    return *std::min_element(times.begin(), times.end());
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    qunsetenv("CORVELLE_SIM_TRACE");
    qputenv("CORVELLE_HISTORY_FILE", dir.filePath(QStringLiteral("history.jsonl")).toLocal8Bit());
    const double floor = bareFloorPerAnswer(500);
    std::printf("bare loop: %.3f ms per answer at %d ms latency (%.1f %% over)\n\n", floor, kLatencyMs,
                100.0 * (floor - kLatencyMs) / kLatencyMs);
    std::printf("%-12s %-17s %7s %9s %9s %8s %10s %8s %9s\n", "device", "command", "answers", "wall ms",
                "minimum", "over %", "over floor", "cpu ms", "cpu at 0");
    double worstFloor = 0;
    double worstCpu = 0;
    double infoExtra = 0;
    double fileExtra = 0;
    for (const char* device : {"2:Vantor-D5", "1:Vantor-B8"}) {
        const QString file = dir.filePath(QStringLiteral("golden.txt"));
        const QString copy = dir.filePath(QStringLiteral("copy.txt"));
        const QStringList simulate{QStringLiteral("--simulate"), QLatin1String(device)};
        runCli(simulate + QStringList{QStringLiteral("read"), QStringLiteral("-o"), file});
        const std::vector<QStringList> commands{{QStringLiteral("info")},
                                                {QStringLiteral("read")},
                                                {QStringLiteral("read"), QStringLiteral("-o"), copy},
                                                {QStringLiteral("write"), file, QStringLiteral("--verify")}};
        std::vector<QStringList> slow;
        std::vector<QStringList> instant;
        for (const QStringList& command : commands) {
            slow.push_back(simulate +
                           QStringList{QStringLiteral("--sim-latency"), QString::number(kLatencyMs)} +
                           command);
            instant.push_back(simulate + command);
        }
        const std::vector<Timing> t = timeCli(dir, slow);
        const std::vector<Timing> t0 = timeCli(dir, instant);
        const Timing& info = t[0];
        infoExtra = std::max(infoExtra, info.ms - info.answers * kLatencyMs);
        std::printf(
            "%-12s %-17s %7d %9.1f %9.1f %8s %10s %8.1f %9.1f   start to exit: %.1f ms beyond its "
            "exchanges\n",
            device, "info", info.answers, info.ms, double(info.answers * kLatencyMs), "-", "-", info.cpuMs,
            t0[0].cpuMs, info.ms - info.answers * kLatencyMs);
        for (std::size_t i = 1; i < commands.size(); ++i) {
            // Beyond start-up: what the command adds to the info run.
            const int answers = t[i].answers - info.answers;
            const double beyond = t[i].ms - info.ms;
            const double minimum = answers * kLatencyMs;
            const double overFloor = 100.0 * (beyond - answers * floor) / minimum;
            const double cpu = t[i].cpuMs - info.cpuMs;
            const double cpu0 = t0[i].cpuMs - t0[0].cpuMs;
            // "read -o F" is "read" plus writing the file safely: the time the
            // disk takes to sync it is the disk's, shown on its own.
            if (commands[i].contains(QStringLiteral("-o"))) {
                fileExtra = std::max(fileExtra, t[i].ms - t[1].ms);
            } else {
                worstFloor = std::max(worstFloor, overFloor);
                worstCpu = std::max(worstCpu, 100.0 * cpu0 / minimum);
            }
            QStringList shown = commands[i];
            shown.replaceInStrings(file, QStringLiteral("F")).replaceInStrings(copy, QStringLiteral("F"));
            std::printf("%-12s %-17s %7d %9.1f %9.1f %8.1f %10.1f %8.1f %9.1f%s\n", device,
                        qPrintable(shown.join(' ')), answers, beyond, minimum,
                        100.0 * (beyond - minimum) / minimum, overFloor, cpu, cpu0,
                        t[i].ok && t0[i].ok ? "" : "  FAILED");
        }
    }
    std::printf(
        "\ncorvelle-cli: read and write --verify at most %.1f %% over the bare loop's floor; their processor "
        "time without latency at most %.1f %% of the device-bound minimum; read -o F at most %.1f ms more "
        "than "
        "read (the file written and synced to disk before it replaces the old one); info %.1f ms beyond its "
        "exchanges\n",
        worstFloor, worstCpu, fileExtra, infoExtra);
    return 0;
}
