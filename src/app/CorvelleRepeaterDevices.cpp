// Several attached devices: the device name row becomes a chooser listing
// them in the order and with the names of `corvelle-cli list`; choosing
// another one asks first about unwritten changes, then connects to it.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "MainThreadCalls.h"
#include "device/AttachedDevices.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "log/LogCategories.h"
#include "widgets/CustomProgressIndicator.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QStandardItemModel>

#include <algorithm>
#include <mutex>

struct CorvelleRepeater::DeviceJobs {
    std::mutex mutex;      // held for a whole search or listing
    std::string openPath;  // the device the last search opened: a listing leaves it alone
};

namespace {

// As `corvelle-cli list` prints the device.
QString listLine(int family, const QString& model, const QString& path)
{
    const protocol::UsbIds ids = family == protocol::kFamily1 ? protocol::kFamily1Ids : protocol::kFamily2Ids;
    return QStringLiteral("%1  family %2  %3  %4")
        .arg(QString::asprintf("%04x:%04x", ids.vendor, ids.product))
        .arg(family)
        .arg(model, path);
}

// Takes out the entries of the devices no longer attached.
template <typename Entries>
void dropDetached(Entries& list)
{
    const QVector<AttachedDevice> attached = attachedDevices();
    const auto gone = [&attached](const auto& d) {
        return std::none_of(attached.begin(), attached.end(), [&d](const AttachedDevice& a) {
            return QString::fromStdString(a.path) == d.path;
        });
    };
    list.erase(std::remove_if(list.begin(), list.end(), gone), list.end());
}

}  // namespace

void CorvelleRepeater::createDeviceChooser()
{
    m_pDeviceJobs = std::make_shared<DeviceJobs>();
    m_pComboDevices = new QComboBox(ui.m_pLineEditDevName->parentWidget());
    m_pComboDevices->setObjectName(QStringLiteral("comboBoxDevices"));
    m_pComboDevices->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_pComboDevices->hide();
    if (auto* row = qobject_cast<QHBoxLayout*>(ui.m_pLineEditDevName->parentWidget()->layout()))
        row->insertWidget(row->indexOf(ui.m_pLineEditDevName) + 1, m_pComboDevices);
    // Only a choice of the user's (mouse or keyboard) switches; filling the list does not.
    connect(m_pComboDevices, QOverload<int>::of(&QComboBox::activated), this,
            &CorvelleRepeater::onDeviceChosen);
    // In the Tab order where the name stands: before the pages.
    setTabOrder(ui.m_pLineEditDevName, m_pComboDevices);
    nameDeviceChooser();
}

void CorvelleRepeater::nameDeviceChooser()
{
    m_pComboDevices->setAccessibleName(ui.m_pLabelDevName->text().trimmed());
    m_pComboDevices->setToolTip(tr("Several devices are attached: choose the one to configure"));
    showDeviceList();
}

// One entry per attached device; the chooser stands in for the name row
// while there are several to choose from.
void CorvelleRepeater::showDeviceList()
{
    const QSignalBlocker blocker(m_pComboDevices);
    m_pComboDevices->clear();
    // Also while edits kept for a lost device keep the window from going on
    // to the one left: the user may choose it. The lost one heads the list,
    // not to be chosen.
    const bool waiting = m_kept && !m_bConnected && !m_bSearching && !m_devices.isEmpty();
    if (waiting) {
        m_pComboDevices->addItem(
            tr("Waiting for %1 (board %2) with its unwritten changes").arg(m_kept->model, m_kept->board), -1);
        if (auto* model = qobject_cast<QStandardItemModel*>(m_pComboDevices->model()))
            model->item(0)->setEnabled(false);
    }
    for (int i = 0; i < m_devices.size(); ++i) {
        const ListedDevice& d = m_devices.at(i);
        const QString model = d.accessDenied ? tr("(access denied)") : d.model;
        m_pComboDevices->addItem(model.isEmpty() ? d.path : model + QStringLiteral("  ") + d.path, i);
        m_pComboDevices->setItemData(m_pComboDevices->count() - 1, listLine(d.family, d.model, d.path),
                                     Qt::ToolTipRole);
    }
    selectConnectedDevice();
    const bool several = m_devices.size() > 1 || waiting;
    const bool hadFocus = ui.m_pLineEditDevName->hasFocus() || m_pComboDevices->hasFocus();
    m_pComboDevices->setVisible(several);
    ui.m_pLineEditDevName->setVisible(!several);
    ui.m_pLabelDevName->setBuddy(several ? static_cast<QWidget*>(m_pComboDevices) : ui.m_pLineEditDevName);
    if (hadFocus && several)
        m_pComboDevices->setFocus(Qt::OtherFocusReason);
}

