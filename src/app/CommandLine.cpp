#include "CommandLine.h"

namespace {

// "--name=value" or "--name value"; the next argument is taken as the value
// only when it is not an option itself.
bool takeValue(const QStringList& arguments, int& i, const QString& name, QString* value, bool* hasValue)
{
    const QString& argument = arguments.at(i);
    if (argument.startsWith(name + QLatin1Char('='))) {
        *value = argument.mid(name.size() + 1);
        *hasValue = true;
        return true;
    }
    if (argument != name)
        return false;
    *hasValue = false;
    if (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(QLatin1Char('-'))) {
        *value = arguments.at(++i);
        *hasValue = true;
    }
    return true;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine line;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        QString value;
        bool hasValue = false;
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.action = CommandLine::ShowHelp;
            return line;
        }
        if (argument == QLatin1String("--version")) {
            line.action = CommandLine::ShowVersion;
            return line;
        }
        if (takeValue(arguments, i, QStringLiteral("--simulate"), &value, &hasValue)) {
            line.simulate = true;
            line.simulateValues << value;
        } else if (takeValue(arguments, i, QStringLiteral("--sim-latency"), &value, &hasValue)) {
            bool ok = false;
            const int ms = value.toInt(&ok);
            if (!hasValue || !ok || ms < 0) {
                line.action = CommandLine::Fail;
                line.error = QStringLiteral("--sim-latency needs a number of milliseconds");
                return line;
            }
            line.simLatencyMs = ms;
        } else if (takeValue(arguments, i, QStringLiteral("--record"), &value, &hasValue) ||
                   takeValue(arguments, i, QStringLiteral("--replay"), &value, &hasValue)) {
            const bool record = argument.startsWith(QLatin1String("--record"));
            if (!hasValue || value.isEmpty()) {
                line.action = CommandLine::Fail;
                line.error = QStringLiteral("%1 needs a file").arg(record ? "--record" : "--replay");
                return line;
            }
            (record ? line.recordFile : line.replayFile) = value;
        } else if (argument == QLatin1String("--replay-timing")) {
            line.replayTiming = true;
        }
    }
    if (!line.replayFile.isEmpty() && (line.simulate || !line.recordFile.isEmpty())) {
        line.action = CommandLine::Fail;
        line.error = QStringLiteral("--replay excludes --simulate and --record: a replay is the device");
    } else if (line.replayTiming && line.replayFile.isEmpty()) {
        line.action = CommandLine::Fail;
        line.error = QStringLiteral("--replay-timing belongs to --replay");
    }
    return line;
}

QString usageText()
{
    return QStringLiteral(
        "Usage: corvelle-repeater [options]\n"
        "Configures Vantor CAN-bus to fibre-optic bridges and repeaters over USB.\n"
        "\n"
        "  --simulate [FAMILY:]MODEL[@ARRIVE[-LEAVE]]\n"
        "                             use a virtual device instead of USB, e.g. 1:Vantor-A2;\n"
        "                             plain --simulate is 2:Vantor-D3; given several times,\n"
        "                             several devices; with a time, the device is plugged in\n"
        "                             (and out) while the program runs: @3s, @1s-4.5s, @-500ms\n"
        "  --sim-latency MS           the virtual device answers each request after MS ms\n"
        "  --record FILE              record every exchange with the device to FILE (also\n"
        "                             CORVELLE_RECORD=FILE), to send to the developers with the log\n"
        "  --replay FILE              a recorded session served as the device; nothing reaches a real one\n"
        "  --replay-timing            the replay keeps the recorded delays\n"
        "  --help                     show this text\n"
        "  --version                  show the version\n"
        "\n"
        "The log: ~/.local/state/CorvelleRepeater/corvelle-repeater.log (CORVELLE_LOG_DIR moves it);\n"
        "the menu's \"Save log...\" copies it.\n");
}

QString versionText()
{
    return QStringLiteral("corvelle-repeater " CORVELLE_VERSION);
}
