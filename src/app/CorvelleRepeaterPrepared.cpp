// A configuration prepared at the desk, without a device: the editors of a
// model chosen from the model table, saved and opened as any other. A device
// that arrives meanwhile does not replace it: it is read aside, and the
// prepared configuration stays on screen until the user writes it to that
// device (checked against the device's shape first) or discards it.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "DevInfoWidget.h"
#include "config/Changes.h"
#include "config/ConfigFile.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "device/HardwareType.h"
#include "device/ModelTable.h"
#include "device/Protocol.h"
#include "log/LogCategories.h"
#include "session/DeviceSession.h"
#include "widgets/CustomProgressIndicator.h"
#include "widgets/UserDialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace {

constexpr int kModelCount = int(sizeof(models::kModels) / sizeof(models::kModels[0]));

// The chooser lists every model of the table in family 1, then in family 2.
int familyOfChoice(int choice)
{
    return choice < kModelCount ? protocol::kFamily1 : protocol::kFamily2;
}

const models::Model& modelOfChoice(int choice)
{
    return models::kModels[choice % kModelCount];
}

}  // namespace

void CorvelleRepeater::createPreparedConfiguration()
{
    m_pActionNewConfiguration = new QAction(this);
    m_pActionNewConfiguration->setObjectName(QStringLiteral("actionNewConfiguration"));
    connect(m_pActionNewConfiguration, &QAction::triggered, this,
            &CorvelleRepeater::onActionNewConfiguration);
    const QList<QAction*> actions = m_pMainMenu->actions();
    m_pMainMenu->insertAction(actions.isEmpty() ? nullptr : actions.first(), m_pActionNewConfiguration);
    // Offered only while no device is connected.
    connect(m_pMainMenu, &QMenu::aboutToShow, this,
            [this] { m_pActionNewConfiguration->setEnabled(!m_bConnected && !m_bOperationRunning); });

    m_pPreparedLabel = new QLabel(this);
    m_pPreparedLabel->setObjectName(QStringLiteral("preparedLabel"));
    m_pPreparedLabel->setStyleSheet(QStringLiteral("color: rgb(200, 100, 0); font-weight: bold;"));
    m_pPreparedLabel->setWordWrap(true);
    m_pPreparedLabel->setTextFormat(Qt::PlainText);
    m_pPreparedLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_pPreparedLabel->hide();
    // A line of its own under the device name, above the pages.
    if (auto* body = qobject_cast<QVBoxLayout*>(ui.m_tabWidgetParam->parentWidget()->layout()))
        body->insertWidget(body->indexOf(ui.m_tabWidgetParam), m_pPreparedLabel);
    retranslatePrepared();
}

void CorvelleRepeater::retranslatePrepared()
{
    m_pActionNewConfiguration->setText(tr("New configuration..."));
    showPreparedStatus();
}

// What the editors hold and what the device attached can do with it, told
// without a question under the device name.
void CorvelleRepeater::showPreparedStatus()
{
    if (!m_prepared) {
        m_pPreparedLabel->hide();
        m_pPreparedLabel->clear();
        return;
    }
    const ArrivedDevice* device = m_prepared->device.get();
    QString text;
    if (!device) {
        text = tr("Configuration prepared for %1 (family %2), no device attached. Read, Write and Default "
                  "wait for a device.")
                   .arg(m_prepared->model)
                   .arg(drive_type);
    } else if (!device->misfit.isEmpty()) {
        text = tr("Configuration prepared for %1 kept. %2 cannot take it: %3. Read config discards it and "
                  "reads the device.")
                   .arg(m_prepared->model, device->model, config::findingsText(device->misfit));
    } else {
        text = tr("Configuration prepared for %1 kept: Write config writes it to %2, Read config discards "
                  "it and reads the device.")
                   .arg(m_prepared->model, device->model);
    }
    m_pPreparedLabel->setText(text);
    m_pPreparedLabel->setToolTip(text);
    m_pPreparedLabel->show();
}

QString CorvelleRepeater::preparedWaitingText() const
{
    if (m_prepared && m_prepared->device)
        return tr("The editors hold a configuration prepared for %1. Write config writes it to %2; Read "
                  "config discards it and reads %2.")
            .arg(m_prepared->model, m_prepared->device->model);
    return tr("No device is attached: the configuration prepared for %1 waits for one.")
        .arg(m_prepared ? m_prepared->model : QString());
}

