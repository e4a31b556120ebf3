#pragma once
// The editors of the connected device as the window reaches them: one
// CANParamWidget per CAN channel (tab i of the CAN page holds channel i + 1),
// the fibre grid and the route matrix. They are a view of a
// config::Configuration: the window takes one snapshot of them when an
// operation starts and applies a model to them after a read, an Open or a
// Default. This is a cheap view over the widgets, made anew for every use, so
// it never holds a widget that a rebuild has deleted.

#include "editors/FibreGrid.h"
#include "editors/RouteMatrix.h"

#include "config/Configuration.h"

class CANParamWidget;
class QSignalMapper;
namespace Ui {
class CorvelleRepeaterClass;
}

class DeviceEditors {
public:
    DeviceEditors(const Ui::CorvelleRepeaterClass& ui, QSignalMapper* mapper, int nCAN, int nFiberOptic,
                  int driveType);

    // The editor of CAN channel i (from 0); nullptr where there is none.
    CANParamWidget* can(int i) const;
    FibreGrid fibres() const { return m_fibres; }
    RouteMatrix routes() const { return m_routes; }
    int nCAN() const { return m_nCAN; }
    int nFiberOptic() const { return m_nFiberOptic; }
    int driveType() const { return m_driveType; }

    // What the editors show, as the model holds it.
    config::Configuration toModel() const;
    // Shows a model: each channel's filter rows are replaced, every other value set.
    void fromModel(const config::Configuration& configuration) const;

private:
    const Ui::CorvelleRepeaterClass& m_ui;
    FibreGrid m_fibres;
    RouteMatrix m_routes;
    int m_nCAN;
    int m_nFiberOptic;
    int m_driveType;
};
