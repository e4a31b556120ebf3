// Reading, writing and restoring the device's configuration: the main
// window takes the editors' model when an operation starts, runs the device
// session on a worker thread, and shows the model it read in the editors.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "config/Validation.h"
#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "session/DeviceSession.h"

void CorvelleRepeater::readConfig()
{
    readNow();
}

void CorvelleRepeater::on_m_pushButtonRead_clicked()
{
    if (m_prepared && !replacePreparedWithDevice(Replacing::Read))
        return;
    if (m_bConnected && !settleUnwrittenChanges(Replacing::Read))
        return;
    readNow();
}

void CorvelleRepeater::readNow()
{
    runOperation(
        tr("device not connect"), EventPass::Skip, [this] { return readConfiguration(); },
        m_bShowReadResult ? tr("read success") : QString());
}

// The editors show what was read, also when the read failed half way.
TransferResult CorvelleRepeater::readConfiguration()
{
    const config::Configuration shown = editors().toModel();
    const quint64 editsBefore = m_nEdits;
    config::Configuration model = shown;
    const config::Shape shape = deviceShape();
    HIDDevice& device = *m_pHidDevice;
    TransferResult result;
    serveEventsWhile([&] { result = session::readConfiguration(device, shape, &model); });
    // Editors that show what was read, and were not edited meanwhile, stay as
    // they are: nothing to set, nothing to compare.
    if (m_nEdits == editsBefore && model == shown) {
        setBaselineShown(model);
        return result;
    }
    editors().fromModel(model);
    // Also after a read that failed half way: the editors show what the device
    // is known to hold, and nothing is marked that the user did not change.
    setBaseline(model);
    return result;
}

int CorvelleRepeater::readFDConfig()
{
    return shownAsStatus(readConfiguration());
}

void CorvelleRepeater::on_m_pushButtonWrite_clicked()
{
    if (m_prepared) {
        writePrepared();
        return;
    }
    runOperation(
        tr("device not connect"), EventPass::Run, [this] { return writeConfiguration(); },
        tr("set up success"));
}

TransferResult CorvelleRepeater::writeConfiguration()
{
    return writeNow(true);
}

// The editors' model is checked and written on a thread of its own, so the
// window stays alive through the reset answer's 4 s. What the device holds
// after a complete write is the new baseline.
TransferResult CorvelleRepeater::writeNow(bool askFirst)
{
    const config::Shape shape = deviceShape();
    const config::Configuration model = editors().toModel();
    const quint64 editsBefore = m_nEdits;
    const TransferResult result =
        writeChecked(model, shape, m_bHasBaseline ? &m_baseline : nullptr, m_strModel, askFirst,
                     m_bWritingDefaults ? QStringLiteral("defaults") : QStringLiteral("write"));
    // Unless the user edited meanwhile, the editors show what was written.
    if (result.ok && m_nEdits == editsBefore)
        setBaselineShown(model);
    else if (result.ok)
        setBaseline(model);
    return result;
}

// Refusals are shown and nothing is sent; then the change list against what
// the device holds (deviceHolds, when it is known) or, without the list, the
// doubts are asked; the model is written on the worker thread and the
// history records it.
TransferResult CorvelleRepeater::writeChecked(const config::Configuration& model, const config::Shape& shape,
                                              const config::Configuration* deviceHolds,
                                              const QString& modelName, bool askFirst,
                                              const QString& operation)
{
    const config::Findings findings = config::checkConfiguration(model, shape);
    if (askFirst && m_bShowChanges) {
        const config::Findings refusals = config::ofKind(findings, config::Finding::Kind::Refused);
        if (!refusals.isEmpty()) {
            showInfo(config::findingsText(refusals));
            return TransferResult::failure();
        }
        if (!acceptedChanges(deviceHolds, model, shape, modelName,
                             config::ofKind(findings, config::Finding::Kind::Asked)))
            return TransferResult::failure();
    } else if (!acceptedToWrite(findings)) {
        return TransferResult::failure();
    }
    HIDDevice& device = *m_pHidDevice;
    TransferResult result;
    serveEventsWhile([&] { result = session::writeConfiguration(device, shape, model); });
    recordHistory(operation, result, QString(),
                  [model, fd = shape.canFd()] { return config::fileText(model, fd); });
    return result;
}

int CorvelleRepeater::writeFDConfig()
{
    return shownAsStatus(writeConfiguration());
}

// The 0 / -1 form of a result, its message shown.
int CorvelleRepeater::shownAsStatus(const TransferResult& result)
{
    if (!result.message.isEmpty())
        showInfo(result.message.translated());
    return result.ok ? 0 : -1;
}

// Refusals are shown and nothing is sent; timings not valid and custom fibre
// rates beyond what the device runs are sent only when the user says so.
bool CorvelleRepeater::acceptedToWrite(const config::Findings& findings)
{
    const config::Findings refusals = config::ofKind(findings, config::Finding::Kind::Refused);
    if (!refusals.isEmpty()) {
        showInfo(config::findingsText(refusals));
        return false;
    }
    const config::Findings doubts = config::ofKind(findings, config::Finding::Kind::Asked);
    if (doubts.isEmpty())
        return true;
    const QChar separator = doubts.size() == 1 ? QLatin1Char(' ') : QLatin1Char('\n');
    return confirm(config::findingsText(doubts) + separator + tr("Write anyway?"));
}

config::Shape CorvelleRepeater::deviceShape() const
{
    return {drive_type, m_nCAN, m_nFiberOptic, config::modeCountFor(m_nHardwareType)};
}

QString CorvelleRepeater::confirmDefaultsText() const
{
    return tr("Restore the defaults of %1? The device's configuration will be overwritten.").arg(m_strModel);
}

void CorvelleRepeater::on_m_pushButtonDefault_clicked()
{
    if (m_bOperationRunning || (m_prepared && !replacePreparedWithDevice(Replacing::Default)))
        return;
    if (m_bConnected && !settleUnwrittenChanges(Replacing::Default))
        return;
    if (drive_type == protocol::kFamily2) {
        sendDefaultCommand();
        return;
    }
    // Classic devices have no restore command: the editors are rebuilt, filled
    // with the defaults and written like any configuration. Without a device
    // nothing is lost or sent, and the write says so.
    if (m_bConnected && !confirm(confirmDefaultsText()))
        return;
    rebuildEditors();
    editors().fromModel(config::family1Defaults(deviceShape()));
    m_bWritingDefaults = true;
    // The question was asked; the defaults are written without the change list.
    runOperation(
        tr("device not connect"), EventPass::Run, [this] { return writeNow(false); }, tr("set up success"));
    m_bWritingDefaults = false;
}

// The device restores its factory configuration on one request and answers
// nothing; reading it back right after puts it on the screen, so that no
// later write sends the old values back.
void CorvelleRepeater::sendDefaultCommand()
{
    runOperation(tr("device not connect"), EventPass::Skip, [this] {
        if (!confirm(confirmDefaultsText()))
            return TransferResult::failure();
        const TransferResult restored = session::restoreDefaults(*m_pHidDevice, deviceShape());
        recordHistory(QStringLiteral("defaults"), restored, QString(), nullptr);
        if (!restored.ok)
            return restored;
        const TransferResult read = readConfiguration();
        if (read.ok) {
            showInfo(tr("The factory configuration of %1 is restored.").arg(m_strModel));
        } else {
            showInfo(
                tr("The factory configuration of %1 is restored, but reading it back failed: %2 Read the "
                   "configuration again to see it.")
                    .arg(m_strModel, read.message.translated()));
        }
        return TransferResult::success();
    });
}
