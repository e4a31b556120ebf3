// How every device and file operation of the main window starts and ends:
// one at a time, only with a device, with every control that starts another
// disabled meanwhile; the long ones exchange their reports on a thread of
// their own while the window goes on serving the window system.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "OperationThread.h"
#include "ScopedDisable.h"
#include "log/LogCategories.h"
#include "widgets/UserDialogs.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <atomic>
#include <utility>

namespace {

// Queued events run this long before an operation's first exchange, so the
// disabled buttons are painted.
constexpr int kEventPassMs = 5;
// Progress is painted at most this often: about 30 times a second.
constexpr int kProgressTickMs = 33;

// Holds the window's repaint back while the events queued before an
// operation run, and asks for it again once they have: the greyed buttons are
// then painted while the worker thread exchanges the first reports, not
// before. On a window system painting them costs a D5's write 0.4 ms, a
// fiftieth of it. A box or menu that one of those events opens runs a loop of
// its own, under which the window is repainted as usual.
class HeldRepaint final : public QObject {
public:
    explicit HeldRepaint(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~HeldRepaint() override
    {
        qApp->removeEventFilter(this);
        release();
    }
    HeldRepaint(const HeldRepaint&) = delete;
    HeldRepaint& operator=(const HeldRepaint&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_holding)
            return false;
        if (event->type() == QEvent::UpdateRequest && watched == m_window) {
            m_held = true;
            return true;
        }
        if (event->type() == QEvent::Show && watched != m_window && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow())
            release();
        return false;
    }

private:
    void release()
    {
        if (m_held)
            QCoreApplication::postEvent(m_window, new QEvent(QEvent::UpdateRequest), Qt::LowEventPriority);
        m_held = false;
        m_holding = false;
    }

    QWidget* m_window;
    bool m_holding = true;
    bool m_held = false;
};

}  // namespace

TransferResult CorvelleRepeater::runOperation(const QString& notConnectedText, EventPass pass,
                                              const std::function<TransferResult()>& body,
                                              const QString& successText, Needs needs)
{
    if (m_bOperationRunning || !canRun(needs, notConnectedText))
        return TransferResult::failure();
    m_bOperationRunning = true;
    TransferResult result = TransferResult::failure();
    // Disabling the control that started the operation moves the focus on;
    // it comes back when the controls are enabled again.
    const QPointer<QWidget> starter = QApplication::focusWidget();
    const QString name = operationName(sender());
    qCInfo(lcOperation).noquote() << name << "started";
    {
        ScopedDisable lock{ui.m_pushButtonRead,       ui.m_pushButtonWrite,        ui.m_pushButtonDefault,
                           ui.m_pushButtonSaveToFile, ui.m_pushButtonReadFromFile, ui.pushButton_query,
                           ui.pushButton_update,      ui.pushButton_menu,          m_pFirmwareFileButton};
        if (pass == EventPass::Run) {
            const HeldRepaint held(this);
            QCoreApplication::processEvents(QEventLoop::AllEvents, kEventPassMs);
        }
        // A removal during the pass has taken the device away.
        if (pass == EventPass::Skip || canRun(needs, notConnectedText)) {
            m_bDeferDeviceEvents = true;
            result = body();
            if (result.ok)
                qCInfo(lcOperation).noquote() << name << "done";
            if (!result.ok && !result.message.isEmpty())
                showFailure(result.message);
            else if (result.ok && !successText.isEmpty())
                showInfo(successText);
        }
    }
    m_bOperationRunning = false;
    m_bDeferDeviceEvents = false;
    if (starter && starter->isEnabled() && starter->isVisible() && starter->window() == this)
        starter->setFocus(Qt::OtherFocusReason);
    for (const std::function<void()>& call : std::exchange(m_deferred, {}))
        QMetaObject::invokeMethod(
            this, [this, call] { whenIdle(call); }, Qt::QueuedConnection);
    return result;
}

void CorvelleRepeater::serveEventsWhile(const std::function<void()>& work, const std::function<void()>& tick)
{
    QTimer ticker;
    if (tick) {
        connect(&ticker, &QTimer::timeout, this, tick);
        ticker.start(kProgressTickMs);
    }
    // The worker says it has ended through an atomic flag and wakes this
    // thread's event dispatcher; nothing of it is handed between the threads
    // inside Qt, where ThreadSanitizer could not follow it.
    std::atomic<bool> done{false};
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    // A refusal to close shown meanwhile holds this loop up in its own; it
    // goes once the work has ended.
    QTimer watcher;
    connect(&watcher, &QTimer::timeout, this, [&done] {
        if (done.load(std::memory_order_acquire))
            userDialogs().dismissInformation(busyText());
    });
    watcher.start(kProgressTickMs);
    // Once done is set this frame may be gone: the thread uses nothing of it after.
    m_operationThread->start([&work, &done, dispatcher] {
        work();
        done.store(true, std::memory_order_release);
        dispatcher->wakeUp();
    });
    // Not a QEventLoop: a quit() meanwhile must not leave before the work has ended.
    while (!done.load(std::memory_order_acquire))
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void CorvelleRepeater::whenIdle(const std::function<void()>& call)
{
    if (m_bDeferDeviceEvents)
        m_deferred << call;
    else
        call();
}
