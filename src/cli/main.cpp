// corvelle-cli: the tool's device operations from a shell, without a window.

#include "CliOptions.h"
#include "Commands.h"
#include "TimingCommand.h"
#include "Fleet.h"
#include "Output.h"

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
    if (cli::isTimingCommand(arguments))
        return cli::runTimingCommand(arguments);
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
        if (options.json)
            return cli::refuse(options, options.error, cli::kBadUsage);
        std::fprintf(stderr, "corvelle-cli: %s\nTry \"corvelle-cli --help\".\n",
                     options.error.toUtf8().constData());
        return cli::kBadUsage;
    }
    QList<sim::SimulateChoice> choices;
    for (const QString& value : options.simulateValues) {
        sim::SimulateChoice choice;
        QString error;
        if (!sim::parseSimulateOption(value, &choice, &error))
            return cli::refuse(options, QStringLiteral("corvelle-cli: ") + error, cli::kBadUsage);
        choice.latencyMs = options.simLatencyMs;
        choices << choice;
    }

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("corvelle-cli"));
    corvellelog::startLog(QStringLiteral("corvelle-cli"), options.verbose);
    if (options.simulate)
        sim::startSimulation(choices);
    QString error;
    if (!recording::startRecordOrReplay({options.recordFile, options.replayFile, options.replayTiming},
                                        QStringLiteral("corvelle-cli " CORVELLE_VERSION), &error)) {
        return cli::refuse(options, QStringLiteral("corvelle-cli: ") + error, cli::kBadUsage);
    }
    if (options.verbose)
        recording::startTracing(corvellelog::traceLine);
    HIDDevice::init();
    qCInfo(lcOperation).noquote() << options.command << "started:" << arguments.mid(1).join(QLatin1Char(' '));
    int code = options.eachNew                ? cli::runEachNew(options)
               : cli::severalDevices(options) ? cli::runOnSeveral(options)
                                              : cli::run(options);
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
