// The firmware page: the version query and the upgrade from an image file.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "config/Validation.h"
#include "device/Protocol.h"
#include "log/LogCategories.h"
#include "session/DeviceSession.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProgressBar>

#include <atomic>

namespace {

// Where the exchanges' thread leaves the upgrade's progress for the window,
// which paints it on its own ticks.
struct SharedProgress {
    std::atomic<int> range{-1};  // -1 until the device has accepted the length
    std::atomic<int> value{0};
    std::atomic<int> sent{0};

    UpgradeProgress callbacks()
    {
        UpgradeProgress progress;
        progress.setRange = [this](int maximum) { range = maximum; };
        progress.setValue = [this](int v) {
            value = v;
            sent = v + 1;
        };
        return progress;
    }
};

QString minutesAndSeconds(qint64 ms)
{
    const qint64 s = (ms + 999) / 1000;
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

void showProgress(QProgressBar* bar, const SharedProgress& progress, const QElapsedTimer& clock, bool ended)
{
    const int range = progress.range;
    if (range < 0)
        return;
    // A range of 0..0 would turn the bar into an endless busy indicator.
    bar->setRange(0, qMax(range, 1));
    bar->setValue(progress.value);
    const int sent = qMin(int(progress.sent), range);
    if (ended || sent == 0) {
        bar->setFormat(range == 1 ? CorvelleRepeater::tr("%1 / 1 block").arg(sent)
                                  : CorvelleRepeater::tr("%1 / %2 blocks").arg(sent).arg(range));
        return;
    }
    const qint64 left = clock.elapsed() * (range - sent) / sent;
    bar->setFormat(
        CorvelleRepeater::tr("%1 / %2 blocks, %3 left").arg(sent).arg(range).arg(minutesAndSeconds(left)));
}

}  // namespace

void CorvelleRepeater::on_pushButton_query_clicked()
{
    runOperation(tr("device not connect"), EventPass::Skip, [this] {
        FirmwareVersions versions;
        const TransferResult result = session::queryFirmware(*m_pHidDevice, &versions);
        if (!result.ok)
            return result;
        ui.label_Bootloader->setText(versions.bootloader);
        ui.label_Firmware->setText(versions.firmware);
        m_strFirmware = versions.firmware;
        return TransferResult::success();
    });
}

void CorvelleRepeater::on_pushButton_update_clicked()
{
    runOperation(
        tr("device not connect"), EventPass::Run, [this] { return upgradeFromFile(); }, tr("update success"));
}

TransferResult CorvelleRepeater::upgradeFromFile()
{
    const QString path = ui.lineEdit_file->text();
    QByteArray file;
    const TransferResult read = readFirmwareFile(path, &file);
    if (!read.ok)
        return read;

    const config::Findings findings = config::checkFirmwareImage(file);
    if (!findings.isEmpty())
        return {false, findings.first().what};
    const QString text =
        session::upgradeQuestion(m_strModel, m_strFirmware, QFileInfo(path).fileName(), file.size());
    if (!confirm(text)) {
        ui.progressBar->hide();
        return TransferResult::failure();
    }
    // The bar appears once the upgrade is agreed; "No" leaves none behind.
    ui.progressBar->show();
    ui.progressBar->resetFormat();
    ui.progressBar->setValue(0);

    qCInfo(lcOperation).noquote() << QStringLiteral("upgrade: %1 bytes of %2 in %3 blocks")
                                         .arg(file.size())
                                         .arg(path)
                                         .arg((file.size() + protocol::f2::kUpgradeBlockSize - 1) /
                                              protocol::f2::kUpgradeBlockSize);
    SharedProgress progress;
    QElapsedTimer clock;
    clock.start();
    HIDDevice& device = *m_pHidDevice;
    TransferResult result;
    serveEventsWhile([&] { result = session::upgradeFirmware(device, file, progress.callbacks()); },
                     [&] { showProgress(ui.progressBar, progress, clock, false); });
    showProgress(ui.progressBar, progress, clock, true);
    recordHistory(QStringLiteral("upgrade"), result, path, [file] { return file; });
    return result;
}
