#include "Simulation.h"

#include "VirtualBus.h"

#include "device/Protocol.h"

#include <QRegularExpression>

#include <chrono>
#include <thread>

namespace sim {

namespace {

// "3s", "1.5s", "250ms"; -1 when the text is none of these.
int milliseconds(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d+(?:\\.\\d+)?)(s|ms)$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch())
        return -1;
    const double value = m.captured(1).toDouble();
    return int(m.captured(2) == QLatin1String("s") ? value * 1000 : value);
}

bool parseTimes(const QString& text, SimulateChoice* choice, QString* error)
{
    const int dash = text.indexOf(QLatin1Char('-'));
    const QString arrive = dash < 0 ? text : text.left(dash);
    const QString leave = dash < 0 ? QString() : text.mid(dash + 1);
    // Only a leave may go without an arrival ("@-500ms").
    const int arriveMs = arrive.isEmpty() && dash >= 0 ? 0 : milliseconds(arrive);
    const int leaveMs = dash < 0 ? -1 : milliseconds(leave);
    if (arriveMs < 0 || (dash >= 0 && leaveMs < 0) || (leaveMs >= 0 && leaveMs <= arriveMs)) {
        if (error)
            *error = QStringLiteral(
                         "--simulate: bad time \"@%1\"; use @ARRIVE, @ARRIVE-LEAVE or @-LEAVE, "
                         "e.g. @3s, @1s-4.5s, @-500ms")
                         .arg(text);
        return false;
    }
    choice->arriveMs = arriveMs;
    choice->leaveMs = leaveMs;
    return true;
}

// The factory number with the device's place counted into its last digits.
QByteArray boardNumber(int family, int place)
{
    return QStringLiteral("SIM%1%2").arg(family).arg(42 + place, 6, 10, QLatin1Char('0')).toLatin1();
}

VirtualDevice& plugChosen(const SimulateChoice& choice, int place)
{
    const models::Model* model =
        choice.model ? choice.model : models::modelByName(QStringLiteral("Vantor-D3"));
    return VirtualBus::instance().plugAnother(choice.family, *model, [&choice, place](VirtualDevice& device) {
        device.setLatency(choice.latencyMs);
        if (place > 0)
            device.setBoardNumber(boardNumber(choice.family, place));
        // For tests of a program run as a process: the device leaves at that write.
        if (choice.unplugAfter > 0)
            device.unplugAfter(choice.unplugAfter);
    });
}

// Plugs the device in at its time (unless it is there already) and pulls it
// out at its time, on a thread of its own.
void schedule(const SimulateChoice& choice, int place, VirtualDevice* plugged,
              std::chrono::steady_clock::time_point start)
{
    std::thread([choice, place, plugged, start] {
        using std::chrono::milliseconds;
        VirtualDevice* device = plugged;
        if (!device) {
            std::this_thread::sleep_until(start + milliseconds(choice.arriveMs));
            device = &plugChosen(choice, place);
        }
        if (choice.leaveMs >= 0) {
            std::this_thread::sleep_until(start + milliseconds(choice.leaveMs));
            VirtualBus::instance().unplug(*device);
        }
    }).detach();
}

}  // namespace

bool parseSimulateOption(const QString& value, SimulateChoice* choice, QString* error)
{
    QString text = value.trimmed().isEmpty() ? QStringLiteral("2:Vantor-D3") : value.trimmed();
    SimulateChoice parsed;
    const int at = text.indexOf(QLatin1Char('@'));
    if (at >= 0) {
        if (!parseTimes(text.mid(at + 1), &parsed, error))
            return false;
        text = text.left(at);
    }
    QString modelName = text;
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        bool ok = false;
        parsed.family = text.left(colon).toInt(&ok);
        if (!ok || (parsed.family != protocol::kFamily1 && parsed.family != protocol::kFamily2)) {
            if (error)
                *error = QStringLiteral("--simulate: unknown device family \"%1\"; use 1 or 2")
                             .arg(text.left(colon));
            return false;
        }
        modelName = text.mid(colon + 1);
    }
    parsed.model = models::modelByName(modelName);
    if (!parsed.model) {
        if (error) {
            QStringList names;
            for (const models::Model& m : models::kModels)
                names << QLatin1String(m.name);
            *error = QStringLiteral("--simulate: unknown model \"%1\"; known models: %2")
                         .arg(modelName, names.join(QStringLiteral(", ")));
        }
        return false;
    }
    if (choice) {
        choice->family = parsed.family;
        choice->model = parsed.model;
        choice->arriveMs = parsed.arriveMs;
        choice->leaveMs = parsed.leaveMs;
    }
    return true;
}

void startSimulation(const QList<SimulateChoice>& choices)
{
    const auto start = std::chrono::steady_clock::now();
    const QStringList unplugAfter = qEnvironmentVariable("CORVELLE_SIM_UNPLUG_AFTER").split(QLatin1Char(','));
    QList<SimulateChoice> devices = choices;
    for (int i = 0; i < devices.size() && i < unplugAfter.size(); ++i) {
        if (devices[i].unplugAfter == 0)
            devices[i].unplugAfter = unplugAfter.at(i).trimmed().toInt();
    }
    // Plugged before the trace file is attached, so the file starts with the
    // program's first request.
    QList<VirtualDevice*> plugged;
    for (int i = 0; i < devices.size(); ++i)
        plugged << (devices[i].arriveMs > 0 ? nullptr : &plugChosen(devices[i], i));
    VirtualBus::instance().install();
    for (int i = 0; i < devices.size(); ++i) {
        if (!plugged[i] || devices[i].leaveMs >= 0)
            schedule(devices[i], i, plugged[i], start);
    }
}

void startSimulation(const SimulateChoice& choice)
{
    startSimulation(QList<SimulateChoice>{choice});
}

}  // namespace sim