bool CorvelleRepeater::canRun(Needs needs, const QString& notConnectedText)
{
    return (needs == Needs::Editors && m_prepared) || checkConnected(notConnectedText);
}

bool CorvelleRepeater::choosePreparedModel(const QString& text, int* family, const models::Model** model)
{
    QStringList items;
    for (int choice = 0; choice < 2 * kModelCount; ++choice) {
        const models::Model& m = modelOfChoice(choice);
        const int f = familyOfChoice(choice);
        items << tr("%1, family %2 (%3): %4 CAN, %5 fibre")
                     .arg(QLatin1String(m.name))
                     .arg(f)
                     .arg(f == protocol::kFamily2 ? tr("CAN FD") : tr("classic CAN"))
                     .arg(m.nCAN)
                     .arg(m.nFiberOptic);
    }
    // The last choice, else the device seen last, else the first model.
    int current = m_nLastPreparedChoice;
    if (current < 0) {
        for (int choice = 0; choice < items.size(); ++choice) {
            if (QLatin1String(modelOfChoice(choice).name) == m_strModel &&
                familyOfChoice(choice) == drive_type)
                current = choice;
        }
    }
    const int chosen =
        userDialogs().chooseItem(this, tr("New configuration"), text, items, current < 0 ? 0 : current);
    if (chosen < 0 || chosen >= items.size())
        return false;
    m_nLastPreparedChoice = chosen;
    *family = familyOfChoice(chosen);
    *model = &modelOfChoice(chosen);
    return true;
}

void CorvelleRepeater::onActionNewConfiguration()
{
    if (m_bOperationRunning)
        return;
    if (m_bConnected) {
        showInfo(tr("A new configuration is prepared without a device; %1 is connected.").arg(m_strModel));
        return;
    }
    int family = 0;
    const models::Model* model = nullptr;
    if (m_prepared && !settlePreparedChanges(tr("The configuration prepared for %1 holds changes not saved "
                                                "to a file. A new configuration replaces it.")
                                                 .arg(m_prepared->model)))
        return;
    if (!choosePreparedModel(tr("The model the configuration is for:"), &family, &model))
        return;
    prepare(family, *model);
}

// The editors of the model with its defaults; that is the baseline until
// the configuration is saved or opened.
void CorvelleRepeater::prepare(int family, const models::Model& model)
{
    std::unique_ptr<ArrivedDevice> device = m_prepared ? std::move(m_prepared->device) : nullptr;
    m_prepared.reset(new PreparedConfiguration{QLatin1String(model.name), std::move(device)});
    qCInfo(lcDevice).noquote() << "prepared a configuration for" << model.name << "of family" << family;
    drive_type = family;
    m_nHardwareType = model.typeCode;
    g_nHardwareType = model.typeCode;
    m_nCAN = model.nCAN;
    m_nFiberOptic = model.nFiberOptic;
    rebuildEditors();
    showFirmwareTabNoDevice();
    const config::Shape shape = deviceShape();
    editors().fromModel(config::preparedDefaults(shape));
    if (ArrivedDevice* arrived = m_prepared->device.get())
        arrived->misfit = config::checkShapeFits(shape, arrived->shape);
    setBaseline(editors().toModel());
    showPreparedStatus();
}

// The editors go with the prepared configuration.
void CorvelleRepeater::dropPrepared()
{
    m_prepared.reset();
    removeCanTabs();
    clearFibreGrid();
    clearRouteTable();
    m_nCAN = 0;
    m_nFiberOptic = 0;
    clearBaseline();
    showPreparedStatus();
}

bool CorvelleRepeater::settlePreparedChanges(Replacing what)
{
    const QString model = m_prepared->model;
    switch (what) {
        case Replacing::Close:
            return settlePreparedChanges(
                tr("The configuration prepared for %1 holds changes not saved to a file. Close the window?")
                    .arg(model));
        case Replacing::Read:
            return settlePreparedChanges(tr("The configuration prepared for %1 holds changes not saved to a "
                                            "file. Reading the device replaces it.")
                                             .arg(model));
        case Replacing::Open:
            return settlePreparedChanges(tr("The configuration prepared for %1 holds changes not saved to a "
                                            "file. Opening a file replaces it.")
                                             .arg(model));
        case Replacing::Default:
            return settlePreparedChanges(tr("The configuration prepared for %1 holds changes not saved to a "
                                            "file. Restoring the defaults replaces it.")
                                             .arg(model));
        case Replacing::Switch:
            return settlePreparedChanges(tr("The configuration prepared for %1 holds changes not saved to a "
                                            "file. Switching to another device replaces it.")
                                             .arg(model));
    }
    return false;
}

