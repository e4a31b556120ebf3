#include "Simulation.h"

#include "VirtualBus.h"

#include "device/Protocol.h"

namespace sim {

bool parseSimulateOption(const QString& value, SimulateChoice* choice, QString* error)
{
    const QString text = value.trimmed().isEmpty() ? QStringLiteral("2:Vantor-D3") : value.trimmed();
    QString modelName = text;
    int family = protocol::kFamily2;
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        bool ok = false;
        family = text.left(colon).toInt(&ok);
        if (!ok || (family != protocol::kFamily1 && family != protocol::kFamily2)) {
            if (error)
                *error = QStringLiteral("--simulate: unknown device family \"%1\"; use 1 or 2")
                             .arg(text.left(colon));
            return false;
        }
        modelName = text.mid(colon + 1);
    }
    const models::Model* model = models::modelByName(modelName);
    if (!model) {
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
        choice->family = family;
        choice->model = model;
    }
    return true;
}

void startSimulation(const SimulateChoice& choice)
{
    const models::Model* model =
        choice.model ? choice.model : models::modelByName(QStringLiteral("Vantor-D3"));
    VirtualBus& bus = VirtualBus::instance();
    // Plugged before the trace file is attached, so the file starts with the
    // program's first request.
    VirtualDevice& device = bus.plug(choice.family, *model);
    device.setLatency(choice.latencyMs);
    // For tests of a program run as a process: the device leaves at that write.
    if (const int exchanges = qEnvironmentVariableIntValue("CORVELLE_SIM_UNPLUG_AFTER"))
        device.unplugAfter(exchanges);
    bus.install();
}

}  // namespace sim
