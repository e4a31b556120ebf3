// Saving the editors' configuration to a file and loading it back. The file
// names no device: it is opened onto the model of the device connected now,
// shown in the editors, and reaches that device only when the user writes it.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "DeviceEditors.h"
#include "config/Changes.h"
#include "config/ConfigFile.h"
#include "config/Configuration.h"
#include "config/Validation.h"
#include "device/Protocol.h"
#include "widgets/UserDialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A name typed without an extension gets ".txt", which the open dialog's filter shows.
QString withTextSuffix(const QString& name)
{
    return QFileInfo(name).suffix().isEmpty() ? name + QStringLiteral(".txt") : name;
}

}  // namespace

void CorvelleRepeater::on_m_pushButtonSaveToFile_clicked()
{
    runOperation(
        tr("device not connect"), EventPass::Run,
        [this] {
            if (drive_type == protocol::kFamily2)
                saveConfigFile();
            else
                writeConfigFile(tr("save config"), tr("write fail"));
            return TransferResult::success();
        },
        QString(), Needs::Editors);
}

void CorvelleRepeater::saveConfigFile()
{
    writeConfigFile(tr("save conf"), tr("save conf file fail"));
}

bool CorvelleRepeater::writeConfigFile(const QString& caption, const QString& failText)
{
    const QString chosen = userDialogs().saveFileName(this, caption, QString(), tr("TXT(*.txt)"));
    if (chosen.isEmpty())
        return false;
    const QString name = withTextSuffix(chosen);
    // The editors go with the device: one removed while the dialog was open
    // has nothing left to save. A prepared configuration has no device to lose.
    if (!m_prepared && !checkConnected(tr("device not connect")))
        return false;
    const config::Configuration model = editors().toModel();
    const QByteArray text = config::fileText(model, drive_type == protocol::kFamily2);

    // Written beside the old file and renamed over it only when complete.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() ||
        !file.commit()) {
        userDialogs().warning(this, tr("INFO"), failText + file.errorString());
        return false;
    }
    // Without a device what was saved last is what the editors are compared with.
    if (m_prepared)
        setBaseline(model);
    showInfo(tr("save success"));
    return true;
}

void CorvelleRepeater::on_m_pushButtonReadFromFile_clicked()
{
    if (!m_bConnected && !m_prepared) {
        openWithoutDevice();
        return;
    }
    if (!settleUnwrittenChanges(Replacing::Open))
        return;
    runOperation(
        tr("device not connected"), EventPass::Run,
        [this] {
            const QString name =
                userDialogs().openFileName(this, tr("open file"), QString(), tr("TXT(*.txt)"));
            if (!name.isEmpty())
                loadConfigFile(name);
            return TransferResult::success();
        },
        QString(), Needs::Editors);
}

bool CorvelleRepeater::loadConfigFile(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        userDialogs().warning(this, tr("INFO"), tr("open file faild") + file.errorString());
        return false;
    }
    // One byte more than the model takes tells it the file is too large; one
    // cell more than the device's ports that a route row is too long.
    const config::FileReadResult parsed =
        config::readFileText(file.read(configfile::kMaxFileSize + 1), drive_type == protocol::kFamily2,
                             m_nCAN + m_nFiberOptic + 1);
    file.close();
    if (!parsed.ok) {
        userDialogs().warning(this, tr("INFO"), tr("parse conf file fail") + parsed.parserError);
        return false;
    }
    // Checked here, after the dialog, as a removal may have come meanwhile:
    // the editors must not be rebuilt for a device that is gone.
    if (!m_prepared && !checkConnected(tr("device not connected")))
        return false;

    // A file the device cannot take changes nothing.
    const config::Shape shape = deviceShape();
    const config::Findings refusals = config::checkFile(parsed, shape);
    if (!refusals.isEmpty()) {
        userDialogs().warning(this, tr("INFO"), config::findingsText(refusals));
        return false;
    }
    const config::Configuration opened =
        config::openedConfiguration(editors().toModel(), parsed.configuration, shape);
    removeCanTabs();
    buildCanTabs(m_nCAN);
    editors().fromModel(opened);
    // Without a device what was opened last is what the editors are compared with.
    if (m_prepared)
        setBaseline(opened);
    const QStringList left = config::notInFile(parsed.configuration, shape);
    showInfo(left.isEmpty() ? tr("read finish")
                            : tr("read finish") + QLatin1Char('\n') + left.join(QLatin1Char('\n')));
    return true;
}
