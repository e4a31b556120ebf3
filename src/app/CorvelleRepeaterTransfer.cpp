// Reading, writing and restoring the device's configuration: the main
// window's slots run the sequences of operations/ConfigTransfer.h against the
// editors, which are the configuration's only store.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "editors/CANParamWidget.h"
#include "operations/FibreCodec.h"
#include "widgets/UserDialogs.h"

#include <QComboBox>
#include <QLineEdit>
#include <QThread>

#include <algorithm>
#include <functional>

namespace {

// The editors as the sequences see them. Every call finds its widgets again,
// so a view never holds a widget that a rebuild deleted.
class EditorTransfer final : public ConfigReadSink, public ConfigWriteSource {
public:
    explicit EditorTransfer(const DeviceEditors& editors) : m_editors(editors) {}

    // ConfigReadSink
    void setBaudRateBytes(int channel, const QByteArray& timing) override
    {
        if (CANParamWidget* e = m_editors.can(channel))
            e->setBaudRateBytes(timing);
    }
    void decodeFilterBanks(int channel, const QList<QByteArray>& records) override
    {
        if (CANParamWidget* e = m_editors.can(channel))
            e->decodeFilterBanks(records);
    }
    void setFibreCode(int fibre, quint8 code) override { m_editors.fibres().setFibreCode(fibre, code); }
    void decodeRouteBytes(const QByteArray& answer) override { m_editors.routes().decodeRouteBytes(answer); }
    void setFDConfig(int channel, int mode, int fd, const QByteArray& arbitration,
                     const QByteArray& data) override
    {
        if (CANParamWidget* e = m_editors.can(channel))
            e->setFDConfig(mode, fd, arbitration, data);
    }
    void setRouteWord(int source, const QByteArray& word) override
    {
        m_editors.routes().setRouteWord(source, word);
    }
    void decodeFilterRecords(int channel, const QList<QByteArray>& records) override
    {
        if (CANParamWidget* e = m_editors.can(channel))
            e->decodeFilterRecords(records);
    }
    void setFibreBaud(int fibre, const QByteArray& baud) override
    {
        m_editors.fibres().setFibreBaud(fibre, baud);
    }

    // ConfigWriteSource
    bool channelRequests(int channel, QByteArray* timingRequest, QList<QByteArray>* bankRequests) override
    {
        CANParamWidget* e = m_editors.can(channel - 1);
        if (!e || !e->checkRateTexts(channel))
            return false;
        *timingRequest = e->baudRateCommand(channel);
        if (timingRequest->isEmpty())
            return false;
        *bankRequests = e->filterBankCommands(channel);
        return !bankRequests->isEmpty();
    }
    QByteArray fibreRequest() override { return fibre::family1FibreRequest(m_editors.fibres().fibreCodes()); }
    QByteArray routeRequest() override { return m_editors.routes().routeBytes(); }
    bool channelSettings(int channel, Family2ChannelSettings* settings) override
    {
        CANParamWidget* e = m_editors.can(channel);
        if (!e || !e->checkRateTexts(channel + 1) || !e->checkModeSelection(channel + 1))
            return false;
        settings->mode = e->modeIndex();
        settings->fd = e->fdIndex();
        settings->arbitration = e->arbitrateRateBytes();
        settings->data = e->dataRateBytes();
        settings->routeWord = m_editors.routes().routeWord(channel);
        return true;
    }
    QList<QByteArray> filterCommands(int channel) override
    {
        CANParamWidget* e = m_editors.can(channel - 1);
        return e ? e->filterCommands(channel) : QList<QByteArray>();
    }
    QByteArray fibreBaudBytes(int fibre) override { return m_editors.fibres().fibreBaudBytes(fibre); }
    QByteArray routeWord(int source) override { return m_editors.routes().routeWord(source); }

private:
    DeviceEditors m_editors;
};

// A write source for a sequence running on another thread: each call reads
// the editors on the window's thread, and a channel is refused once the
// device has gone, which ends the write.
class GuiThreadSource final : public ConfigWriteSource {
public:
    GuiThreadSource(ConfigWriteSource& editors, QObject* window, std::function<bool()> connected)
        : m_editors(editors), m_window(window), m_connected(std::move(connected))
    {
    }