// Changes against what was made, opened or saved last: Save to file / Discard / Cancel.
bool CorvelleRepeater::settlePreparedChanges(const QString& text)
{
    if (m_bOperationRunning || refreshChanges() == 0)
        return true;
    QStringList lines;
    for (const config::Change& change : config::changes(m_baseline, editors().toModel(), deviceShape()))
        lines << change.line;
    const QStringList buttons{tr("Save to file"), tr("Discard"), tr("Cancel")};
    const int chosen = userDialogs().choose(this, tr("Unsaved changes"), text, lines, buttons, 2);
    if (chosen == 0)
        return writeConfigFile(tr("save conf"), tr("save conf file fail"));
    return chosen == 1;
}

// Open without a device: the file is opened into a configuration prepared
// for the model the user names; nothing is left when it does not open.
void CorvelleRepeater::openWithoutDevice()
{
    if (m_bOperationRunning)
        return;
    int family = 0;
    const models::Model* model = nullptr;
    if (!choosePreparedModel(tr("The model the file is for:"), &family, &model))
        return;
    prepare(family, *model);
    bool opened = false;
    runOperation(
        tr("device not connected"), EventPass::Run,
        [&] {
            const QString name =
                userDialogs().openFileName(this, tr("open file"), QString(), tr("TXT(*.txt)"));
            opened = !name.isEmpty() && loadConfigFile(name);
            return TransferResult::success();
        },
        QString(), Needs::Editors);
    if (!opened && m_prepared)
        dropPrepared();
}

// Arrival and removal while a prepared configuration is on screen: the
// editors stay; only the device held beside them changes.
void CorvelleRepeater::preparedDeviceChanged(int type, int nType)
{
    if (nType != 0 && nType != 1)
        return;
    if (m_prepared->device)
        qCInfo(lcDevice).noquote() << (nType == 0 ? "lost the device" : "a device arrived beside")
                                   << m_prepared->device->name;
    m_prepared->device.reset();
    m_pDevInfoWidget->setDevInfo(QString(), QString(), QString(), QString());
    ui.m_pLineEditDevName->clear();
    m_bConnected = false;
    showPreparedStatus();
    if (nType == 0) {
        m_pHidDevice->close();
        m_nPendingSearch = -1;
        return;
    }
    if (m_bSearching) {
        m_nPendingSearch = type;
        return;
    }
    m_pHidDevice->close();
    searchDevice(type);
}

void CorvelleRepeater::takePreparedSearchResult(const SearchResult& result)
{
    if (!m_prepared) {
        takeSearchResult(result);
        return;
    }
    m_pProgressIndicator->stopAnimation();
    m_pProgressIndicator->hide();
    const DeviceIdentity& id = result.identity;
    if (id.nCAN == -1 || !m_pHidDevice->isOpen()) {
        m_bAccessDenied = result.accessDenied;
        onShowName(-1, 0, QString(), QString(), QString(), QString(), QString());
        return;
    }
    auto device = std::make_unique<ArrivedDevice>();
    device->driveType = result.driveType;
    device->hardwareType = result.hardwareType;
    device->shape = {result.driveType, id.nCAN, id.nFiberOptic, config::modeCountFor(result.hardwareType)};
    device->name = id.strName;
    device->model = id.strDevType.isEmpty() ? id.strName : id.strDevType;
    device->version = id.strDevVer;
    device->firmware = id.strFirmware;
    device->board = id.strCardNum;
    device->misfit = config::checkShapeFits(deviceShape(), device->shape);
    qCInfo(lcDevice).noquote() << "found" << id.strName << "beside the configuration prepared for"
                               << m_prepared->model;
    m_prepared->device = std::move(device);
    m_strModel = id.strDevType;
    m_strFirmware = id.strFirmware;
    m_strBoardNumber = id.strCardNum;
    m_pDevInfoWidget->setDevInfo(id.strDevType, id.strDevVer, id.strFirmware, id.strCardNum);
    ui.m_pLineEditDevName->setText(id.strName);
    showPreparedStatus();
    // Read aside, so that the write can list what it changes on this device
    // and keep what the prepared configuration does not cover.
    if (m_prepared->device->misfit.isEmpty())
        runOperation(
            tr("device not connect"), EventPass::Skip, [this] { return readArrivedDevice(); }, QString(),
            Needs::Editors);
}

