#include "CliOptions.h"

namespace cli {

namespace {

const QStringList kCommands{QStringLiteral("list"),    QStringLiteral("info"),     QStringLiteral("read"),
                            QStringLiteral("write"),   QStringLiteral("defaults"), QStringLiteral("firmware"),
                            QStringLiteral("upgrade"), QStringLiteral("compare"),  QStringLiteral("history")};

bool takesOperand(const QString& command)
{
    return command == QLatin1String("write") || command == QLatin1String("upgrade") ||
           command == QLatin1String("compare");
}

// What a production line repeats on each device it plugs.
bool changesDevice(const QString& command)
{
    return command == QLatin1String("write") || command == QLatin1String("defaults") ||
           command == QLatin1String("upgrade");
}

// The usage errors of the several-device options.
QString severalDevicesError(const Options& o)
{
    if (o.eachNew && !changesDevice(o.command))
        return QStringLiteral("--each-new is for write, defaults and upgrade");
    if (o.eachNew && !o.devicePaths.isEmpty())
        return QStringLiteral("--each-new takes each device as it arrives; --device is not for it");
    if (o.count > 0 && !o.eachNew)
        return QStringLiteral("--count belongs to --each-new");
    if (o.command == QLatin1String("read") && severalDevices(o) && !o.output.isEmpty())
        return QStringLiteral(
            "read -o writes one device's file; add --json instead to read several, one line each");
    if (o.command == QLatin1String("read") && severalDevices(o) && !o.json)
        return QStringLiteral("read reads one device; add --json to read several, one line each");
    return QString();
}

// Which commands an option belongs to; empty for the common ones.
QStringList commandsOf(const QString& option)
{
    if (option == QLatin1String("-o"))
        return {QStringLiteral("read")};
    if (option == QLatin1String("--verify"))
        return {QStringLiteral("write")};
    if (option == QLatin1String("--yes"))
        return {QStringLiteral("defaults"), QStringLiteral("upgrade")};
    if (option == QLatin1String("--force"))
        return {QStringLiteral("write"), QStringLiteral("upgrade")};
    return {};
}

}  // namespace

bool splitInlineValue(QString* argument, QString* value)
{
    const int equals = argument->indexOf(QLatin1Char('='));
    if (!argument->startsWith(QLatin1String("--")) || equals < 0)
        return false;
    *value = argument->mid(equals + 1);
    argument->truncate(equals);
    return true;
}

Options parseOptions(const QStringList& arguments)
{
    Options o;
    QStringList usedOptions;
    auto fail = [&o](const QString& text) {
        if (o.error.isEmpty())
            o.error = text;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        QString arg = arguments.at(i);
        QString value;
        const bool hasValue = splitInlineValue(&arg, &value);
        auto takeValue = [&]() -> QString {
            if (hasValue)
                return value;
            if (i + 1 < arguments.size())
                return arguments.at(++i);
            fail(QStringLiteral("%1 needs a value").arg(arg));
            return QString();
        };
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            o.help = true;
        } else if (arg == QLatin1String("--version")) {
            o.version = true;
        } else if (arg == QLatin1String("--json")) {
            o.json = true;
        } else if (arg == QLatin1String("-q") || arg == QLatin1String("--quiet")) {
            o.quiet = true;
        } else if (arg == QLatin1String("--device")) {
            o.devicePaths << takeValue();
        } else if (arg == QLatin1String("--all")) {
            o.all = true;
        } else if (arg == QLatin1String("--each-new")) {
            o.eachNew = true;
        } else if (arg == QLatin1String("--count")) {
            bool ok = false;
            o.count = takeValue().toInt(&ok);
            if (!ok || o.count < 1)
                fail(QStringLiteral("--count needs a number of devices"));
        } else if (arg == QLatin1String("--simulate")) {
            o.simulate = true;
            o.simulateValues << takeValue();
        } else if (arg == QLatin1String("--sim-latency")) {
            bool ok = false;
            o.simLatencyMs = takeValue().toInt(&ok);
            if (!ok || o.simLatencyMs < 0)
                fail(QStringLiteral("--sim-latency needs a number of milliseconds"));
        } else if (arg == QLatin1String("--record")) {
            o.recordFile = takeValue();
        } else if (arg == QLatin1String("--replay")) {
            o.replayFile = takeValue();
        } else if (arg == QLatin1String("--replay-timing")) {
            o.replayTiming = true;
        } else if (arg == QLatin1String("-v") || arg == QLatin1String("--verbose")) {
            o.verbose = true;
        } else if (arg == QLatin1String("-o")) {
            o.output = takeValue();
            usedOptions << arg;
        } else if (arg == QLatin1String("--verify")) {
            o.verify = true;
            usedOptions << arg;
        } else if (arg == QLatin1String("--yes")) {
            o.yes = true;
            usedOptions << arg;
        } else if (arg == QLatin1String("--force")) {
            o.force = true;
            usedOptions << arg;
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            fail(QStringLiteral("unknown option \"%1\"").arg(arguments.at(i)));
        } else if (o.command.isEmpty()) {
            if (!kCommands.contains(arg))
                fail(QStringLiteral("unknown command \"%1\"").arg(arg));
            o.command = arg;
        } else if (takesOperand(o.command) && o.operand.isEmpty()) {
            o.operand = arg;
        } else {
            fail(QStringLiteral("unexpected argument \"%1\"").arg(arg));
        }
    }
    if (o.help || o.version)
        return o;
    if (o.command.isEmpty())
        fail(QStringLiteral("no command given"));
    if (takesOperand(o.command) && o.operand.isEmpty())
        fail(QStringLiteral("%1 needs a file").arg(o.command));
    for (const QString& option : usedOptions) {
        if (!commandsOf(option).contains(o.command))
            fail(QStringLiteral("%1 belongs to \"%2\"")
                     .arg(option, commandsOf(option).join(QStringLiteral("\", \""))));
    }
    if (o.devicePaths.size() == 1 && !o.all)
        o.devicePath = o.devicePaths.first();
    fail(severalDevicesError(o));
    if (!o.replayFile.isEmpty() && o.simulate)
        fail(QStringLiteral("--replay and --simulate exclude each other: a replay is the device"));
    if (!o.replayFile.isEmpty() && !o.recordFile.isEmpty())
        fail(QStringLiteral("--record and --replay exclude each other"));
    if (o.replayTiming && o.replayFile.isEmpty())
        fail(QStringLiteral("--replay-timing belongs to --replay"));
    return o;
}

