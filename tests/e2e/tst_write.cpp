// Writing the configuration end to end: the requests of both families byte
// for byte, where each failure stops and what the user is told.

#include "TransferTests.h"
#include "WindowTest.h"

using namespace e2e;

class WriteTest : public WindowTest {
    Q_OBJECT

private slots:
    void family1WorkedRoad();
    void fifteenFilterRowsStopEverything_data();
    void fifteenFilterRowsStopEverything();
    void badRateTextSendsNothing();
    void noFibreChannelStillSendsTheFibreRequest();
    void family1Failures_data();
    void family1Failures();
    void family2WholeWrite();
    void family2ModeDecidesTheDataPhase_data();
    void family2ModeDecidesTheDataPhase();
    void family2EmptyFilterTableEndsTheWrite();
    void family2FinalCommandUnanswered();
    void family2FibreWithoutRateIsRefused_data();
    void family2FibreWithoutRateIsRefused();
};

namespace {

// The timing and the 14 banks of a family-1 channel with one filter row:
// mask mode, 32 bits, ID and mask 0.
QStringList family1Channel(int c, const QString& timing)
{
    QStringList r{report1(QStringLiteral("00 12 23 06 00 %1 %2").arg(hex2(c), timing))};
    r << report1(QStringLiteral("00 12 24 0b 00 %1 01").arg(hex2(0x80 | c)));
    for (int b = 1; b < 14; ++b)
        r << report1(QStringLiteral("00 12 24 0b %1 %2").arg(hex2(b), hex2(c)));
    return r;
}

}  // namespace

void WriteTest::family1WorkedRoad()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    sim::DeviceState state = device.state();
    state.channels[0].timing = QByteArray::fromHex("0012002f");  // "125K"
    device.setState(state);
    const auto window = connectedWindow();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "500K");
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    const QStringList expected =
        family1Channel(1, "00 12 00 0b") + family1Channel(2, "00 12 00 0b") +
        QStringList{report1("00 12 25 05 00 0b"), report1("00 12 27 09 00 48 88 00 00 c0"),
                    report1("00 12 11 01 00")};
    QCOMPARE(requestsSince(device, before), expected);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QCOMPARE(m_dialogs.boxes.at(0).parent.data(), window.get());
    QCOMPARE(device.state().channels[0].timing, QByteArray::fromHex("0012000b"));
    QVERIFY(child<QPushButton>(*window, "m_pushButtonWrite")->isEnabled());
}

void WriteTest::fifteenFilterRowsStopEverything_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("requests");
    QTest::newRow("channel 1: nothing sent") << 0 << 0;
    QTest::newRow("channel 2: only channel 1 sent") << 1 << 15;
}

void WriteTest::fifteenFilterRowsStopEverything()
{
    QFETCH(int, channel);
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    CANParamWidget* editor = canEditor(*window, channel);
    while (editor->filterRows().size() < 15)
        editor->appendFilterRow({0, 1, QStringLiteral("00 00 00 00"), QStringLiteral("00 00 00 00")});
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"filter at most 14"});
    QTEST(int(requestsSince(device, before).size()), "requests");
}

void WriteTest::badRateTextSendsNothing()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    CANParamWidget* editor = canEditor(*window, 0);
    selectRate(editor, "comboBoxBautRate", "custom");
    editorChild<QLineEdit>(editor, "lineEditBautRate")->setText(QStringLiteral("0x123"));
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"channel 1: the bit rate register must be 8 hexadecimal digits"});
    QCOMPARE(requestCount(device), before);
}

void WriteTest::noFibreChannelStillSendsTheFibreRequest()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A1");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    const QStringList sent = requestsSince(device, before);
    QCOMPARE(sent.size(), 2 * 15 + 3);
    QCOMPARE(sent.at(30), report1("00 12 25 05 00"));
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
}

