// What --record costs and what --replay saves, with corvelle-cli run as a
// process against a virtual 2:Vantor-D5 that answers each request after 1 ms.
//  1. The cost of recording: "read" and "write F" with and without --record,
//     rounds interleaved, the least time of each counting.
//  2. A whole session (info, read, write, upgrade of a 64 KiB image), each
//     command recorded, then replayed with and without --replay-timing: the
//     same standard output, standard error and exit code every time; the
//     replay's time against the recorded one.
//   bench_recording

#include "BenchSupport.h"

#include "device/HidBackend.h"
#include "device/Protocol.h"
#include "device/RecordingBackend.h"
#include "sim/VirtualBus.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 15;

struct Result {
    double ms = 0;
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Result runCli(const QStringList& arguments)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start(QStringLiteral(CORVELLE_CLI), arguments);
    process.waitForFinished(600000);
    Result r;
    r.ms = clock.nsecsElapsed() / 1e6;
    r.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    return r;
}

QStringList simulated(const QStringList& command)
{
    return QStringList{QStringLiteral("--simulate"), QStringLiteral("2:Vantor-D5"),
                       QStringLiteral("--sim-latency"), QStringLiteral("1")} +
           command;
}

double leastOf(const std::vector<double>& v)
{
    return *std::min_element(v.begin(), v.end());
}

// The time per exchange (a configuration read, answered after 1 ms) of a
// round of n exchanges straight on the backend in use.
double perExchangeMs(int n)
{
    const HidBackend& hid = hidBackend();
    HidBackend::Handle h = hid.open(protocol::kFamily2Ids.vendor, protocol::kFamily2Ids.product, nullptr);
    unsigned char request[protocol::kBufferSize] = {0x01, 0x13, 0x04, 0x00, 0x10, 0x00, 0x01};
    unsigned char answer[protocol::kBufferSize];
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < n; ++i) {
        hid.write(h, request, protocol::kFamily2ReportLength);
        hid.readTimeout(h, answer, protocol::kFamily2ReportLength, 100);
    }
    const double ms = t.nsecsElapsed() / 1e6 / n;
    hid.close(h);
    return ms;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("CORVELLE_LOG_DIR", dir.filePath(QStringLiteral("log")).toLocal8Bit());
    qunsetenv("CORVELLE_RECORD");
    const QString config = dir.filePath(QStringLiteral("config.txt"));
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    const QString rec = dir.filePath(QStringLiteral("cost.rec"));
    {
        QFile file(config);
        file.open(QIODevice::WriteOnly);
        file.write(runCli(simulated({QStringLiteral("read")})).out);
        QFile bin(image);
        bin.open(QIODevice::WriteOnly);
        QByteArray bytes(64 * 1024, '\0');
        for (int i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 7 + i / 256);
        bin.write(bytes);
    }

    {
        sim::VirtualBus& bus = sim::VirtualBus::instance();
        bus.install();
        sim::VirtualDevice& device =
            bus.plug(protocol::kFamily2, *models::modelByName(QStringLiteral("Vantor-D5")));
        const HidBackend* plain = &hidBackend();
        QString error;
        recording::startRecording(dir.filePath(QStringLiteral("loop.rec")), QStringLiteral("bench"), &error);
        const HidBackend* recorded = &hidBackend();
        std::printf("0. One exchange straight on the virtual device (least of %d rounds of 200, in turn)\n\n",
                    kRounds);
        std::printf("| answered after | without recording, ms | recorded, ms | cost |\n|---|---|---|---|\n");
        for (int latency : {0, 1}) {
            device.setLatency(latency);
            std::vector<double> plainMs, recordedMs;
            for (int round = 0; round < kRounds; ++round) {
                setHidBackend(*plain);
                plainMs.push_back(perExchangeMs(200));
                setHidBackend(*recorded);
                recordedMs.push_back(perExchangeMs(200));
            }
            const double a = leastOf(plainMs), b = leastOf(recordedMs);
            std::printf("| %d ms | %.4f | %.4f | %+.4f ms (%+.2f %%) |\n", latency, a, b, b - a,
                        100 * (b - a) / a);
        }
        recording::stopRecording();
        std::printf("\n");
    }

    std::printf("1. The cost of --record (least of %d rounds, ms)\n\n", kRounds);
    std::printf("| command | without | with --record | cost |\n|---|---|---|---|\n");
    for (const QStringList& command :
         {QStringList{QStringLiteral("read")}, QStringList{QStringLiteral("write"), config}}) {
        std::vector<double> plain, recorded;
        for (int round = 0; round < kRounds; ++round) {
            plain.push_back(runCli(simulated(command)).ms);
            recorded.push_back(runCli(simulated(QStringList{QStringLiteral("--record"), rec} + command)).ms);
        }
        const double a = leastOf(plain);
        const double b = leastOf(recorded);
        std::printf("| %s | %.1f | %.1f | %+.2f %% |\n", qPrintable(command.first()), a, b,
                    100 * (b - a) / a);
    }

    std::printf("\n2. A whole session recorded and replayed (least of 3 rounds, ms)\n\n");
    std::printf(
        "| command | recorded | replayed with --replay-timing | difference | replayed | faster | same output "
        "|\n"
        "|---|---|---|---|---|---|---|\n");
    const std::vector<QStringList> session{{QStringLiteral("info")},
                                           {QStringLiteral("read")},
                                           {QStringLiteral("write"), config},
                                           {QStringLiteral("upgrade"), image, QStringLiteral("--yes")}};
    double totalRecorded = 0, totalTimed = 0, totalFast = 0;
    bool allSame = true;
    for (const QStringList& command : session) {
        const QString file = dir.filePath(command.first() + QStringLiteral(".rec"));
        std::vector<double> recordedMs, timedMs, fastMs;
        bool same = true;
        for (int round = 0; round < 3; ++round) {
            const Result recorded =
                runCli(simulated(QStringList{QStringLiteral("--record"), file} + command));
            const Result timed = runCli(
                QStringList{QStringLiteral("--replay"), file, QStringLiteral("--replay-timing")} + command);
            const Result fast = runCli(QStringList{QStringLiteral("--replay"), file} + command);
            recordedMs.push_back(recorded.ms);
            timedMs.push_back(timed.ms);
            fastMs.push_back(fast.ms);
            for (const Result* r : {&timed, &fast})
                same = same && r->exitCode == recorded.exitCode && r->out == recorded.out &&
                       r->err == recorded.err;
            same = same && recorded.exitCode == 0;
        }
        const double a = leastOf(recordedMs), b = leastOf(timedMs), c = leastOf(fastMs);
        totalRecorded += a;
        totalTimed += b;
        totalFast += c;
        allSame = allSame && same;
        std::printf("| %s | %.1f | %.1f | %+.2f %% | %.1f | %.1f× | %s |\n", qPrintable(command.first()), a,
                    b, 100 * (b - a) / a, c, a / c, same ? "yes" : "NO");
    }
    std::printf("| whole session | %.1f | %.1f | %+.2f %% | %.1f | %.1f× | %s |\n", totalRecorded, totalTimed,
                100 * (totalTimed - totalRecorded) / totalRecorded, totalFast, totalRecorded / totalFast,
                allSame ? "yes" : "NO");
    std::printf(
        "\nbench_recording: replay with timing %+.2f %% of the recorded time, without it %.1f× faster%s\n",
        100 * (totalTimed - totalRecorded) / totalRecorded, totalRecorded / totalFast,
        allSame ? "" : "; OUTPUTS DIFFER");
    return allSame ? 0 : 1;
}
