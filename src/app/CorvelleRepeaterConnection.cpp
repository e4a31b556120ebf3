// The connection lifecycle of the main window: the device search on its
// worker thread, the search result on the GUI thread, arrival and removal.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "DevInfoWidget.h"
#include "MainThreadCalls.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "device/HardwareType.h"
#include "log/LogCategories.h"
#include "widgets/CustomProgressIndicator.h"

#include <QCoreApplication>
#include <QPointer>

#include <utility>

void CorvelleRepeater::searchDevice(int type)
{
    // A prepared configuration keeps the editors' family; the search takes the one announced.
    const int searchType = type != -1 ? type : drive_type;
    if (!m_prepared)
        drive_type = searchType;
    m_bSearching = true;
    m_pProgressIndicator->show();
    m_pProgressIndicator->startAnimation();
    // The thread holds the device, never the window: a window closed before
    // the search ends is only missed by its result.
    searchthreads::start([device = m_pHidDevice, jobs = m_pDeviceJobs, family = searchType, window = ref()] {
        const SearchResult result = searchAlone(*jobs, [&] { return ::searchDevice(*device, family); });
        callOnMainThread([window, result] {
            if (CorvelleRepeater* w = window.get())
                w->takeSearchResult(result);
        });
    });
}

void CorvelleRepeater::takeSearchResult(const SearchResult& result)
{
    m_bSearching = false;
    if (m_nPendingSearch != -1) {
        // A device arrived while this search ran: its result may be stale.
        m_pHidDevice->close();
        searchDevice(std::exchange(m_nPendingSearch, -1));
        return;
    }
    if (m_prepared) {
        whenIdle([this, result] { takePreparedSearchResult(result); });
        return;
    }
    drive_type = result.driveType;
    if (result.hardwareType != -1) {
        m_nHardwareType = result.hardwareType;
        g_nHardwareType = result.hardwareType;
    }
    m_bAccessDenied = result.accessDenied;
    m_strDevicePath = QString::fromStdString(result.path);
    const DeviceIdentity& id = result.identity;
    emit showName(id.nCAN, id.nFiberOptic, id.strName, id.strDevType, id.strDevVer, id.strFirmware,
                  id.strCardNum);
    listAttachedDevices();
}

void CorvelleRepeater::onShowName(int nCAN, int nFiberOptic, QString strName, QString strDevType,
                                  QString strDevVer, QString strFirmware, QString strCardNum)
{
    m_pProgressIndicator->stopAnimation();
    m_pProgressIndicator->hide();

    // The device may have left between the search's answer and this slot.
    if (nCAN != -1 && !m_pHidDevice->isOpen())
        nCAN = -1;
    if (nCAN == -1) {
        // No operation may run on a handle that the failed search replaced or cleared.
        m_bConnected = false;
        QString text = tr("search device fail");
        if (m_bAccessDenied)
            text += QLatin1Char('\n') +
                    tr("The device was found, but access to it was denied. Install the udev rule "
                       "60-corvelle-repeater.rules (see the README) and plug the device in again.");
        showFailure(text);
        return;
    }

    ui.m_pLineEditDevName->setText(strName);
    m_nCAN = nCAN;
    m_nFiberOptic = nFiberOptic;
    m_pDevInfoWidget->setDevInfo(strDevType, strDevVer, strFirmware, strCardNum);
    rebuildEditors();
    showFirmwareTabNoDevice();
    showFirmwareTabUpgrade();
    m_bConnected = true;
    // Compared with nothing until the read has given what this device holds.
    m_bHasBaseline = false;

    m_bShowReadResult = false;
    readConfig();
    m_bShowReadResult = true;
    offerKeptChanges();
}

void CorvelleRepeater::onDeviceChanged(int type, int nType)
{
    if (m_prepared) {
        preparedDeviceChanged(type, nType);
        return;
    }
    if (deviceListTakesEvent(nType))
        return;
    if (nType == 0) {
        if (!ui.m_pLineEditDevName->text().isEmpty())
            qCInfo(lcDevice).noquote() << "lost the device" << ui.m_pLineEditDevName->text();
        m_pHidDevice->close();
        keepUnwrittenChanges();
        ui.m_pLineEditDevName->clear();
        removeCanTabs();
        clearFibreGrid();
        clearRouteTable();
        showFirmwareTabNoDevice();
        m_bConnected = false;
        m_nPendingSearch = -1;
        clearBaseline();
        connectToAttached();
    } else if (nType == 1) {
        // The new search opens into the shared device: nothing may use the old handle meanwhile.
        keepUnwrittenChanges();
        m_bConnected = false;
        if (m_bSearching) {
            m_nPendingSearch = type;
            return;
        }
        m_pHidDevice->close();
        searchDevice(type);
    }
}
