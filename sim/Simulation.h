#pragma once
// The program's --simulate option: the virtual bus as the HID backend, with
// one virtual device plugged in.

#include "device/ModelTable.h"

#include <QString>

namespace sim {

struct SimulateChoice {
    int family = 2;
    const models::Model* model = nullptr;
    int latencyMs = 0;  // per answer
};

// Parses "[FAMILY:]MODEL" ("1:Vantor-A2", "Vantor-D5"); an empty value means
// "2:Vantor-D3". False with a message for an unknown family or model.
bool parseSimulateOption(const QString& value, SimulateChoice* choice, QString* error);

// Installs the virtual bus as the HID backend and plugs in the chosen device.
// Call before HIDDevice::init. The trace goes to the file named by the
// environment variable CORVELLE_SIM_TRACE, when it is set; with
// CORVELLE_SIM_UNPLUG_AFTER=N the device leaves the bus at the host's write N + 1.
void startSimulation(const SimulateChoice& choice);

}  // namespace sim
