// Reading the configuration end to end: what each failure leaves in the
// editors and tells the user, and the family-2 filter answers.

#include "TransferTests.h"
#include "WindowTest.h"

using namespace e2e;

class ReadTest : public WindowTest {
    Q_OBJECT

private slots:
    void notConnectedChangesNothing();
    void timingStatusStopsTheRead_data();
    void timingStatusStopsTheRead();
    void missingBankAnswerEndsSilently();
    void noFibreChannelStillReadsTheRoutes();
    void customTimingShowsItsBytes();
    void family2FilterAnswers_data();
    void family2FilterAnswers();
    void family2FilterListThatNeverEnds_data();
    void family2FilterListThatNeverEnds();
    void failureMessages_data();
    void failureMessages();
};

namespace {

sim::FilterRecord record(quint8 mode, const char* id, const char* second)
{
    sim::FilterRecord r;
    r.kind = mode;
    r.id = QByteArray::fromHex(id);
    r.second = QByteArray::fromHex(second);
    return r;
}

// The answers read since the last request, from the device's trace.
int answersSinceLastRequest(const sim::VirtualDevice& device)
{
    int answers = 0;
    for (const QString& line : device.trace()) {
        if (line.startsWith(QLatin1String("> ")))
            answers = 0;
        else if (line.startsWith(QLatin1String("< ")))
            ++answers;
    }
    return answers;
}

}  // namespace

void ReadTest::notConnectedChangesNothing()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    canEditor(*window, 0)
        ->appendFilterRow({1, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    // A search that fails after a connection leaves the editors but not the connection.
    device.injectFault(sim::FaultMatch::command(0x12, 0x15), sim::Fault::noAnswer());
    emit window->deviceChanged(1, 1);
    settle();
    m_dialogs.clear();
    const int before = requestCount(device);

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
    QCOMPARE(requestCount(device), before);
    QCOMPARE(filterRowCount(*window, 0), 2);
    QCOMPARE(filterRowCount(*window, 1), 1);
}

void ReadTest::timingStatusStopsTheRead_data()
{
    QTest::addColumn<QByteArray>("timingRequest");
    QTest::addColumn<int>("rowsOfChannel1");
    QTest::addColumn<int>("rowsOfChannel2");
    QTest::addColumn<int>("requests");
    // Every filter table is emptied before the first exchange.
    QTest::newRow("channel 1") << QByteArray("00 12 a4 01 01") << 0 << 0 << 1;
    QTest::newRow("channel 2") << QByteArray("00 12 a4 01 02") << 1 << 0 << 16;
}

void ReadTest::timingStatusStopsTheRead()
{
    QFETCH(QByteArray, timingRequest);
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    device.injectFault(startingWith(timingRequest), sim::Fault::status(0x81));
    const int before = requestCount(device);

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read CANBautrate fail"});
    QTEST(filterRowCount(*window, 0), "rowsOfChannel1");
    QTEST(filterRowCount(*window, 1), "rowsOfChannel2");
    QTEST(int(requestsSince(device, before).size()), "requests");  // nothing after the timing request
}

void ReadTest::missingBankAnswerEndsSilently()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    device.injectFault(startingWith("00 12 a5 02 01 05"), sim::Fault::noAnswer());

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList());
    QVERIFY(child<QPushButton>(*window, "m_pushButtonRead")->isEnabled());
    QCOMPARE(requestsHex(device).last(), report1("00 12 a5 02 01 05"));
    QCOMPARE(filterRowCount(*window, 0), 0);
}

void ReadTest::noFibreChannelStillReadsTheRoutes()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A1");
    const auto window = connectedWindow();
    const QStringList connection = requestsHex(device);
    QVERIFY(!anyRequestStartsWith(connection, "00 12 26"));
    QCOMPARE(connection.last(), report1("00 12 28 01 00 0d"));

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QVERIFY(!anyRequestStartsWith(requestsHex(device), "00 12 26"));
}

void ReadTest::customTimingShowsItsBytes()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    sim::DeviceState state = device.state();
    state.channels[1].timing = QByteArray::fromHex("00ABCDEF");
    device.setState(state);
    const auto window = connectedWindow();
    CANParamWidget* editor = canEditor(*window, 1);
    QCOMPARE(editorChild<QComboBox>(editor, "comboBoxBautRate")->currentIndex(), 16);
    QCOMPARE(editorChild<QLineEdit>(editor, "lineEditBautRate")->text(), QStringLiteral("0x00abcdef"));
}

