#include "DeviceEditors.h"

#include "ui_CorvelleRepeater.h"

#include "config/ConfigFile.h"
#include "device/Protocol.h"
#include "editors/CANParamWidget.h"

#include <QComboBox>

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

config::Configuration DeviceEditors::toModel() const
{
    config::Configuration c;
    for (int i = 0; i < m_nCAN; ++i) {
        if (const CANParamWidget* editor = can(i))
            c.channels << editor->channelConfig();
    }
    for (int i = 0; i < m_nFiberOptic; ++i) {
        if (m_driveType == protocol::kFamily2) {
            c.fibreRates << m_fibres.fibreBaudText(i);
        } else {
            const QComboBox* selector = m_fibres.selector(i);
            c.fibreRates << configfile::family1BaudString(selector ? selector->currentData().toByteArray()
                                                                   : QByteArray());
        }
    }
    c.routes = m_routes.matrix();
    return c;
}

// Only what differs from what the editors show is set: a read mostly finds
// what was shown already, and setting a widget costs far more than asking it.
void DeviceEditors::fromModel(const config::Configuration& configuration) const
{
    for (int i = 0; i < configuration.channels.size() && i < m_nCAN; ++i) {
        CANParamWidget* editor = can(i);
        const config::CanChannel& channel = configuration.channels.at(i);
        if (editor && !(editor->channelConfig() == channel))
            editor->setChannelConfig(channel);
    }
    for (int i = 0; i < configuration.fibreRates.size() && i < m_nFiberOptic; ++i) {
        const QString& text = configuration.fibreRates.at(i);
        if (m_driveType == protocol::kFamily2) {
            if (m_fibres.fibreBaudText(i) != text)
                m_fibres.setFibreBaudText(i, text);
        } else if (QComboBox* selector = m_fibres.selector(i)) {
            const int index = configfile::family1BaudIndex(text);
            selector->setCurrentIndex(index < selector->count() ? index : -1);
        }
    }
    for (int p = 0; p < configuration.routes.size() && p < (m_nCAN + m_nFiberOptic); ++p) {
        if (m_routes.row(p) != configuration.routes.at(p))
            m_routes.setRow(p, configuration.routes.at(p), true);
    }
}
