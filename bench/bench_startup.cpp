// Start-up: the time from starting the process to the window shown, and to the
// virtual device's configuration read, and the peak resident memory of a tool
// connected to the largest device. The program starts itself as a child
// (offscreen) and measures it from outside, so loading the libraries counts.
//   bench_startup [runs]

#include "BenchSupport.h"

#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "sim/Simulation.h"

#include <QApplication>
#include <QProcess>
#include <QSettings>
#include <QTimer>

namespace {

int child(int argc, char* argv[])
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);  // always on in Qt 6
#endif
    QApplication app(argc, argv);
    sim::SimulateChoice choice;
    QString error;
    sim::parseSimulateOption(QStringLiteral("2:Vantor-D5"), &choice, &error);
    sim::startSimulation(choice);
    HIDDevice::init();
    CorvelleRepeater window;
    window.show();
    QTimer::singleShot(0, [&] {
        std::printf("shown\n");
        std::fflush(stdout);
    });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (window.isConnected() && searchthreads::running() == 0) {
            std::printf("connected %.1f\n", bench::peakResidentMiB());
            std::fflush(stdout);
            app.quit();
        }
    });
    poll.start(1);
    const int r = app.exec();
    searchthreads::waitForAll(1000);
    return r;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc > 1 && QByteArray(argv[1]) == "--child")
        return child(argc, argv);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? QString::fromLatin1(argv[1]).toInt() : 9;
    std::vector<double> shown, connected, rss;
    std::printf("%-5s %16s %20s %12s\n", "run", "window shown ms", "connected+read ms", "peak MiB");
    for (int r = 0; r < runs; ++r) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(QCoreApplication::applicationFilePath(), {"--child"});
        double s = 0, c = 0, m = 0;
        QByteArray out;
        while (p.waitForReadyRead(10000) || p.canReadLine()) {
            while (p.canReadLine()) {
                const QByteArray line = p.readLine().trimmed();
                if (line == "shown")
                    s = t.nsecsElapsed() / 1e6;
                else if (line.startsWith("connected")) {
                    c = t.nsecsElapsed() / 1e6;
                    m = line.mid(10).toDouble();
                }
            }
            if (c > 0)
                break;
        }
        p.waitForFinished(10000);
        shown.push_back(s);
        connected.push_back(c);
        rss.push_back(m);
        std::printf("%-5d %16.1f %20.1f %12.1f\n", r + 1, s, c, m);
    }
    std::printf("summary: window shown after %.1f ms (goal < 300 ms), connected and read after %.1f ms, "
                "peak resident %.1f MiB (goal < 80 MiB); medians of %d runs\n",
                bench::median(shown), bench::median(connected), bench::median(rss), runs);
    return 0;
}
