// Reading, writing and restoring the device's configuration: the main
// window's slots run the sequences of operations/ConfigTransfer.h against the
// editors, which are the configuration's only store.

#include "CorvelleRepeater.h"

#include "ScopedDisable.h"
#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "editors/CANParamWidget.h"
#include "editors/FibreGrid.h"
#include "editors/RouteMatrix.h"
#include "operations/ConfigTransfer.h"
#include "operations/FibreCodec.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>

namespace {

constexpr int kWriteEventsMs = 5;  // the write lets queued events run this long first

// The editors as the sequences see them. Every call finds its widgets again
// by object name, so a view never holds a widget that a rebuild deleted.
class EditorTransfer final : public ConfigReadSink, public ConfigWriteSource {
public:
    EditorTransfer(Ui::CorvelleRepeaterClass& ui, QSignalMapper* mapper, int nCAN, int nFiberOptic,
                   int driveType)
        : m_ui(ui), m_mapper(mapper), m_nCAN(nCAN), m_nFiberOptic(nFiberOptic), m_driveType(driveType)
    {
    }

    // The editor of CAN channel i (tab i, from 0); nullptr where there is none.
    CANParamWidget* editor(int i) const
    {
        QWidget* page = m_ui.tabWidget->widget(i);
        return page ? page->findChild<CANParamWidget*>(QStringLiteral("CANParamWidget")) : nullptr;
    }
    FibreGrid fibres() const
    {
        return FibreGrid(m_ui.tab_Fiber, m_ui.gridLayout_fiber, m_nCAN, m_nFiberOptic, m_driveType);
    }
    RouteMatrix routes() const { return RouteMatrix(m_ui.tableWidgetRoute, m_mapper, m_nCAN, m_nFiberOptic); }

    // ConfigReadSink
    void setBaudRateBytes(int channel, const QByteArray& timing) override
    {
        if (CANParamWidget* e = editor(channel))
            e->setBaudRateBytes(timing);
    }
    void decodeFilterBanks(int channel, const QList<QByteArray>& records) override
    {
        if (CANParamWidget* e = editor(channel))
            e->decodeFilterBanks(records);
    }
    void setFibreCode(int fibre, quint8 code) override { fibres().setFibreCode(fibre, code); }
    void decodeRouteBytes(const QByteArray& answer) override { routes().decodeRouteBytes(answer); }
    void setFDConfig(int channel, int mode, int fd, const QByteArray& arbitration,
                     const QByteArray& data) override
    {
        if (CANParamWidget* e = editor(channel))
            e->setFDConfig(mode, fd, arbitration, data);
    }
    void setRouteWord(int source, const QByteArray& word) override { routes().setRouteWord(source, word); }
    void decodeFilterRecords(int channel, const QList<QByteArray>& records) override
    {
        if (CANParamWidget* e = editor(channel))
            e->decodeFilterRecords(records);
    }
    void setFibreBaud(int fibre, const QByteArray& baud) override { fibres().setFibreBaud(fibre, baud); }

    // ConfigWriteSource
    bool channelRequests(int channel, QByteArray* timingRequest, QList<QByteArray>* bankRequests) override
    {
        CANParamWidget* e = editor(channel - 1);
        if (!e || !e->checkRateTexts(channel))
            return false;
        *timingRequest = e->baudRateCommand(channel);
        if (timingRequest->isEmpty())
            return false;
        *bankRequests = e->filterBankCommands(channel);
        return !bankRequests->isEmpty();
    }
    QByteArray fibreRequest() override { return fibre::family1FibreRequest(fibres().fibreCodes()); }
    QByteArray routeRequest() override { return routes().routeBytes(); }
    bool channelSettings(int channel, Family2ChannelSettings* settings) override
    {
        CANParamWidget* e = editor(channel);
        if (!e || !e->checkRateTexts(channel + 1) || !e->checkModeSelection(channel + 1))
            return false;
        settings->mode = e->modeIndex();
        settings->fd = e->fdIndex();
        settings->arbitration = e->arbitrateRateBytes();
        settings->data = e->dataRateBytes();
        settings->routeWord = routes().routeWord(channel);
        return true;
    }
    QList<QByteArray> filterCommands(int channel) override
    {
        CANParamWidget* e = editor(channel - 1);
        return e ? e->filterCommands(channel) : QList<QByteArray>();
    }
    QByteArray fibreBaudBytes(int fibre) override { return fibres().fibreBaudBytes(fibre); }
    QByteArray routeWord(int source) override { return routes().routeWord(source); }

private:
    Ui::CorvelleRepeaterClass& m_ui;
    QSignalMapper* m_mapper;
    int m_nCAN;
    int m_nFiberOptic;
    int m_driveType;
};

void showFailure(QWidget* parent, const TransferResult& result)
{
    if (!result.ok && !result.message.isEmpty())
        userDialogs().information(parent, CorvelleRepeater::tr("INFO"), result.message.translated());
}

// A family-2 fibre without a rate (a "custom" entry left empty or 0) would
// reach the device as 0 bit/s; the write is refused before anything is sent.
bool checkFibreRates(QWidget* parent, const FibreGrid& grid, int nFiberOptic)
{
    for (int i = 0; i < nFiberOptic; ++i) {
        if (fibre::rateFromBytes(grid.fibreBaudBytes(i)) == 0) {
            userDialogs().information(parent, CorvelleRepeater::tr("INFO"),
                                      CorvelleRepeater::tr("Fiber%1: enter a baud rate from 1 to %2")
                                          .arg(i + 1)
                                          .arg(fibre::kMaxRate));
            return false;
        }
    }
    return true;
}

}  // namespace