TransferResult CorvelleRepeater::readArrivedDevice()
{
    ArrivedDevice* device = m_prepared ? m_prepared->device.get() : nullptr;
    if (!device)
        return TransferResult::failure();
    config::Configuration model = config::defaultConfiguration(device->shape);
    const config::Shape shape = device->shape;
    HIDDevice& hid = *m_pHidDevice;
    TransferResult result;
    serveEventsWhile([&] { result = session::readConfiguration(hid, shape, &model); });
    // The device may have left meanwhile.
    if (m_prepared && m_prepared->device.get() == device) {
        device->configuration = model;
        device->read = result.ok;
    }
    return result;
}

// The prepared configuration onto the device attached: refused when the
// device cannot take it, the values checked as any write's, the changes
// against what the device holds listed first. The parts the configuration
// does not cover (a smaller model of the family) keep what the device holds,
// as when a smaller file is opened. Written, the window shows the device.
void CorvelleRepeater::writePrepared()
{
    runOperation(
        tr("device not connect"), EventPass::Run,
        [this]() -> TransferResult {
            ArrivedDevice* device = m_prepared ? m_prepared->device.get() : nullptr;
            if (!device) {
                showInfo(preparedWaitingText());
                return TransferResult::failure();
            }
            if (!device->misfit.isEmpty()) {
                showInfo(config::findingsText(device->misfit));
                return TransferResult::failure();
            }
            if (!device->read) {
                const TransferResult read = readArrivedDevice();
                if (!read.ok)
                    return read;
                device = m_prepared ? m_prepared->device.get() : nullptr;
                if (!device)
                    return TransferResult::failure();
            }
            const config::Shape shape = device->shape;
            const config::Configuration model =
                config::openedConfiguration(device->configuration, editors().toModel(), shape);
            const TransferResult result = writeChecked(model, shape, &device->configuration, device->model,
                                                       true, QStringLiteral("write"));
            if (!result.ok || !m_prepared || !m_prepared->device)
                return result;
            // Edits kept from an earlier removal of this device are older than what it now holds.
            if (m_kept && m_kept->model == device->model && m_kept->board == device->board)
                m_kept.reset();
            adoptArrivedDevice();
            editors().fromModel(model);
            setBaseline(model);
            return result;
        },
        tr("set up success"), Needs::Editors);
}

bool CorvelleRepeater::replacePreparedWithDevice(Replacing what)
{
    if (m_bOperationRunning)
        return false;
    if (!m_prepared->device) {
        showInfo(preparedWaitingText());
        return false;
    }
    if (!settlePreparedChanges(what) || !m_prepared || !m_prepared->device)
        return false;
    adoptArrivedDevice();
    return true;
}

// The window takes the device held beside the prepared configuration as a
// connection of its own: its editors, built for it, are compared with
// nothing until they are read or written.
void CorvelleRepeater::adoptArrivedDevice()
{
    const std::unique_ptr<PreparedConfiguration> prepared = std::move(m_prepared);
    const ArrivedDevice& device = *prepared->device;
    qCInfo(lcDevice).noquote() << "the configuration prepared for" << prepared->model << "gives way to"
                               << device.name;
    drive_type = device.driveType;
    m_nHardwareType = device.hardwareType;
    g_nHardwareType = device.hardwareType;
    m_nCAN = device.shape.nCAN;
    m_nFiberOptic = device.shape.nFiberOptic;
    m_strModel = device.model;
    m_strBoard = device.board;
    removeCanTabs();
    buildCanTabs(m_nCAN);
    clearFibreGrid();
    buildFibreGrid(m_nFiberOptic);
    showFirmwareTabNoDevice();
    showFirmwareTabUpgrade();
    clearRouteTable();
    buildRouteTable();
    m_pDevInfoWidget->setDevInfo(device.model, device.version, device.firmware, device.board);
    ui.m_pLineEditDevName->setText(device.name);
    m_bConnected = true;
    if (device.read) {
        editors().fromModel(device.configuration);
        setBaseline(device.configuration);
    } else {
        clearBaseline();
    }
    showPreparedStatus();
}
