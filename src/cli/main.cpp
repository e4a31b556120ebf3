// corvelle-cli: the tool's device operations from a shell, without a window.

#include "CliOptions.h"
#include "Commands.h"
#include "TimingCommand.h"
#include "Fleet.h"
#include "Output.h"

#include "device/HIDDevice.h"
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
    if (options.simulate)
        sim::startSimulation(choices);
    HIDDevice::init();
    const int code = options.eachNew                ? cli::runEachNew(options)
                     : cli::severalDevices(options) ? cli::runOnSeveral(options)
                                                    : cli::run(options);
    HIDDevice::exit();
    return code;
}
