// Saving the editors' configuration to a file and loading it back. The file
// names no device: it is applied by position to the editors of the device
// connected now, and reaches that device only when the user writes it.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "DeviceEditors.h"
#include "config/ConfigFile.h"
#include "config/Configuration.h"
#include "device/Protocol.h"
#include "editors/CANParamWidget.h"
#include "editors/FibreGrid.h"
#include "editors/RouteMatrix.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// The editors' configuration as the file holds it.
config::Configuration configurationOf(const DeviceEditors& e)
{
    config::Configuration c;
    for (int i = 0; i < e.nCAN(); ++i) {
        if (const CANParamWidget* editor = e.can(i))
            c.channels << editor->channelConfig();
    }
    for (int i = 0; i < e.nFiberOptic(); ++i) {
        if (e.driveType() == protocol::kFamily2) {
            c.fibreRates << e.fibres().fibreBaudText(i);
        } else {
            const QComboBox* selector = e.fibres().selector(i);
            c.fibreRates << configfile::family1BaudString(selector ? selector->currentData().toByteArray()
                                                                   : QByteArray());
        }
    }
    for (int p = 0; p < (e.nCAN() + e.nFiberOptic()); ++p)
        c.routes << e.routes().row(p);
    return c;
}

// The CAN editors are new; the fibre selectors and route cells keep whatever
// the file does not set.
void applyConfiguration(const DeviceEditors& e, const config::Configuration& file)
{
    for (int i = 0; i < file.channels.size() && i < e.nCAN(); ++i) {
        if (CANParamWidget* editor = e.can(i))
            editor->loadChannelConfig(file.channels.at(i));
    }
    for (int i = 0; i < file.fibreRates.size() && i < e.nFiberOptic(); ++i) {
        if (e.driveType() == protocol::kFamily2) {
            e.fibres().setFibreBaudText(i, file.fibreRates.at(i));
        } else if (QComboBox* selector = e.fibres().selector(i)) {
            const int index = configfile::family1BaudIndex(file.fibreRates.at(i));
            selector->setCurrentIndex(index < selector->count() ? index : -1);
        }
    }
    for (int p = 0; p < file.routes.size() && p < (e.nCAN() + e.nFiberOptic()); ++p)
        e.routes().setRow(p, file.routes.at(p), true);
}

// A name typed without an extension gets ".txt", which the open dialog's filter shows.
QString withTextSuffix(const QString& name)
{
    return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".txt") : name;
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
    const QString chosen = userDialogs().saveFileName(this, caption, QString(), tr("TXT(*.txt)"));
    if (chosen.isEmpty())
        return;
    const QString name = withTextSuffix(chosen);
    // The editors go with the device: one removed while the dialog was open
    // has nothing left to save.
    if (!checkConnected(tr("device not connect")))
        return;
    const QByteArray text = config::fileText(configurationOf(editors()), drive_type == protocol::kFamily2);

    // Written beside the old file and renamed over it only when complete.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() ||
        !file.commit()) {
        userDialogs().warning(this, tr("INFO"), failText + file.errorString());
        return;
    }
    showInfo(tr("save success"));
}

QByteArray CorvelleRepeater::configurationText() const
{
    return config::fileText(configurationOf(editors()), drive_type == protocol::kFamily2);
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
    const config::FileReadResult parsed = config::readFileText(
        file.read(configfile::kMaxFileSize + 1), drive_type == protocol::kFamily2, m_nCAN + m_nFiberOptic);
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
    applyConfiguration(editors(), parsed.configuration);
    showInfo(tr("read finish"));
}