void ReadTest::family2FilterAnswers_data()
{
    QTest::addColumn<int>("standard");
    QTest::addColumn<int>("extended");
    QTest::newRow("none of either kind") << 0 << 0;
    QTest::newRow("three standard, one request") << 3 << 0;
    QTest::newRow("two extended") << 0 << 2;
    QTest::newRow("both kinds, standard first") << 2 << 1;
}

void ReadTest::family2FilterAnswers()
{
    QFETCH(int, standard);
    QFETCH(int, extended);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    sim::DeviceState state = device.state();
    sim::ChannelState& channel = state.channels[0];
    channel.standardFilters.clear();
    for (int i = 0; i < standard; ++i)
        channel.standardFilters << record(0, "00000100", "000007f0");
    for (int i = 0; i < extended; ++i)
        channel.extendedFilters << record(2, "12345678", "1fffffff");
    device.setState(state);
    const auto window = connectedWindow();

    const QVector<can::FilterRow> rows = canEditor(*window, 0)->filterRows();
    QCOMPARE(rows.size(), standard + extended);
    for (int i = 0; i < rows.size(); ++i) {
        const can::FilterRow expected =
            i < standard ? can::FilterRow{0, 0, QStringLiteral("00 00 01 00"), QStringLiteral("00 00 07 f0")}
                         : can::FilterRow{1, 2, QStringLiteral("12 34 56 78"), QStringLiteral("1f ff ff ff")};
        QCOMPARE(rows[i], expected);
    }
    // One request per frame kind, however many answers follow it.
    int filterRequests = 0;
    for (const QString& r : requestsHex(device))
        filterRequests += r.startsWith(QLatin1String("01130500100001"));
    QCOMPARE(filterRequests, 2);
    QCOMPARE(m_dialogs.texts(), QStringList());
}

void ReadTest::family2FilterListThatNeverEnds_data()
{
    QTest::addColumn<QByteArray>("filterRequest");
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("message");
    QTest::newRow("standard frames") << QByteArray("01 13 05 00 10 00 01 00") << 128
                                     << "read filter standard frame fail";
    QTest::newRow("extended frames") << QByteArray("01 13 05 00 10 00 01 01") << 64
                                     << "read filter extended frame fail";
}

void ReadTest::family2FilterListThatNeverEnds()
{
    QFETCH(QByteArray, filterRequest);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    sim::DeviceState state = device.state();
    // Record 1 of 2 of each kind, coming again and again.
    state.channels[0].standardFilters = {record(2, "00000000", "00000000"),
                                         record(2, "00000000", "00000000")};
    state.channels[0].extendedFilters = state.channels[0].standardFilters;
    device.setState(state);
    device.injectFault(startingWith(filterRequest), sim::Fault::endless());
    const auto window = connectedWindow();

    QFETCH(QString, message);
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QTEST(answersSinceLastRequest(device), "answers");
}

void ReadTest::failureMessages_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("message");
    const int noAnswer = sim::Fault::NoAnswer;
    const int writeFails = sim::Fault::WriteFails;
    QTest::newRow("1: timing unanswered")
        << 1 << QByteArray("00 12 a4 01 02") << noAnswer << "read CANBautrate fail";
    QTest::newRow("1: bank not written")
        << 1 << QByteArray("00 12 a5 02 02 03") << writeFails << "read mask data fail";
    QTest::newRow("1: fibre unanswered") << 1 << QByteArray("00 12 26") << noAnswer << "read fiber data fail";
    QTest::newRow("1: route unanswered") << 1 << QByteArray("00 12 28") << noAnswer << "read route data fail";
    QTest::newRow("2: channel unanswered")
        << 2 << QByteArray("01 13 04 00 10 00 02") << noAnswer << "read CANBautrate fail";
    QTest::newRow("2: standard frames unanswered")
        << 2 << QByteArray("01 13 05 00 10 00 02 00") << noAnswer << "read filter standard frame fail";
    QTest::newRow("2: extended frames not written")
        << 2 << QByteArray("01 13 05 00 10 00 01 01") << writeFails << "read filter extended frame fail";
    QTest::newRow("2: fibre 3 unanswered")
        << 2 << QByteArray("01 13 06 00 10 03") << noAnswer << "read fiber data fail";
}

void ReadTest::failureMessages()
{
    QFETCH(int, family);
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    sim::VirtualDevice& device = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    device.injectFault(startingWith(request), sim::Fault{sim::Fault::Kind(fault), 0});

    click(*window, "m_pushButtonRead");
    QFETCH(QString, message);
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QVERIFY(child<QPushButton>(*window, "m_pushButtonRead")->isEnabled());
}

QTEST_MAIN(ReadTest)
#include "tst_read.moc"