    bool channelRequests(int channel, QByteArray* timingRequest, QList<QByteArray>* bankRequests) override
    {
        return onGui(
            [&] { return m_connected() && m_editors.channelRequests(channel, timingRequest, bankRequests); });
    }
    QByteArray fibreRequest() override
    {
        return onGui([&] { return m_editors.fibreRequest(); });
    }
    QByteArray routeRequest() override
    {
        return onGui([&] { return m_editors.routeRequest(); });
    }
    bool channelSettings(int channel, Family2ChannelSettings* settings) override
    {
        return onGui([&] { return m_connected() && m_editors.channelSettings(channel, settings); });
    }
    QList<QByteArray> filterCommands(int channel) override
    {
        return onGui([&] { return m_editors.filterCommands(channel); });
    }
    QByteArray fibreBaudBytes(int fibre) override
    {
        return onGui([&] { return m_editors.fibreBaudBytes(fibre); });
    }
    QByteArray routeWord(int source) override
    {
        return onGui([&] { return m_editors.routeWord(source); });
    }

private:
    template <typename F>
    auto onGui(F f) -> decltype(f())
    {
        decltype(f()) value{};
        if (QThread::currentThread() == m_window->thread())
            value = f();
        else
            QMetaObject::invokeMethod(
                m_window, [&] { value = f(); }, Qt::BlockingQueuedConnection);
        return value;
    }

    ConfigWriteSource& m_editors;
    QObject* m_window;
    std::function<bool()> m_connected;
};

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

// The fibre rates a family-2 device runs span its listed ones.
std::pair<std::uint32_t, std::uint32_t> family2FibreRange()
{
    std::uint32_t low = fibre::kMaxRate;
    std::uint32_t high = 0;
    for (const char* text : fibre::kFamily2Rates) {
        const std::uint32_t rate = fibre::rateFromText(QString::fromLatin1(text));
        low = std::min(low, rate);
        high = std::max(high, rate);
    }
    return {low, high};
}

}  // namespace

void CorvelleRepeater::readConfig()
{
    on_m_pushButtonRead_clicked();
}

void CorvelleRepeater::on_m_pushButtonRead_clicked()
{
    runOperation(
        tr("device not connect"), EventPass::Skip, [this] { return readConfiguration(); },
        m_bShowReadResult ? tr("read success") : QString());
}

TransferResult CorvelleRepeater::readConfiguration()
{
    const DeviceEditors e = editors();
    for (int i = 0; i < m_nCAN; ++i) {
        if (CANParamWidget* editor = e.can(i))
            editor->clearFilters();
    }
    EditorTransfer sink(e);
    if (drive_type == protocol::kFamily2)
        return readFamily2Config(*m_pHidDevice, m_nCAN, m_nFiberOptic, sink);
    return readFamily1Config(*m_pHidDevice, m_nCAN, m_nFiberOptic, sink);
}

int CorvelleRepeater::readFDConfig()
{
    return shownAsStatus(readConfiguration());
}

void CorvelleRepeater::on_m_pushButtonWrite_clicked()
{
    runOperation(
        tr("device not connect"), EventPass::Run, [this] { return writeConfiguration(); },
        tr("set up success"));
}

