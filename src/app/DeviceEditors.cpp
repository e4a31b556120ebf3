#include "DeviceEditors.h"

#include "ui_CorvelleRepeater.h"

#include "editors/CANParamWidget.h"

DeviceEditors::DeviceEditors(const Ui::CorvelleRepeaterClass& ui, QSignalMapper* mapper, int nCAN,
                             int nFiberOptic, int driveType)
    : m_ui(ui),
      m_fibres(ui.tab_Fiber, ui.gridLayout_fiber, nCAN, nFiberOptic, driveType),
      m_routes(ui.tableWidgetRoute, mapper, nCAN, nFiberOptic),
      m_nCAN(nCAN),
      m_nFiberOptic(nFiberOptic),
      m_driveType(driveType)
{
}

CANParamWidget* DeviceEditors::can(int i) const
{
    QWidget* page = m_ui.tabWidget->widget(i);
    return page ? page->findChild<CANParamWidget*>(QStringLiteral("CANParamWidget")) : nullptr;
}