bool severalDevices(const Options& o)
{
    return o.command != QLatin1String("list") && (o.devicePaths.size() > 1 || o.all || o.eachNew);
}

QString usageText()
{
    return QStringLiteral(
        "Usage: corvelle-cli [options] COMMAND [ARGUMENTS]\n"
        "Configures Corvelle CAN-bus to fibre-optic repeaters without a window.\n"
        "\n"
        "Commands:\n"
        "  list                   every attached device: USB ids, path, family, model\n"
        "  info                   model, hardware and firmware versions, board number, channels\n"
        "  read [-o FILE]         the configuration as a configuration file (default: standard output)\n"
        "  write FILE [--verify] [--force]  writes a configuration file to the device; --verify\n"
        "                         reads it back and lists every field that differs; a file with\n"
        "                         doubtful values (a timing not valid, a fibre rate the device\n"
        "                         does not run) is refused unless --force\n"
        "  compare FILE           reads the device and lists every field that differs from FILE;\n"
        "                         writes nothing\n"
        "  defaults [--yes]       restores the device's defaults (asks unless --yes)\n"
        "  firmware               the bootloader and firmware versions (family 2)\n"
        "  upgrade IMAGE [--yes] [--force]  flashes a firmware image (family 2), asking first\n"
        "                         unless --yes; a name not ending in \".bin\" is refused unless --force\n"
        "  timing --family 1|2 --rate RATE | --decode REGISTER\n"
        "                         bit-timing registers for a rate and sample point, or a\n"
        "                         register explained; no device (corvelle-cli timing --help)\n"
        "  history [--device D]   every write, defaults and upgrade of either program: time, device,\n"
        "                         board number, file and its SHA-256, result; --device D: only the\n"
        "                         device at path D or with board number D\n"
        "\n"
        "Options:\n"
        "  --device PATH          the device at PATH, as list shows it (default: the first found);\n"
        "                         given several times, each of those devices\n"
        "  --all                  every attached device, each on a thread of its own\n"
        "  --each-new             (write, defaults, upgrade) waits for devices and runs the command\n"
        "                         on each as it is plugged in, until Ctrl-C or SIGTERM, which end\n"
        "                         it after the devices in progress; devices already attached are\n"
        "                         left alone unless --all is given too\n"
        "  --count N              with --each-new: ends after N devices\n"
        "  --simulate [FAMILY:]MODEL[@ARRIVE[-LEAVE]]  a virtual device instead, e.g. 2:Vantor-D5\n"
        "                         or 1:Vantor-A2; given several times, several devices; with a time,\n"
        "                         it is plugged in (and out) while the program runs: @3s, @1s-4.5s,\n"
        "                         @-500ms (there at start, pulled out after 500 ms)\n"
        "  --sim-latency MS       the virtual devices answer MS milliseconds late\n"
        "  --json                 JSON output; with several devices one JSON object per device\n"
        "                         and line (device, board, model, result, exit, differences);\n"
        "                         errors as {\"error\": ..., \"exit\": N, \"device\": ...} on\n"
        "                         standard output\n"
        "  -q, --quiet            prints nothing but errors (a device that fails or differs)\n"
        "  --record FILE          records every exchange with the device to FILE (also\n"
        "                         CORVELLE_RECORD=FILE), to send to the developers with the log\n"
        "  --replay FILE          a recorded session served as the device; nothing reaches a real one\n"
        "  --replay-timing        the replay keeps the recorded delays\n"
        "  -v, --verbose          the log's lines and every exchange (\"> \" request, \"< \" answer)\n"
        "                         on standard error\n"
        "  -h, --help             this text\n"
        "  --version              the program's version\n"
        "\n"
        "Exit codes:\n"
        "  0  done\n"
        "  1  the device refused or failed\n"
        "  2  bad usage or a bad file\n"
        "  3  write --verify or compare found a difference\n"
        "  4  no device, or access to it denied\n"
        "With several devices every line names its device (path and board number) and the exit\n"
        "code is the worst of theirs: 2, then 4, 1, 3, 0.\n"
        "\n"
        "The log: ~/.local/state/CorvelleRepeater/corvelle-cli.log (CORVELLE_LOG_DIR moves it).\n");
}

}  // namespace cli
