#pragma once
// The device models of both families, indexed by the hardware type code that
// the device reports.

#include <QString>

namespace models {

struct Model {
    int typeCode;
    const char* name;
    int nCAN;
    int nFiberOptic;
};

constexpr Model kModels[] = {
    {0x01, "Vantor-A1", 2, 0},  {0x02, "Vantor-A2", 2, 1},  {0x03, "Vantor-A3", 2, 2},
    {0x04, "Vantor-A4", 2, 4},  {0x05, "Vantor-A5", 2, 2},  {0x11, "Vantor-B1", 2, 1},
    {0x12, "Vantor-B2", 2, 2},  {0x13, "Vantor-B3", 2, 4},  {0x14, "Vantor-B4", 2, 8},
    {0x15, "Vantor-B5", 2, 16}, {0x16, "Vantor-B6", 2, 2},  {0x17, "Vantor-B7", 2, 0},
    {0x18, "Vantor-B8", 4, 0},  {0x21, "Vantor-D1", 2, 1},  {0x22, "Vantor-D2", 2, 2},
    {0x23, "Vantor-D3", 2, 4},  {0x24, "Vantor-D4", 2, 8},  {0x25, "Vantor-D5", 2, 16},
    {0x26, "Vantor-D6", 2, 2},  {0x27, "Vantor-D7", 2, 0},  {0x28, "Vantor-D8", 4, 0},
};

// The model of a type code, or nullptr for a code outside the table.
const Model* modelForTypeCode(int typeCode);
// The model of a name such as "Vantor-D5", or nullptr.
const Model* modelByName(const QString& name);

}  // namespace models