// The entry of the device connected or being connected; else the waiting
// entry, if there is one.
void CorvelleRepeater::selectConnectedDevice()
{
    const auto at = std::find_if(m_devices.begin(), m_devices.end(),
                                 [this](const ListedDevice& d) { return d.path == m_strDevicePath; });
    const int device = at == m_devices.end() ? -1 : int(at - m_devices.begin());
    const QSignalBlocker blocker(m_pComboDevices);
    m_pComboDevices->setCurrentIndex(m_pComboDevices->findData(device));
}

bool CorvelleRepeater::isAttached(const QString& path) const
{
    if (path.isEmpty())
        return false;
    const QVector<AttachedDevice> attached = attachedDevices();
    return std::any_of(attached.begin(), attached.end(),
                       [&path](const AttachedDevice& a) { return QString::fromStdString(a.path) == path; });
}

SearchResult CorvelleRepeater::searchAlone(DeviceJobs& jobs, const std::function<SearchResult()>& search)
{
    std::lock_guard<std::mutex> lock(jobs.mutex);
    SearchResult result = search();
    jobs.openPath = result.path;
    return result;
}

void CorvelleRepeater::listAttachedDevices()
{
    // A lone device is not shown in a list: it is not asked who it is.
    const QVector<AttachedDevice> attached = attachedDevices();
    if (attached.size() < 2 && !m_kept) {
        QVector<ListedDevice> list;
        for (const AttachedDevice& a : attached)
            list << ListedDevice{a.family, QString::fromStdString(a.path), QString(), QString(), false,
                                 false};
        takeDeviceList(list);
        return;
    }
    QVector<ListedDevice> known;
    for (const ListedDevice& d : m_devices) {
        if (d.known)
            known << d;
    }
    searchthreads::start([jobs = m_pDeviceJobs, known, window = ref()] {
        QVector<ListedDevice> list;
        {
            std::lock_guard<std::mutex> lock(jobs->mutex);
            for (const AttachedDevice& a : attachedDevices()) {
                ListedDevice d{a.family, QString::fromStdString(a.path), QString(), QString(), false, false};
                const auto was = std::find_if(known.begin(), known.end(), [&d](const ListedDevice& k) {
                    return k.path == d.path && k.family == d.family;
                });
                if (was != known.end()) {
                    d = *was;
                } else if (a.path != jobs->openPath) {
                    const SearchResult found = identifyAttached(a);
                    d.model = listedModel(found);
                    d.board = found.identity.strCardNum;
                    d.accessDenied = found.accessDenied && found.identity.nCAN < 0;
                    d.known = true;
                }
                list << d;
            }
        }
        callOnMainThread([window, list] {
            if (CorvelleRepeater* w = window.get())
                w->whenIdle([window, list] {
                    if (CorvelleRepeater* now = window.get())
                        now->takeDeviceList(list);
                });
        });
    });
}

void CorvelleRepeater::takeDeviceList(QVector<ListedDevice> list)
{
    // What has left since the listing began stays out of it.
    dropDetached(list);
    for (ListedDevice& d : list) {
        if (m_bConnected && d.path == m_strDevicePath) {
            d.model = m_strModel;
            d.board = m_strBoard;
            d.accessDenied = false;
            d.known = true;
        }
    }
    m_devices = list;
    showDeviceList();
}

