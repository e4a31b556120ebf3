// corvelle-cli from start to exit, as a process, with the virtual device
// answering each request after 1 ms: "info", "read" and "write --verify" of
// the largest device of each family. The device-bound minimum is the number
// of answers (from the device's trace) times the latency. "info" gives the
// cost of starting the program; a transfer's own overhead is what its run
// adds to the info run beyond its extra answers.
//   bench_cli

#include "BenchSupport.h"

#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kLatencyMs = 1;
// Noise (other work on the machine) can only add time: the least of the rounds counts.
constexpr int kRounds = 15;

struct Timing {
    double ms = 0;  // least wall time
    int answers = 0;
    bool ok = true;
};

Timing timeCli(const QTemporaryDir& dir, const QStringList& arguments)
{
    std::vector<double> times;
    Timing t;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    for (int round = 0; round < kRounds; ++round) {
        QFile::remove(tracePath);
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), tracePath);
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.path());
        QElapsedTimer clock;
        clock.start();
        process.start(QStringLiteral(CORVELLE_CLI), arguments);
        process.waitForFinished(120000);
        times.push_back(clock.nsecsElapsed() / 1e6);
        t.ok = t.ok && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        QFile trace(tracePath);
        t.answers = 0;
        if (trace.open(QIODevice::ReadOnly)) {
            for (const QByteArray& line : trace.readAll().split('\n'))
                t.answers += line.startsWith("< ") ? 1 : 0;
        }
    }
    t.ms = *std::min_element(times.begin(), times.end());
    return t;
}

}  // namespace

int main()
{
    QTemporaryDir dir;
    const QString latency = QString::number(kLatencyMs);
    std::printf("%-12s %-16s %8s %10s %12s %10s\n", "device", "command", "answers", "wall ms", "beyond info",
                "overhead");
    double worst = 0;
    double infoExtra = 0;
    for (const char* device : {"2:Vantor-D5", "1:Vantor-B8"}) {
        const QStringList common{QStringLiteral("--simulate"), QLatin1String(device),
                                 QStringLiteral("--sim-latency"), latency};
        const Timing info = timeCli(dir, common + QStringList{QStringLiteral("info")});
        const double infoBeyond = info.ms - info.answers * kLatencyMs;
        infoExtra = std::max(infoExtra, infoBeyond);
        std::printf("%-12s %-16s %8d %10.1f %12s %9.1f ms\n", device, "info", info.answers, info.ms, "-",
                    infoBeyond);
        const QString file = dir.filePath(QStringLiteral("golden.txt"));
        const Timing read =
            timeCli(dir, common + QStringList{QStringLiteral("read"), QStringLiteral("-o"), file});
        const Timing write =
            timeCli(dir, common + QStringList{QStringLiteral("write"), file, QStringLiteral("--verify")});
        for (const auto& [name, t] :
             {std::pair<const char*, Timing>{"read", read}, {"write --verify", write}}) {
            const double bound = (t.answers - info.answers) * kLatencyMs;
            const double beyond = t.ms - info.ms;
            const double overhead = bound > 0 ? 100.0 * (beyond - bound) / bound : 0;
            worst = std::max(worst, overhead);
            std::printf("%-12s %-16s %8d %10.1f %12.1f %9.1f %%%s\n", device, name, t.answers, t.ms, beyond,
                        overhead, t.ok ? "" : "  FAILED");
        }
    }
    std::printf(
        "corvelle-cli: transfers within %.1f %% of the device-bound minimum beyond start-up; "
        "info %.1f ms beyond its exchanges\n",
        worst, infoExtra);
    return 0;
}
