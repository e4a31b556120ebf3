#include "CliOptions.h"

namespace cli {

namespace {

const QStringList kCommands{QStringLiteral("list"),   QStringLiteral("info"),     QStringLiteral("read"),
                            QStringLiteral("write"),  QStringLiteral("defaults"), QStringLiteral("firmware"),
                            QStringLiteral("upgrade")};

bool takesOperand(const QString& command)
{
    return command == QLatin1String("write") || command == QLatin1String("upgrade");
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
        bool hasValue = false;
        if (arg.startsWith(QLatin1String("--")) && arg.contains(QLatin1Char('='))) {
            value = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            arg = arg.left(arg.indexOf(QLatin1Char('=')));
            hasValue = true;
        }
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
        } else if (arg == QLatin1String("--device")) {
            o.devicePath = takeValue();
        } else if (arg == QLatin1String("--simulate")) {
            o.simulate = true;
            o.simulateValue = takeValue();
        } else if (arg == QLatin1String("--sim-latency")) {
            bool ok = false;
            o.simLatencyMs = takeValue().toInt(&ok);
            if (!ok || o.simLatencyMs < 0)
                fail(QStringLiteral("--sim-latency needs a number of milliseconds"));
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
    if (o.json && !(o.command == QLatin1String("list") || o.command == QLatin1String("info") ||
                    (o.command == QLatin1String("write") && o.verify)))
        fail(QStringLiteral("--json is for list, info and write --verify"));
    return o;
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
        "  defaults [--yes]       restores the device's defaults (asks unless --yes)\n"
        "  firmware               the bootloader and firmware versions (family 2)\n"
        "  upgrade IMAGE [--yes] [--force]  flashes a firmware image (family 2), asking first\n"
        "                         unless --yes; a name not ending in \".bin\" is refused unless --force\n"
        "\n"
        "Options:\n"
        "  --device PATH          the device at PATH, as list shows it (default: the first found)\n"
        "  --simulate [FAMILY:]MODEL  a virtual device instead, e.g. 2:Vantor-D5 or 1:Vantor-A2\n"
        "  --sim-latency MS       the virtual device answers MS milliseconds late\n"
        "  --json                 JSON output for list, info and the verify report\n"
        "  -h, --help             this text\n"
        "  --version              the program's version\n"
        "\n"
        "Exit codes:\n"
        "  0  done\n"
        "  1  the device refused or failed\n"
        "  2  bad usage or a bad file\n"
        "  3  write --verify found a difference\n"
        "  4  no device, or access to it denied\n");
}

}  // namespace cli
