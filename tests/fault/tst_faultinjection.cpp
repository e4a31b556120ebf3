// Every fault at every exchange of every device operation. After each: no
// longer wait than the timeouts allow, one of the operation's own messages,
// every button usable, the editors whole (unchanged where only read), and once
// the device is back the same operation succeeds as in the clean run.

#include "FaultSupport.h"

#include <QTemporaryDir>

#include <cstdio>

using namespace e2e;
using namespace fault;

Q_DECLARE_METATYPE(fault::Operation)

namespace {

constexpr const char* kCommandButtons[] = {
    "m_pushButtonRead",         "m_pushButtonWrite", "m_pushButtonDefault", "m_pushButtonSaveToFile",
    "m_pushButtonReadFromFile", "pushButton_query",  "pushButton_update"};
constexpr const char* kOperationButtons[] = {nullptr,
                                             "m_pushButtonRead",
                                             "m_pushButtonWrite",
                                             "m_pushButtonDefault",
                                             "pushButton_query",
                                             "pushButton_update"};
constexpr int kImageBytes = 70;  // three blocks: length, 3 blocks and checksum are five exchanges

// The searches, their results and the removals raised meanwhile have all
// reached the window. An event posted while posted events are being sent
// waits for the next round, so a removal raised by the automatic read needs
// rounds of its own after the search's result.
void settle(const CorvelleRepeater& window)
{
    for (int round = 0; round < 20; ++round) {
        searchthreads::waitForAll(10000);
        QCoreApplication::sendPostedEvents();
        if (!window.isSearching() && searchthreads::running() == 0)
            break;
    }
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Family 2: channel 1 also holds a second standard-frame filter and an
// extended-frame one, so that filter lists of several answers and both kinds
// of filter write occur.
void prepare(sim::VirtualDevice& device)
{
    device.setInstantTimeouts(true);
    if (device.family() != 2)
        return;
    sim::DeviceState state = device.state();
    state.channels[0].standardFilters
        << sim::FilterRecord{2, QByteArray::fromHex("00000123"), QByteArray::fromHex("000007ff")};
    state.channels[0].extendedFilters
        << sim::FilterRecord{0, QByteArray::fromHex("00001000"), QByteArray::fromHex("00001fff")};
    device.setState(state);
}

struct Outcome {
    QStringList texts;
    QStringList problems;  // titles, buttons
    bool connected = false;
    bool unplugged = false;
    QList<QByteArray> requests;
    QStringList snapshot;
    QString shape;      // "pages fibres route rows"
    QString wholeness;  // empty: the editors are a whole set
};

// One operation on one persistent window, run again and again.
class Bench {
public:
    Bench(const OperationPlan& plan, RecordingDialogs& dialogs, const QString& image)
        : m_plan(plan), m_dialogs(dialogs), m_image(image)
    {
        sim::VirtualBus::instance().unplugAll();
        m_window = std::make_unique<CorvelleRepeater>();
        settle(*m_window);
        if (plan.operation != Operation::Connect)
            plug(nullptr, 0);
    }
    ~Bench()
    {
        sim::VirtualBus::instance().unplugAll();
        settle(*m_window);
    }

    // Runs the operation once, the fault (if any) at its nth exchange.
    void run(const InjectedFault* fault = nullptr, int n = 0)
    {
        m_dialogs.clear();
        if (m_plan.operation == Operation::Connect) {
            plug(fault, n);
            return;
        }
        m_device->clearTrace();
        if (fault)
            m_device->injectFault(sim::FaultMatch::nth(n), fault->fault, 1);
        e2e::child<QLineEdit>(*m_window, "lineEdit_file")->setText(m_image);
        e2e::click(*m_window, kOperationButtons[int(m_plan.operation)]);
        settle(*m_window);
    }

    // After a fault: the device back on the bus, or its faults cleared.
    void restore()
    {
        if (!m_device->isAttached() && m_plan.operation != Operation::Connect)
            plug(nullptr, 0);
        m_device->clearFaults();
    }

    Outcome observe() const
    {
        Outcome o;
        for (const RecordingDialogs::Box& box : m_dialogs.boxes) {
            o.texts << box.text;
            if (box.title != QLatin1String("INFO"))
                o.problems << QStringLiteral("a box titled '%1'").arg(box.title);
        }
        for (const char* name : kCommandButtons) {
            if (!e2e::child<QPushButton>(*m_window, name)->isEnabled())
                o.problems << QStringLiteral("%1 left disabled").arg(QLatin1String(name));
        }
        o.connected = m_window->isConnected();
        o.unplugged = !m_device->isAttached();
        o.requests = m_device->requests();
        qint64 budgetMs = 0;
        for (const QByteArray& r : o.requests)
            budgetMs += answerTimeoutMs(m_plan.family, r);
        if (m_device->virtualClockMs() > budgetMs)
            o.problems << QStringLiteral("waited %1 ms, the exchanges allow %2 ms")
                              .arg(m_device->virtualClockMs())
                              .arg(budgetMs);
        for (const sim::HostRead& read : m_device->reads()) {
            const int allowed = answerTimeoutMs(m_plan.family, o.requests.value(read.exchange - 1));
            if (read.waitedMs > allowed)
                o.problems << QStringLiteral("waited %1 ms after request %2, which allows %3 ms")
                                  .arg(read.waitedMs)
                                  .arg(read.exchange)
                                  .arg(allowed);
        }
        o.snapshot = editorSnapshot(*m_window);
        o.shape = editorShape(*m_window);
        o.wholeness = wholenessProblem(*m_window);
        return o;
    }

private:
    void plug(const InjectedFault* fault, int n)
    {
        sim::VirtualBus& bus = sim::VirtualBus::instance();
        bus.unplugAll();
        settle(*m_window);
        m_device = &bus.plug(m_plan.family, *models::modelByName(QString::fromLatin1(m_plan.model)));
        prepare(*m_device);
        if (fault)
            m_device->injectFault(sim::FaultMatch::nth(n), fault->fault, 1);
        settle(*m_window);  // the arrival starts the search; its result the read
    }

    const OperationPlan m_plan;
    RecordingDialogs& m_dialogs;
    const QString m_image;
    std::unique_ptr<CorvelleRepeater> m_window;
    sim::VirtualDevice* m_device = nullptr;
};

QStringList outcomeProblems(const OperationPlan& plan, const InjectedFault& fault, int n,
                            const QByteArray& request, const QStringList& before,
                            const QStringList& reference, const Outcome& o)
{
    QStringList problems = o.problems;
    if (o.requests.value(n - 1) != request)
        problems << QStringLiteral("the faulty exchange was never made");

    // The outcome: one of the operation's messages, or silence where it may be silent.
    if (o.texts.size() > 1)
        problems << QStringLiteral("several messages: %1").arg(o.texts.join(QLatin1String(" | ")));
    const QString text = o.texts.value(0);
    const bool silenceAllowed = plan.successText.isEmpty() || plan.silentFailures;
    if (text.isEmpty() ? !silenceAllowed : text != plan.successText && !plan.failureTexts.contains(text))
        problems << QStringLiteral("outcome '%1' is none of the operation's").arg(text);
    const bool exchangeFails = fault.effect == Effect::WriteFails ||
                               (fault.effect == Effect::AnswerFails && !answerIgnored(plan.family, request));
    const bool successIsDistinct = !(plan.successText.isEmpty() && plan.silentFailures);
    if (exchangeFails && successIsDistinct && text == plan.successText)
        problems << QStringLiteral("a failed exchange ended in success ('%1')").arg(text);
    if (fault.effect == Effect::InTime && text != plan.successText)
        problems << QStringLiteral("an answer in time ended in '%1'").arg(text);

    if (o.unplugged) {
        if (o.connected || o.shape != QLatin1String("0 0 0"))
            problems << QStringLiteral("the removal left the window %1 with editors %2")
                            .arg(o.connected ? "connected" : "disconnected", o.shape);
        return problems;
    }
    if (!o.wholeness.isEmpty())
        problems << QStringLiteral("half-built editors: %1").arg(o.wholeness);
    if (!o.connected && text != QLatin1String("search device fail"))
        problems << QStringLiteral("no longer connected");

    switch (plan.operation) {
        case Operation::Connect:
            break;  // built for whatever identity came, whole
        case Operation::Read:
            // Vantor-A2 and Vantor-D1: two CAN pages, one fibre, the header and 3 route rows.
            if (o.shape != QLatin1String("2 1 4"))
                problems << QStringLiteral("the read rebuilt the editors");
            break;
        case Operation::Default:
            // Family 1 rebuilds the editors with the defaults before the write.
            if (plan.family == 1) {
                if (o.snapshot != reference)
                    problems << QStringLiteral("the defaults are not shown: ") +
                                    snapshotDifference(reference, o.snapshot);
                break;
            }
            // Family 2 reads the restored configuration back, as far as the device answers.
            if (o.shape != QLatin1String("2 1 4"))
                problems << QStringLiteral("the read-back rebuilt the editors");
            break;
        case Operation::Write:
        case Operation::Update:
        case Operation::Query: {
            // Only a query that succeeded may change what is shown: its labels.
            QStringList was = before;
            QStringList is = o.snapshot;
            if (plan.operation == Operation::Query && text.isEmpty()) {
                was.removeAt(1);
                is.removeAt(1);
            }
            if (is != was)
                problems << QStringLiteral("the editors changed: ") + snapshotDifference(was, is);
            break;
        }
    }
    return problems;
}

QStringList recoveryProblems(const Outcome& reference, const Outcome& o)
{
    QStringList problems;
    for (const QString& p : o.problems)
        problems << QStringLiteral("after recovery, ") + p;
    if (o.texts != reference.texts)
        problems
            << QStringLiteral("after recovery the outcome is '%1'").arg(o.texts.join(QLatin1String(" | ")));
    if (!o.connected)
        problems << QStringLiteral("after recovery not connected");
    if (o.requests != reference.requests)
        problems << QStringLiteral("after recovery the requests differ");
    if (o.snapshot != reference.snapshot)
        problems << QStringLiteral("after recovery the editors differ: ") +
                        snapshotDifference(reference.snapshot, o.snapshot);
    return problems;
}

}  // namespace

class FaultInjectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyFaultAtEveryExchange_data();
    void everyFaultAtEveryExchange();

private:
    RecordingDialogs m_dialogs;
    QTemporaryDir m_dir;
    QString m_image;
    int m_injected = 0;
    int m_survived = 0;
};

