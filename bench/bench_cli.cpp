// corvelle-cli from start to exit, as a process, with the virtual device
// answering each request after 1 ms: "info", "read" and "write --verify" of
// the largest device of each family. The device-bound minimum is the number
// of answers (from the device's trace) times the latency. "info" gives the
// cost of starting the program; a transfer's own overhead is what its run
// adds to the info run beyond its extra answers. Two references in the same
// run: a bare loop fetching 500 answers straight from the virtual device
// (what its waiting costs on this machine now), and the same commands at no
// latency (the program's own work, without any waiting).
//   bench_cli

#include "BenchSupport.h"

#include "device/HidBackend.h"
#include "device/Protocol.h"
#include "sim/VirtualBus.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

#include <sys/resource.h>

namespace {

constexpr int kLatencyMs = 1;
// Noise (other work on the machine) can only add time: the least of the rounds counts.
constexpr int kRounds = 15;

struct Timing {
    double ms = 0;     // least wall time
    double cpuMs = 0;  // least processor time of the program (user and system)
    int answers = 0;
    bool ok = true;
};

// Processor time of the children reaped so far.
double childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

Timing timeCli(const QTemporaryDir& dir, const QStringList& arguments)
{
    std::vector<double> times;
    std::vector<double> cpu;
    Timing t;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    for (int round = 0; round < kRounds; ++round) {
        QFile::remove(tracePath);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), tracePath);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        const double cpuBefore = childrenCpuMs();
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(CORVELLE_CLI), arguments);
        process.waitForFinished(120000);
        times.push_back(clock.nsecsElapsed() / 1e6);
        cpu.push_back(childrenCpuMs() - cpuBefore);
        t.ok = t.ok && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        QFile trace(tracePath);
        t.answers = 0;
        if (trace.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : trace.readAll().split('\n'))
                t.answers += line.startsWith("< ") ? 1 : 0;
        }
    }
    t.ms = *std::min_element(times.begin(), times.end());
    t.cpuMs = *std::min_element(cpu.begin(), cpu.end());
    return t;
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
    const double floor = bareFloorPerAnswer(500);
    std::printf("bare loop: %.3f ms per answer at %d ms latency (%.1f %% over)\n\n", floor, kLatencyMs,
                100.0 * (floor - kLatencyMs) / kLatencyMs);
    std::printf("%-12s %-15s %7s %9s %9s %8s %10s %8s %9s\n", "device", "command", "answers", "wall ms",
                "minimum", "over %", "over floor", "cpu ms", "cpu at 0");
    double worstFloor = 0;
    double worstCpu = 0;
    double infoExtra = 0;
    for (const char* device : {"2:Vantor-D5", "1:Vantor-B8"}) {
        const QStringList common{QStringLiteral("--simulate"), QLatin1String(device),
                                 QStringLiteral("--sim-latency"), QString::number(kLatencyMs)};
        const QStringList instant{QStringLiteral("--simulate"), QLatin1String(device)};
        const QString file = dir.filePath(QStringLiteral("golden.txt"));
        const Timing info = timeCli(dir, common + QStringList{QStringLiteral("info")});
        const Timing info0 = timeCli(dir, instant + QStringList{QStringLiteral("info")});
        infoExtra = std::max(infoExtra, info.ms - info.answers * kLatencyMs);
        std::printf(
            "%-12s %-15s %7d %9.1f %9.1f %8s %10s %8.1f %9.1f   start to exit: %.1f ms beyond its "
            "exchanges\n",
            device, "info", info.answers, info.ms, double(info.answers * kLatencyMs), "-", "-", info.cpuMs,
            info0.cpuMs, info.ms - info.answers * kLatencyMs);
        const QStringList commands[] = {{QStringLiteral("read"), QStringLiteral("-o"), file},
                                        {QStringLiteral("write"), file, QStringLiteral("--verify")}};
        for (const QStringList& command : commands) {
            const Timing t = timeCli(dir, common + command);
            const Timing t0 = timeCli(dir, instant + command);
            // Beyond start-up: what the command adds to the info run.
            const int answers = t.answers - info.answers;
            const double beyond = t.ms - info.ms;
            const double minimum = answers * kLatencyMs;
            const double overFloor = 100.0 * (beyond - answers * floor) / minimum;
            const double cpu = t.cpuMs - info.cpuMs;
            const double cpu0 = t0.cpuMs - info0.cpuMs;
            worstFloor = std::max(worstFloor, overFloor);
            worstCpu = std::max(worstCpu, 100.0 * cpu0 / minimum);
            std::printf(
                "%-12s %-15s %7d %9.1f %9.1f %8.1f %10.1f %8.1f %9.1f%s\n", device,
                qPrintable(QStringList(command).replaceInStrings(file, QStringLiteral("F")).join(' ')),
                answers, beyond, minimum, 100.0 * (beyond - minimum) / minimum, overFloor, cpu, cpu0,
                t.ok && t0.ok ? "" : "  FAILED");
        }
    }
    std::printf(
        "\ncorvelle-cli: transfers at most %.1f %% over the bare loop's floor; their processor time without "
        "latency at most %.1f %% of the device-bound minimum; info %.1f ms beyond its exchanges\n",
        worstFloor, worstCpu, infoExtra);
    return 0;
}