void CorvelleRepeater::onDeviceChosen(int entry)
{
    const int index = m_pComboDevices->itemData(entry).toInt();
    if (entry < 0 || index < 0 || index >= m_devices.size()) {
        selectConnectedDevice();
        return;
    }
    const ListedDevice chosen = m_devices.at(index);
    if (chosen.path == m_strDevicePath && (m_bConnected || m_bSearching))
        return;
    if (m_bOperationRunning || m_bSearching || !settleUnwrittenChanges(Replacing::Switch) ||
        !dropKeptChanges(chosen)) {
        selectConnectedDevice();
        return;
    }
    qCInfo(lcDevice).noquote() << "switching to the device at" << chosen.path;
    m_pHidDevice->close();
    m_bConnected = false;
    m_strDevicePath = chosen.path;
    selectConnectedDevice();
    searchDeviceAt(chosen.path, chosen.family);
}

// Edits kept for a device that left are shown again only on its return;
// going on to another device drops them, so the user says so first.
bool CorvelleRepeater::dropKeptChanges(const ListedDevice& chosen)
{
    if (!m_kept || m_bConnected || (chosen.model == m_kept->model && chosen.board == m_kept->board))
        return true;
    const QString text = tr("The editors held changes not written to %1 (board %2) when it was removed. "
                            "They are shown again when it comes back; another device drops them.")
                             .arg(m_kept->model, m_kept->board);
    const QStringList buttons{tr("Discard"), tr("Cancel")};
    if (userDialogs().choose(this, tr("Unwritten changes"), text, {}, buttons, 1) != 0)
        return false;
    m_kept.reset();
    return true;
}

void CorvelleRepeater::searchDeviceAt(const QString& path, int family)
{
    drive_type = family;
    m_bSearching = true;
    m_pProgressIndicator->show();
    m_pProgressIndicator->startAnimation();
    searchthreads::start(
        [device = m_pHidDevice, jobs = m_pDeviceJobs, path = path.toStdString(), family, window = ref()] {
            const SearchResult result =
                searchAlone(*jobs, [&] { return ::searchDevicePath(*device, path, family); });
            callOnMainThread([window, result] {
                if (CorvelleRepeater* w = window.get())
                    w->takeSearchResult(result);
            });
        });
}

bool CorvelleRepeater::deviceListTakesEvent(int nType)
{
    if (m_bSearching || !m_pHidDevice->isOpen() || !isAttached(m_strDevicePath)) {
        m_strLostPath = nType == 0 ? m_strDevicePath : QString();
        return false;
    }
    if (nType == 0) {
        // Another device left: only its entry goes.
        dropDetached(m_devices);
        showDeviceList();
        return true;
    }
    // One device, announced again: searched afresh, as always. With several,
    // an arrival only joins the list: the connected device stays.
    if (!m_bConnected || attachedDevices().size() < 2)
        return false;
    // A device may have taken the place of one that left unnoticed: every
    // other device is asked again who it is.
    for (ListedDevice& d : m_devices)
        d.known = false;
    listAttachedDevices();
    return true;
}

void CorvelleRepeater::connectToAttached()
{
    const QString lost = std::exchange(m_strLostPath, QString());
    m_strDevicePath.clear();
    dropDetached(m_devices);
    showDeviceList();
    if (m_bSearching)
        return;
    // Edits kept for the lost device wait for its return: another device
    // would replace them. The chooser lists the others meanwhile.
    if (m_kept) {
        listAttachedDevices();
        return;
    }
    for (const AttachedDevice& a : attachedDevices()) {
        const QString path = QString::fromStdString(a.path);
        if (path != lost) {
            qCInfo(lcDevice).noquote() << "connecting to the device still attached at" << path;
            m_strDevicePath = path;
            searchDeviceAt(path, a.family);
            return;
        }
    }
}