void WriteTest::family1Failures_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("resetTried");
    using F = sim::Fault;
    const QStringList none;
    QTest::newRow("timing not acknowledged") << QByteArray("00 12 23 06 00 02") << int(F::Status) << 0x00
                                             << QStringList{"set up CANBautrate fail"} << false;
    QTest::newRow("timing unanswered")
        << QByteArray("00 12 23 06 00 01") << int(F::NoAnswer) << 0 << none << false;
    QTest::newRow("bank not acknowledged") << QByteArray("00 12 24 0b 05") << int(F::Status) << 0x86
                                           << QStringList{"set CAN mask fail"} << false;
    QTest::newRow("bank not written")
        << QByteArray("00 12 24 0b 05") << int(F::WriteFails) << 0 << none << false;
    QTest::newRow("fibre unanswered")
        << QByteArray("00 12 25") << int(F::NoAnswer) << 0 << QStringList{"set fiber fail"} << false;
    QTest::newRow("fibre not acknowledged")
        << QByteArray("00 12 25") << int(F::Status) << 0x00 << QStringList{"set fiber fail"} << false;
    QTest::newRow("route not acknowledged")
        << QByteArray("00 12 27") << int(F::Status) << 0x00 << QStringList{"set route fail"} << false;
    QTest::newRow("route unanswered") << QByteArray("00 12 27") << int(F::NoAnswer) << 0 << none << false;
    QTest::newRow("reset not written") << QByteArray("00 12 11") << int(F::ShortWrite) << 5
                                       << QStringList{"send reset instruct fail"} << true;
    QTest::newRow("reset answered after 3 s")
        << QByteArray("00 12 11") << int(F::Delay) << 3000 << QStringList{"set up success"} << true;
    QTest::newRow("reset answered after 5 s")
        << QByteArray("00 12 11") << int(F::Delay) << 5000 << QStringList{"reset fail"} << true;
    QTest::newRow("reset not acknowledged")
        << QByteArray("00 12 11") << int(F::Status) << 0x00 << QStringList{"reset faild"} << true;
}

void WriteTest::family1Failures()
{
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    QFETCH(int, value);
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    device.injectFault(startingWith(request), sim::Fault{sim::Fault::Kind(fault), value});
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QTEST(m_dialogs.texts(), "messages");
    const QStringList sent = requestsSince(device, before);
    QTEST(sent.contains(report1("00 12 11 01 00")), "resetTried");
    // Nothing is sent after the failing request.
    if (fault != sim::Fault::Delay)
        QVERIFY(sent.last().startsWith(QString::fromLatin1(request).remove(QLatin1Char(' '))));
}

void WriteTest::family2WholeWrite()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D1");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    const QStringList expected{
        report2("01 13 04 01 10 00 01 01 00 00 07 0a 02 00 01 09 30 40 00 80 00"),
        report2("01 13 05 01 0e 00 01 00 01 01 02"),
        report2("01 13 04 01 10 00 02 01 00 00 07 0a 02 00 01 09 30 80 00 80 00"),
        report2("01 13 05 01 0e 00 02 00 01 01 02"),
        report2("01 13 06 01 10 01 00 00 00 00 01 c2 00 c0 00 00 00"),
        report2("01 13 08 01 01"),
    };
    QCOMPARE(requestsSince(device, before), expected);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
}

void WriteTest::family2ModeDecidesTheDataPhase_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("request");
    QTest::newRow("CAN: no FD standard, no data phase")
        << 0 << report2("01 13 04 01 10 00 01 00 00 00 07 0a 02 00 00 00 00 40 00 f0 00");
    QTest::newRow("CANFD: UN-ISO and 5M")
        << 1 << report2("01 13 04 01 10 00 01 01 01 00 07 0a 02 00 00 07 20 40 00 f0 00");
}

void WriteTest::family2ModeDecidesTheDataPhase()
{
    QFETCH(int, mode);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    CANParamWidget* editor = canEditor(*window, 0);
    editorChild<QComboBox>(editor, "comboBoxMode")->setCurrentIndex(mode);
    editorChild<QComboBox>(editor, "comboBoxFD")->setCurrentIndex(1);
    selectRate(editor, "comboBoxdatarate", "5M");
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QTEST(requestsSince(device, before).at(0), "request");
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
}

void WriteTest::family2EmptyFilterTableEndsTheWrite()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    canEditor(*window, 1)->clearFilters();
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList());
    const QStringList sent = requestsSince(device, before);
    QCOMPARE(sent.size(), 3);  // channel 1 and its filter, channel 2
    QVERIFY(sent.last().startsWith(QLatin1String("01130401100002")));
    QVERIFY(!anyRequestStartsWith(sent, "01 13 08"));
}

void WriteTest::family2FinalCommandUnanswered()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.injectFault(sim::FaultMatch::command(0x13, 0x08), sim::Fault::noAnswer());

    click(*window, "m_pushButtonWrite");
    QCOMPARE(requestsHex(device).last(), report2("01 13 08 01 01"));
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
}

void WriteTest::family2FibreWithoutRateIsRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("empty") << QString();
    QTest::newRow("zero") << QStringLiteral("0");
}

void WriteTest::family2FibreWithoutRateIsRefused()
{
    QFETCH(QString, typed);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    fibreSelector(*window, 1)->setCurrentIndex(fibreSelector(*window, 1)->count() - 1);  // "custom"
    fibreCustomEdit(*window, 1)->setText(typed);
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"Fiber2: enter a baud rate from 1 to 2147483647"});
    QCOMPARE(requestCount(device), before);
}

QTEST_MAIN(WriteTest)
#include "tst_write.moc"
