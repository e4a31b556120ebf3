#pragma once
// The programs' --simulate option: the virtual bus as the HID backend, with
// one virtual device plugged in per option given, some of them plugged in
// (and out) while the program runs.

#include "device/ModelTable.h"

#include <QList>
#include <QString>

namespace sim {

struct SimulateChoice {
    int family = 2;
    const models::Model* model = nullptr;
    int latencyMs = 0;    // per answer
    int arriveMs = 0;     // after the start; 0: attached at start
    int leaveMs = -1;     // after the start; negative: never
    int unplugAfter = 0;  // the device leaves at the host's write N + 1; 0: never
};

// Parses "[FAMILY:]MODEL[@ARRIVE[-LEAVE]]" ("1:Vantor-A2", "Vantor-D5",
// "2:Vantor-D5@3s", "2:Vantor-D5@1s-4.5s", "2:Vantor-D5@-500ms"); times are
// from the program's start, in s or ms. An empty value means "2:Vantor-D3".
// False with a message for an unknown family or model or a bad time.
bool parseSimulateOption(const QString& value, SimulateChoice* choice, QString* error);

// Installs the virtual bus as the HID backend, plugs in the devices chosen
// to be there at start and schedules the others' arrivals and removals.
// Call before HIDDevice::init. Each device gets a board number of its own
// (the first keeps the factory one). The trace goes to the file named by
// the environment variable CORVELLE_SIM_TRACE, when it is set.
// CORVELLE_SIM_UNPLUG_AFTER=N[,N...] sets unplugAfter of the devices in
// the order given, where the choice leaves it 0.
void startSimulation(const QList<SimulateChoice>& choices);
void startSimulation(const SimulateChoice& choice);

}  // namespace sim
