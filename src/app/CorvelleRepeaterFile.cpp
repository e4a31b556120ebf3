// Saving the editors' configuration to a file and loading it back. The file
// names no device: it is applied by position to the editors of the device
// connected now, and reaches that device only when the user writes it.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "config/ConfigFile.h"
#include "device/Protocol.h"
#include "editors/CANParamWidget.h"
#include "editors/FibreGrid.h"
#include "editors/RouteMatrix.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace {

// The window's editors as the file sees them.
struct Editors {
    QTabWidget* tabs;
    FibreGrid fibre;
    RouteMatrix routes;
    int nCAN;
    int nFiberOptic;
    bool canFd;

    CANParamWidget* can(int i) const
    {
        QWidget* page = tabs->widget(i);
        return page ? page->findChild<CANParamWidget*>() : nullptr;
    }
    int ports() const { return nCAN + nFiberOptic; }
};

Editors editorsOf(const Ui::CorvelleRepeaterClass& ui, QSignalMapper* mapper, int nCAN, int nFiberOptic,
                  int driveType)
{
    return {ui.tabWidget,
            FibreGrid(ui.tab_Fiber, ui.gridLayout_fiber, nCAN, nFiberOptic, driveType),
            RouteMatrix(ui.tableWidgetRoute, mapper, nCAN, nFiberOptic),
            nCAN,
            nFiberOptic,
            driveType == protocol::kFamily2};
}

QByteArray configText(const Editors& e)
{
    QJsonArray channels;
    for (int i = 0; i < e.nCAN; ++i) {
        const CANParamWidget* editor = e.can(i);
        if (!editor)
            continue;
        QJsonObject channel = e.canFd ? editor->canFDParamJson() : editor->canParamJson();
        channel.insert(QLatin1String(configfile::kChannelId), i + 1);
        channels << channel;
    }
    QStringList baud;
    for (int i = 0; i < e.nFiberOptic; ++i) {
        if (e.canFd) {
            baud << e.fibre.fibreBaudText(i);
        } else {
            const QComboBox* selector = e.fibre.selector(i);
            baud << configfile::family1BaudString(selector ? selector->currentData().toByteArray()
                                                           : QByteArray());
        }
    }
    QStringList route;
    for (int p = 0; p < e.ports(); ++p)
        route << configfile::routeString(e.routes.row(p));
    return configfile::serialize(channels, baud, route);
}

// The CAN editors are new; the fibre selectors and route cells keep whatever
// the file does not set.
void applyDocument(const Editors& e, const configfile::Document& doc)
{
    for (int i = 0; i < doc.channels.size() && i < e.nCAN; ++i) {
        CANParamWidget* editor = e.can(i);
        if (!editor)
            continue;
        if (e.canFd)
            editor->loadCanFDParamJson(doc.channels.at(i));
        else
            editor->loadCanParamJson(doc.channels.at(i));
    }
    for (int i = 0; i < doc.baud.size() && i < e.nFiberOptic; ++i) {
        if (e.canFd) {
            e.fibre.setFibreBaudText(i, doc.baud.at(i));
        } else if (QComboBox* selector = e.fibre.selector(i)) {
            const int index = configfile::family1BaudIndex(doc.baud.at(i));
            selector->setCurrentIndex(index < selector->count() ? index : -1);
        }
    }
    for (int p = 0; p < doc.route.size() && p < e.ports(); ++p)
        e.routes.setRow(p, configfile::parseRouteString(doc.route.at(p), e.ports()), true);
}

}  // namespace

void CorvelleRepeater::on_m_pushButtonSaveToFile_clicked()
{
    runOperation(tr("device not connect"), EventPass::Run, [this] {
        if (drive_type == protocol::kFamily2)
            saveConfigFile();
        else
            writeConfigFile(tr("save config"), tr("write fail"));
        return TransferResult::success();
    });
}

void CorvelleRepeater::saveConfigFile()
{
    writeConfigFile(tr("save conf"), tr("save conf file fail"));
}

void CorvelleRepeater::writeConfigFile(const QString& caption, const QString& failText)
{
    const QString name = userDialogs().saveFileName(this, caption, QString(), tr("TXT(*.txt)"));
    if (name.isEmpty())
        return;
    // The editors go with the device: one removed while the dialog was open
    // has nothing left to save.
    if (!checkConnected(tr("device not connect")))
        return;
    const QByteArray text = configText(editorsOf(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type));

    // Written beside the old file and renamed over it only when complete.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() ||
        !file.commit()) {
        userDialogs().warning(this, tr("INFO"), failText + file.errorString());
        return;
    }
    showInfo(tr("save success"));
}

void CorvelleRepeater::on_m_pushButtonReadFromFile_clicked()
{
    runOperation(tr("device not connected"), EventPass::Run, [this] {
        const QString name = userDialogs().openFileName(this, tr("open file"), QString(), tr("TXT(*.txt)"));
        if (!name.isEmpty())
            loadConfigFile(name);
        return TransferResult::success();
    });
}

void CorvelleRepeater::loadConfigFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        userDialogs().warning(this, tr("INFO"), tr("open file faild") + file.errorString());
        return;
    }
    // One byte more than the model takes tells it the file is too large.
    const configfile::ParseResult parsed = configfile::parse(file.read(configfile::kMaxFileSize + 1));
    file.close();
    if (!parsed.ok) {
        userDialogs().warning(this, tr("INFO"), tr("parse conf file fail") + parsed.parserError);
        return;
    }
    // Checked here, after the dialog, as a removal may have come meanwhile:
    // the editors must not be rebuilt for a device that is gone.
    if (!checkConnected(tr("device not connected")))
        return;

    removeCanTabs();
    buildCanTabs(m_nCAN);
    applyDocument(editorsOf(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type), parsed.document);
    showInfo(tr("read finish"));
}
