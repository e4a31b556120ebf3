// corvelle-cli: the tool's device operations from a shell, without a window.

#include "CliOptions.h"
#include "Commands.h"

#include "device/HIDDevice.h"
#include "device/RecordReplay.h"
#include "device/RecordingBackend.h"
#include "device/ReplayBackend.h"
#include "log/LogCategories.h"
#include "log/LogFile.h"
#include "sim/Simulation.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const cli::Options options = cli::parseOptions(arguments);
    if (options.help) {
        std::fputs(cli::usageText().toUtf8().constData(), stdout);
        return cli::kDone;
    }
    if (options.version) {
        std::printf("corvelle-cli %s\n", CORVELLE_VERSION);
        return cli::kDone;
    }
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "corvelle-cli: %s\nTry \"corvelle-cli --help\".\n",
                     options.error.toUtf8().constData());
        return cli::kBadUsage;
    }
    sim::SimulateChoice choice;
    if (options.simulate) {
        QString error;
        if (!sim::parseSimulateOption(options.simulateValue, &choice, &error)) {
            std::fprintf(stderr, "corvelle-cli: %s\n", error.toUtf8().constData());
            return cli::kBadUsage;
        }
        choice.latencyMs = options.simLatencyMs;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelle-cli"));
    corvellelog::startLog(QStringLiteral("corvelle-cli"), options.verbose);
    if (options.simulate)
        sim::startSimulation(choice);
    QString error;
    if (!recording::startRecordOrReplay({options.recordFile, options.replayFile, options.replayTiming},
                                        QStringLiteral("corvelle-cli " CORVELLE_VERSION), &error)) {
        std::fprintf(stderr, "corvelle-cli: %s\n", error.toUtf8().constData());
        return cli::kBadUsage;
    }
    if (options.verbose)
        recording::startTracing(corvellelog::traceLine);
    HIDDevice::init();
    qCInfo(lcOperation).noquote() << options.command << "started:" << arguments.mid(1).join(QLatin1Char(' '));
    int code = cli::run(options);
    HIDDevice::exit();
    const QString departure = recording::replayDeparture();
    if (!departure.isEmpty()) {
        std::fprintf(stderr, "corvelle-cli: %s\n", departure.toUtf8().constData());
        if (code == cli::kDone)
            code = cli::kDeviceFailed;
    }
    if (code == cli::kDone)
        qCInfo(lcOperation).noquote() << options.command << "done";
    else
        qCWarning(lcOperation).noquote() << options.command << "ended with exit code" << code;
    return code;
}
