#include "CommandLine.h"
#include "CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "device/RecordReplay.h"
#include "device/ReplayBackend.h"
#include "log/LogFile.h"
#include "sim/Simulation.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QScreen>
#include <QTextStream>

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The virtual devices chosen on the command line; false after telling why on stderr.
bool simulateChoices(const CommandLine& line, QList<sim::SimulateChoice>* choices)
{
    for (const QString& value : line.simulateValues) {
        sim::SimulateChoice choice;
        QString error;
        if (!sim::parseSimulateOption(value, &choice, &error)) {
            QTextStream(stderr) << error << '\n';
            return false;
        }
        choice.latencyMs = line.simLatencyMs;
        *choices << choice;
    }
    return true;
}

// Where the screen has room the window opens larger than its form, so that
// the bigger models' matrices need less scrolling; never smaller.
QSize openingSize(const QWidget& window)
{
    const QSize roomy(800, 580);
    const QScreen* screen = window.screen();
    if (!screen)
        return window.size();
    const QSize available = screen->availableSize() * 0.9;
    return roomy.boundedTo(available).expandedTo(window.size());
}

}  // namespace

int main(int argc, char* argv[])
{
    const CommandLine line = parseCommandLine(argumentsOf(argc, argv));
    switch (line.action) {
        case CommandLine::ShowHelp:
            QTextStream(stdout) << usageText();
            return 0;
        case CommandLine::ShowVersion:
            QTextStream(stdout) << versionText() << '\n';
            return 0;
        case CommandLine::Fail:
            QTextStream(stderr) << line.error << '\n';
            return 2;
        case CommandLine::Run:
            break;
    }
    QList<sim::SimulateChoice> choices;
    if (line.simulate && !simulateChoices(line, &choices))
        return 2;

#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);  // always on in Qt 6
#endif
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("CorvelleRepeater"));
    corvellelog::startLog(QStringLiteral("corvelle-repeater"), false);
    if (line.simulate)
        sim::startSimulation(choices);
    QString error;
    if (!recording::startRecordOrReplay({line.recordFile, line.replayFile, line.replayTiming}, versionText(),
                                        &error)) {
        QTextStream(stderr) << error << '\n';
        return 2;
    }
    HIDDevice::init();
    int result = 0;
    {
        CorvelleRepeater window(nullptr);
        // A replay that departs from its recording says so once, in a box of its own.
        recording::setDepartureHandler([&window](const QString& text) {
            QTextStream(stderr) << text << '\n';
            QMetaObject::invokeMethod(
                &window, [&window, text] { userDialogs().warning(&window, QStringLiteral("INFO"), text); },
                Qt::QueuedConnection);
        });
        window.resize(openingSize(window));
        window.show();
        result = app.exec();
        // A search that outlived hid_exit would call into a released library.
        searchthreads::waitForAll(5000);
        recording::setDepartureHandler(nullptr);
    }
    // After the window, whose device closes its handle through the library.
    HIDDevice::exit();
    return result;
}