void FaultInjectionTest::initTestCase()
{
    e2e::installVirtualBus();
    e2e::useEnglish();
    m_image = fileWith(m_dir.filePath(QStringLiteral("image.bin")), QByteArray(kImageBytes, '\x5A'));
}

void FaultInjectionTest::cleanupTestCase()
{
    std::printf("fault injection: %d faults injected, %d survived\n", m_injected, m_survived);
    HIDDevice::exit();
}

void FaultInjectionTest::everyFaultAtEveryExchange_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<int>("family");
    for (int family : {1, 2}) {
        for (Operation op : {Operation::Connect, Operation::Read, Operation::Write, Operation::Default,
                             Operation::Query, Operation::Update}) {
            if (family == 2 || (op != Operation::Query && op != Operation::Update))
                QTest::newRow(qPrintable(operationPlan(op, family).name)) << op << family;
        }
    }
}

void FaultInjectionTest::everyFaultAtEveryExchange()
{
    QFETCH(Operation, operation);
    QFETCH(int, family);
    const OperationPlan plan = operationPlan(operation, family);
    Bench bench(plan, m_dialogs, m_image);

    bench.run();
    const Outcome reference = bench.observe();
    QCOMPARE(reference.texts, plan.successText.isEmpty() ? QStringList() : QStringList{plan.successText});
    QVERIFY(reference.connected);
    QVERIFY(!reference.requests.isEmpty());

    QStringList failures;
    int injected = 0;
    for (int n = 1; n <= reference.requests.size(); ++n) {
        const QByteArray request = reference.requests.at(n - 1);
        for (const InjectedFault& fault : faultsFor(family, request)) {
            const QStringList before = bench.observe().snapshot;
            bench.run(&fault, n);
            QStringList problems =
                outcomeProblems(plan, fault, n, request, before, reference.snapshot, bench.observe());
            bench.restore();
            bench.run();
            problems += recoveryProblems(reference, bench.observe());
            ++injected;
            if (!problems.isEmpty())
                failures << QStringLiteral("%1 at exchange %2 (%3): %4")
                                .arg(fault.name)
                                .arg(n)
                                .arg(QString::fromLatin1(request.left(8).toHex(' ')))
                                .arg(problems.join(QLatin1String("; ")));
        }
    }
    m_injected += injected;
    m_survived += injected - int(failures.size());
    qInfo("%s: %d exchanges, %d faults injected, %d survived", qPrintable(plan.name),
          int(reference.requests.size()), injected, injected - int(failures.size()));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.mid(0, 20).join(QLatin1Char('\n'))));
}

QTEST_MAIN(FaultInjectionTest)
#include "tst_faultinjection.moc"
