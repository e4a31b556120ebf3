// Reading the configuration: where each failure stops and what it tells, and
// the family-2 filter lists.

#include "E2e.h"

using namespace e2e;

class ReadTest : public WindowTest {
    Q_OBJECT

private slots:
    void failureMessages_data();
    void failureMessages();
    void noFibreChannelStillReadsTheRoutes();
    void aReadFailingHalfWayShowsWhatCameBefore();
    void family2FilterAnswers_data();
    void family2FilterAnswers();
    void family2FilterListThatNeverEnds_data();
    void family2FilterListThatNeverEnds();
};

namespace {

sim::FilterRecord record(quint8 mode, const char* id, const char* second)
{
    return {mode, QByteArray::fromHex(id), QByteArray::fromHex(second)};
}

}  // namespace

void ReadTest::failureMessages_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("rowsOfChannel2");  // -1: not checked
    const int noAnswer = sim::Fault::NoAnswer, writeFails = sim::Fault::WriteFails,
              status = sim::Fault::Status;
    // Every filter table is emptied before the first exchange.
    QTest::newRow("1: timing of channel 1 not 0x86")
        << 1 << QByteArray("00 12 a4 01 01") << status << 0x81 << "read CANBautrate fail" << 0;
    QTest::newRow("1: bank not written")
        << 1 << QByteArray("00 12 a5 02 02 03") << writeFails << 0 << "read mask data fail" << -1;
    QTest::newRow("1: bank unanswered: silence")
        << 1 << QByteArray("00 12 a5 02 01 05") << noAnswer << 0 << "" << 0;
    QTest::newRow("1: fibre unanswered")
        << 1 << QByteArray("00 12 26") << noAnswer << 0 << "read fiber data fail" << 1;
    QTest::newRow("1: route unanswered")
        << 1 << QByteArray("00 12 28") << noAnswer << 0 << "read route data fail" << 1;
    QTest::newRow("2: standard frames unanswered") << 2 << QByteArray("01 13 05 00 10 00 02 00") << noAnswer
                                                   << 0 << "read filter standard frame fail" << -1;
    QTest::newRow("2: extended frames not written")
        << 2 << QByteArray("01 13 05 00 10 00 01 01") << writeFails << 0 << "read filter extended frame fail"
        << -1;
    QTest::newRow("2: fibre 3 unanswered")
        << 2 << QByteArray("01 13 06 00 10 03") << noAnswer << 0 << "read fiber data fail" << 1;
}

void ReadTest::failureMessages()
{
    QFETCH(int, family);
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(QString, message);
    QFETCH(int, rowsOfChannel2);
    sim::VirtualDevice& device = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    device.injectFault(startingWith(request), sim::Fault{sim::Fault::Kind(fault), value});

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(child(*window, "m_pushButtonRead")->isEnabled());
    // Nothing is sent after the failing request.
    QVERIFY(requestsHex(device).last().startsWith(QString::fromLatin1(request).remove(QLatin1Char(' '))));
    if (rowsOfChannel2 >= 0)
        QCOMPARE(filterRowCount(*window, 1), rowsOfChannel2);
}

// Channel 1 came before the fault and shows the device's values; channel 2
// keeps its rate and, as every read starts by clearing them, no filter row.
void ReadTest::aReadFailingHalfWayShowsWhatCameBefore()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    sim::DeviceState state = device.state();
    state.channels[0].timing = QByteArray::fromHex("00040702");
    device.setState(state);
    const auto window = connectedWindow();
    canEditor(*window, 0)
        ->setChannelConfig({QStringLiteral("0x00070A02"), QStringLiteral("0x00010930"), 0, 0, {}});
    selectRate(canEditor(*window, 1), "comboBoxBautRate", "250K");
    device.injectFault(startingWith("01 13 04 00 10 00 02"), sim::Fault::noAnswer());

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read CANBautrate fail"});
    QCOMPARE(child<QLineEdit>(*canEditor(*window, 0), "lineEditBautRate")->text(),
             QStringLiteral("0x00040702"));
    QCOMPARE(filterRowCount(*window, 0), 1);
    QCOMPARE(child<QComboBox>(*canEditor(*window, 1), "comboBoxBautRate")->currentText(),
             QStringLiteral("250K"));
    QCOMPARE(filterRowCount(*window, 1), 0);
}

void ReadTest::noFibreChannelStillReadsTheRoutes()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A1");
    const auto window = connectedWindow();
    QCOMPARE(requestsHex(device).last(), report1("00 12 28 01 00 0d"));

    click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QCOMPARE(countStartingWith(requestsHex(device), "00 12 26"), 0);
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
    state.channels[0].standardFilters =
        QVector<sim::FilterRecord>(standard, record(0, "00000100", "000007f0"));
    state.channels[0].extendedFilters =
        QVector<sim::FilterRecord>(extended, record(2, "12345678", "1fffffff"));
    device.setState(state);
    const auto window = connectedWindow();

    QVector<can::FilterRow> expected(standard,
                                     {0, 0, QStringLiteral("00 00 01 00"), QStringLiteral("00 00 07 f0")});
    expected += QVector<can::FilterRow>(extended,
                                        {1, 2, QStringLiteral("12 34 56 78"), QStringLiteral("1f ff ff ff")});
    QCOMPARE(canEditor(*window, 0)->filterRows(), expected);
    // One request per frame kind, however many answers follow it.
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 05 00 10 00 01 00"), 1);
    QCOMPARE(countStartingWith(requestsHex(device), "01 13 05 00 10 00 01 01"), 1);
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
    int answers = 0;  // read since the last request
    for (const QString& line : device.trace())
        answers = line.startsWith(QLatin1String("> "))
                      ? 0
                      : answers + (line.startsWith(QLatin1String("< ")) ? 1 : 0);
    QTEST(answers, "answers");
}

QTEST_MAIN(ReadTest)
#include "tst_read.moc"
