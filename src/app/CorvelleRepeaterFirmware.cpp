// The firmware page: the version query and the upgrade from an image file.

#include "CorvelleRepeater.h"

#include "ScopedDisable.h"
#include "operations/Firmware.h"

#include <QCoreApplication>
#include <QProgressBar>

namespace {

// The transfer keeps the GUI thread busy, so the bar is painted at once
// rather than scheduled for an event loop that will not run until the end.
UpgradeProgress progressOn(QProgressBar* bar)
{
    UpgradeProgress progress;
    progress.setRange = [bar](int maximum) {
        // A range of 0..0 would turn the bar into an endless busy indicator.
        bar->setRange(0, qMax(maximum, 1));
        bar->repaint();
    };
    progress.setValue = [bar](int value) {
        bar->setValue(value);
        bar->repaint();
    };
    return progress;
}

}  // namespace

void CorvelleRepeater::on_pushButton_query_clicked()
{
    if (!checkConnected(tr("device not connect")))
        return;
    FirmwareVersions versions;
    if (!queryFirmwareVersions(*m_pHidDevice, &versions)) {
        showInfo(tr("query firmware info fail"));
        return;
    }
    ui.label_Bootloader->setText(versions.bootloader);
    ui.label_Firmware->setText(versions.firmware);
}

void CorvelleRepeater::on_pushButton_update_clicked()
{
    if (!checkConnected(tr("device not connect")))
        return;
    ScopedDisable lock(ui.pushButton_update);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);  // paints the disabled button
    ui.progressBar->show();
    ui.progressBar->setValue(0);

    QByteArray file;
    TransferResult result = readFirmwareFile(ui.lineEdit_file->text(), &file);
    if (result.ok)
        result = upgradeFirmware(*m_pHidDevice, file, progressOn(ui.progressBar));
    if (result.ok)
        showInfo(tr("update success"));
    else if (!result.message.isEmpty())
        showInfo(result.message.translated());
}
