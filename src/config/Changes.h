#pragma once
// What an edited configuration changes against the one the device holds (the
// baseline), field by field, as the user reads it: where the field stands in
// the editors, one line for the list shown before a write ("CAN channel 1,
// arbitration rate: 500K → 800K") and the device's value for the field's
// tooltip. Built on config::differences, refined to single route cells and
// to filter rows added or removed.

#include "Configuration.h"

#include <QString>
#include <QVector>

namespace config {

struct Change {
    enum class Field { CanRate, CanDataRate, CanMode, CanFd, CanFilter, Fibre, Route };
    Field field = Field::CanRate;
    int index = 0;        // CAN channel, fibre channel or source port, from 0
    int item = 0;         // the filter row or the destination port, from 0
    QString line;         // translated
    QString deviceValue;  // the baseline's value as the editors name it, translated
};

QVector<Change> changes(const Configuration& baseline, const Configuration& edited, const Shape& shape);

// What opening a file of fewer channels than the device has leaves to the
// device's own: "CAN channels 3 to 4 take the defaults", "Fiber2 keeps its
// value" (config::openedConfiguration); empty when the file covers the device.
QStringList notInFile(const Configuration& file, const Shape& shape);

// A port's name in the route matrix: "CAN1", "Fiber2".
QString portName(int port, const Shape& shape);

}  // namespace config