void CorvelleRepeater::readConfig()
{
    on_m_pushButtonRead_clicked();
}

void CorvelleRepeater::on_m_pushButtonRead_clicked()
{
    if (!checkConnected(tr("device not connect")))
        return;
    ScopedDisable lock(ui.m_pushButtonRead);
    EditorTransfer editors(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type);
    for (int i = 0; i < m_nCAN; ++i) {
        if (CANParamWidget* e = editors.editor(i))
            e->clearFilters();
    }
    if (drive_type == protocol::kFamily2) {
        if (readFDConfig() == 0 && m_bShowReadResult)
            showInfo(tr("read success"));
        return;
    }
    const TransferResult result = readFamily1Config(*m_pHidDevice, m_nCAN, m_nFiberOptic, editors);
    showFailure(this, result);
    if (result.ok && m_bShowReadResult)
        showInfo(tr("read success"));
}

int CorvelleRepeater::readFDConfig()
{
    EditorTransfer editors(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type);
    const TransferResult result = readFamily2Config(*m_pHidDevice, m_nCAN, m_nFiberOptic, editors);
    showFailure(this, result);
    return result.ok ? 0 : -1;
}

void CorvelleRepeater::on_m_pushButtonWrite_clicked()
{
    if (!checkConnected(tr("device not connect")))
        return;
    ScopedDisable lock(ui.m_pushButtonWrite);
    QCoreApplication::processEvents(QEventLoop::AllEvents, kWriteEventsMs);
    // A removal handled just now has closed the device and emptied the editors.
    if (!checkConnected(tr("device not connect")))
        return;
    if (drive_type == protocol::kFamily2) {
        if (writeFDConfig() == 0)
            showInfo(tr("set up success"));
        return;
    }
    EditorTransfer editors(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type);
    const TransferResult result = writeFamily1Config(*m_pHidDevice, m_nCAN, editors);
    showFailure(this, result);
    if (result.ok)
        showInfo(tr("set up success"));
}

int CorvelleRepeater::writeFDConfig()
{
    EditorTransfer editors(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type);
    if (!checkFibreRates(this, editors.fibres(), m_nFiberOptic))
        return -1;
    const TransferResult result = writeFamily2Config(*m_pHidDevice, m_nCAN, m_nFiberOptic, editors);
    showFailure(this, result);
    return result.ok ? 0 : -1;
}

void CorvelleRepeater::on_m_pushButtonDefault_clicked()
{
    if (drive_type == protocol::kFamily2) {
        sendDefaultCommand();
        return;
    }
    // Classic devices have no restore command: the editors are rebuilt, filled
    // with the defaults and written like any configuration.
    removeCanTabs();
    buildCanTabs(m_nCAN);
    clearFibreGrid();
    buildFibreGrid(m_nFiberOptic);
    clearRouteTable();
    buildRouteTable();
    EditorTransfer editors(ui, m_pSignalMapper, m_nCAN, m_nFiberOptic, drive_type);
    for (int i = 0; i < m_nCAN; ++i) {
        if (CANParamWidget* e = editors.editor(i))
            e->resetToDefaults();
    }
    const FibreGrid grid = editors.fibres();
    const QByteArray defaultCode(1, char(fibre::kFamily1DefaultCode));
    for (int i = 0; i < m_nFiberOptic; ++i) {
        if (QComboBox* selector = grid.selector(i))
            selector->setCurrentIndex(selector->findData(defaultCode));
    }
    on_m_pushButtonWrite_clicked();
}

void CorvelleRepeater::sendDefaultCommand()
{
    if (!checkConnected(tr("device not connect")))
        return;
    if (!sendFamily2Defaults(*m_pHidDevice))
        showInfo(tr("set default fail"));
}