// Runs on the window's thread; the exchanges go to a thread of their own, so
// the window stays alive through the reset answer's 4 s.
TransferResult CorvelleRepeater::writeConfiguration()
{
    const bool family2 = drive_type == protocol::kFamily2;
    if (family2 && !checkFibreRates(this, editors().fibres(), m_nFiberOptic))
        return TransferResult::failure();
    if (!confirmRatesToWrite())
        return TransferResult::failure();
    EditorTransfer editorSource(editors());
    GuiThreadSource source(editorSource, this, [this] { return m_bConnected; });
    HIDDevice& device = *m_pHidDevice;
    const int nCAN = m_nCAN;
    const int nFiberOptic = m_nFiberOptic;
    TransferResult result;
    serveEventsWhile([&] {
        result = family2 ? writeFamily2Config(device, nCAN, nFiberOptic, source)
                         : writeFamily1Config(device, nCAN, source);
    });
    recordHistory(m_bWritingDefaults ? QStringLiteral("defaults") : QStringLiteral("write"), result,
                  QString(), configurationText());
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

// Timings the editors label not valid and custom fibre rates beyond what the
// device runs are sent only when the user says so.
bool CorvelleRepeater::confirmRatesToWrite()
{
    QStringList doubts;
    const DeviceEditors e = editors();
    for (int i = 0; i < m_nCAN; ++i) {
        const CANParamWidget* editor = e.can(i);
        if (!editor)
            continue;
        if (!editor->invalidBitRateText().isEmpty())
            doubts << tr("channel %1: %2 is not a valid bit timing.")
                          .arg(i + 1)
                          .arg(editor->invalidBitRateText());
        if (!editor->invalidDataRateText().isEmpty())
            doubts << tr("channel %1: data rate %2 is not a valid bit timing.")
                          .arg(i + 1)
                          .arg(editor->invalidDataRateText());
    }
    if (drive_type == protocol::kFamily2) {
        const auto [low, high] = family2FibreRange();
        for (int i = 0; i < m_nFiberOptic; ++i) {
            const std::uint32_t rate = fibre::rateFromBytes(e.fibres().fibreBaudBytes(i));
            if (rate != 0 && (rate < low || rate > high))
                doubts << tr("Fiber%1: %2 bit/s is outside the rates the device runs (%3 to %4 bit/s).")
                              .arg(i + 1)
                              .arg(rate)
                              .arg(low)
                              .arg(high);
        }
    }
    if (doubts.isEmpty())
        return true;
    const QChar separator = doubts.size() == 1 ? QLatin1Char(' ') : QLatin1Char('\n');
    return confirm(doubts.join(QLatin1Char('\n')) + separator + tr("Write anyway?"));
}

QString CorvelleRepeater::confirmDefaultsText() const
{
    return tr("Restore the defaults of %1? The device's configuration will be overwritten.").arg(m_strModel);
}

void CorvelleRepeater::on_m_pushButtonDefault_clicked()
{
    if (m_bOperationRunning)
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
    removeCanTabs();
    buildCanTabs(m_nCAN);
    clearFibreGrid();
    buildFibreGrid(m_nFiberOptic);
    clearRouteTable();
    buildRouteTable();
    const DeviceEditors e = editors();
    for (int i = 0; i < m_nCAN; ++i) {
        if (CANParamWidget* editor = e.can(i))
            editor->resetToDefaults();
    }
    const QByteArray defaultCode(1, char(fibre::kFamily1DefaultCode));
    for (int i = 0; i < m_nFiberOptic; ++i) {
        if (QComboBox* selector = e.fibres().selector(i))
            selector->setCurrentIndex(selector->findData(defaultCode));
    }
    m_bWritingDefaults = true;
    on_m_pushButtonWrite_clicked();
    m_bWritingDefaults = false;
}

void CorvelleRepeater::sendDefaultCommand()
{
    runOperation(tr("device not connect"), EventPass::Skip, [this] {
        if (!confirm(confirmDefaultsText()))
            return TransferResult::failure();
        const TransferResult result = sendFamily2Defaults(*m_pHidDevice)
                                          ? TransferResult::success()
                                          : TransferResult::failure(QT_TR_NOOP("set default fail"));
        recordHistory(QStringLiteral("defaults"), result, QString(), QByteArray());
        return result;
    });
}
