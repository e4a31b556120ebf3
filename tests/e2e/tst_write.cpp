// Writing the configuration and restoring the defaults: the requests of both
// families byte for byte, where each failure stops and what the user is told.

#include "E2e.h"

#include "session/DeviceSession.h"

using namespace e2e;

class WriteTest : public WindowTest {
    Q_OBJECT

private slots:
    void family1WholeConfiguration_data();
    void family1WholeConfiguration();
    void refusedBeforeAnyRequest_data();
    void refusedBeforeAnyRequest();
    void noFibreChannelStillSendsTheFibreRequest();
    void family1Failures_data();
    void family1Failures();
    void family2_data();
    void family2();
    void verifyListsWhatTheDeviceLost_data();
    void verifyListsWhatTheDeviceLost();
};

void WriteTest::family1WholeConfiguration_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("timing");
    QTest::newRow("write, 500K chosen") << "m_pushButtonWrite"
                                        << "00 12 00 0b";
    // Rebuilt with the defaults first, whatever was edited: 10K.
    QTest::newRow("default") << "m_pushButtonDefault"
                             << "00 1c 00 e0";
}

void WriteTest::family1WholeConfiguration()
{
    QFETCH(QString, button);
    QFETCH(QString, timing);
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    sim::DeviceState state = device.state();
    state.channels[0].timing = QByteArray::fromHex("0012002f");  // "125K"
    device.setState(state);
    const auto window = connectedWindow();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "500K");
    if (button == QLatin1String("m_pushButtonDefault")) {
        canEditor(*window, 0)
            ->appendFilterRow({1, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
        fibreSelector(*window, 0)->setCurrentIndex(2);
        routeCell(*window, 0, 2)->setOn(false);
    }
    const int before = requestCount(device);

    click(*window, button.toLatin1().constData());
    const QByteArray t = timing.toLatin1();
    const QStringList tail{report1("00 12 25 05 00 0b"), report1("00 12 27 09 00 48 88 00 00 c0"),
                           report1("00 12 11 01 00")};
    QCOMPARE(requestsHex(device, before),
             family1Channel(1, t.constData()) + family1Channel(2, t.constData()) + tail);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QCOMPARE(m_dialogs.boxes.at(0).parent.data(), window.get());
    QVERIFY(child(*window, button.toLatin1().constData())->isEnabled());
    QCOMPARE(device.state().channels[0].timing, QByteArray::fromHex(t));
    QCOMPARE(filterRowCount(*window, 0), 1);
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("1380K"));
    QVERIFY(routeCell(*window, 0, 2)->isOn());
}

void WriteTest::refusedBeforeAnyRequest_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("requests");
    QTest::newRow("15 filters on channel 1") << 1 << 0 << "channel 1: filter at most 14" << 0;
    QTest::newRow("15 filters on channel 2") << 1 << 1 << "channel 2: filter at most 14" << 0;
    QTest::newRow("rate register of 3 digits")
        << 1 << 2 << "channel 1: the bit rate register must be 8 hexadecimal digits" << 0;
    QTest::newRow("fibre rate empty") << 2 << 3 << "Fiber2: enter a baud rate from 1 to 2147483647" << 0;
}

void WriteTest::refusedBeforeAnyRequest()
{
    QFETCH(int, family);
    QFETCH(int, edit);
    sim::VirtualDevice& device = plug(family, family == 1 ? "Vantor-A2" : "Vantor-D3");
    const auto window = connectedWindow();
    if (edit < 2) {
        while (filterRowCount(*window, edit) < 15)
            canEditor(*window, edit)
                ->appendFilterRow({0, 1, QStringLiteral("00 00 00 00"), QStringLiteral("00 00 00 00")});
    } else if (edit == 2) {
        selectRate(canEditor(*window, 0), "comboBoxBautRate", "custom");
        child<QLineEdit>(*canEditor(*window, 0), "lineEditBautRate")->setText(QStringLiteral("0x123"));
    } else {
        fibreSelector(*window, 1)->setCurrentIndex(fibreSelector(*window, 1)->count() - 1);  // "custom"
        fibreCustomEdit(*window, 1)->setText(edit == 3 ? QString() : QStringLiteral("0"));
    }
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    QTEST(m_dialogs.texts().value(0), "message");
    QTEST(requestCount(device) - before, "requests");
}

void WriteTest::noFibreChannelStillSendsTheFibreRequest()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A1");
    const auto window = connectedWindow();
    const int before = requestCount(device);

    click(*window, "m_pushButtonWrite");
    const QStringList sent = requestsHex(device, before);
    QCOMPARE(sent.size(), 2 * 15 + 3);
    QCOMPARE(sent.at(30), report1("00 12 25 05 00"));
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
}

void WriteTest::family1Failures_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("message");  // empty: silence
    using F = sim::Fault;
    QTest::newRow("timing not acknowledged")
        << QByteArray("00 12 23 06 00 02") << int(F::Status) << 0x00 << "set up CANBautrate fail";
    QTest::newRow("bank not acknowledged")
        << QByteArray("00 12 24 0b 05") << int(F::Status) << 0x86 << "set CAN mask fail";
    QTest::newRow("bank not written") << QByteArray("00 12 24 0b 05") << int(F::WriteFails) << 0 << "";
    QTest::newRow("fibre not acknowledged")
        << QByteArray("00 12 25") << int(F::Status) << 0x00 << "set fiber fail";
    QTest::newRow("route not acknowledged")
        << QByteArray("00 12 27") << int(F::Status) << 0x00 << "set route fail";
    QTest::newRow("reset not written")
        << QByteArray("00 12 11") << int(F::ShortWrite) << 5 << "send reset instruct fail";
    QTest::newRow("reset answered after 3.9 s")
        << QByteArray("00 12 11") << int(F::Delay) << 3900 << "set up success";
    QTest::newRow("reset answered after 4.1 s")
        << QByteArray("00 12 11") << int(F::Delay) << 4100 << "reset fail";
    QTest::newRow("reset not acknowledged")
        << QByteArray("00 12 11") << int(F::Status) << 0x00 << "reset faild";
}

void WriteTest::family1Failures()
{
    QFETCH(QByteArray, request);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(QString, message);
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    device.injectFault(startingWith(request), sim::Fault{sim::Fault::Kind(fault), value});

    click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    // Nothing is sent after the failing request.
    QVERIFY(requestsHex(device).last().startsWith(QString::fromLatin1(request).remove(QLatin1Char(' '))));
}

void WriteTest::family2_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("edit");  // 1, 2: mode CAN or CANFD with UN-ISO and 5M; 3: no filter on channel 2
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("fault");      // the request it hits: no answer, or "07" written short
    QTest::addColumn<QStringList>("requests");  // the first ones sent
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("message");
    const QString write = QStringLiteral("m_pushButtonWrite");
    const QStringList whole{report2("01 13 04 01 10 00 01 01 00 00 07 0a 02 00 01 09 30 40 00 80 00"),
                            report2("01 13 05 01 0e 00 01 00 01 01 02"),
                            report2("01 13 04 01 10 00 02 01 00 00 07 0a 02 00 01 09 30 80 00 80 00"),
                            report2("01 13 05 01 0e 00 02 00 01 01 02"),
                            report2("01 13 06 01 10 01 00 00 00 00 01 c2 00 c0 00 00 00"),
                            report2("01 13 08 01 01")};
    QTest::newRow("whole write") << "Vantor-D1" << 0 << write << QByteArray() << whole << 6
                                 << "set up success";
    QTest::newRow("final command unanswered: success all the same")
        << "Vantor-D1" << 0 << write << QByteArray("01 13 08") << whole << 6 << "set up success";
    QTest::newRow("CAN: no FD standard, no data phase")
        << "Vantor-D3" << 1 << write << QByteArray()
        << QStringList{report2("01 13 04 01 10 00 01 00 00 00 07 0a 02 00 00 00 00 40 00 f0 00")} << 9
        << "set up success";
    QTest::newRow("CANFD: UN-ISO and 5M")
        << "Vantor-D3" << 2 << write << QByteArray()
        << QStringList{report2("01 13 04 01 10 00 01 01 01 00 07 0a 02 00 00 07 20 40 00 f0 00")} << 9
        << "set up success";
    QTest::newRow("an empty filter table on channel 2 is refused")
        << "Vantor-D3" << 3 << write << QByteArray() << QStringList() << 0
        << "channel 2: a CAN FD channel needs at least one filter row";
    // The device restores itself and answers nothing; the configuration is read back at once.
    QTest::newRow("default") << "Vantor-D3" << 0 << "m_pushButtonDefault" << QByteArray()
                             << QStringList{report2("01 13 07 01 01"), report2("01 13 04 00 10 00 01")} << 11
                             << "The factory configuration of Vantor-D3 is restored.";
    QTest::newRow("default not written")
        << "Vantor-D3" << 0 << "m_pushButtonDefault" << QByteArray("01 13 07") << QStringList() << 1
        << "set default fail";
}

void WriteTest::family2()
{
    QFETCH(QString, model);
    QFETCH(int, edit);
    QFETCH(QString, button);
    QFETCH(QByteArray, fault);
    QFETCH(QStringList, requests);
    QFETCH(QString, message);
    sim::VirtualDevice& device = plug(2, model.toLatin1().constData());
    const auto window = connectedWindow();
    CANParamWidget* editor = canEditor(*window, 0);
    if (button.contains(QLatin1String("Default")))
        selectRate(canEditor(*window, 1), "comboBoxBautRate", "250K");
    if (edit == 1 || edit == 2) {
        child<QComboBox>(*editor, "comboBoxMode")->setCurrentIndex(edit - 1);
        child<QComboBox>(*editor, "comboBoxFD")->setCurrentIndex(1);
        selectRate(editor, "comboBoxdatarate", "5M");
    } else if (edit == 3) {
        canEditor(*window, 1)->clearFilters();
    }
    if (!fault.isEmpty())
        device.injectFault(startingWith(fault),
                           fault.endsWith("07") ? sim::Fault::shortWrite(17) : sim::Fault::noAnswer());
    const int before = requestCount(device);

    click(*window, button.toLatin1().constData());
    const QStringList sent = requestsHex(device, before);
    QCOMPARE(sent.mid(0, requests.size()), requests);
    QTEST(int(sent.size()), "count");
    QCOMPARE(m_dialogs.texts(), message.isEmpty() ? QStringList() : QStringList{message});
    // The editors show the restored configuration, or the edit that was not replaced.
    if (button.contains(QLatin1String("Default")))
        QCOMPARE(child<QComboBox>(*canEditor(*window, 1), "comboBoxBautRate")->currentText() ==
                     QStringLiteral("250K"),
                 !fault.isEmpty());
    // After a complete write or restore nothing is left unwritten; after a stop the edit is.
    QCOMPARE(window->refreshChanges() == 0,
             message == QLatin1String("set up success") || message.endsWith(QLatin1String("restored.")));
}

void WriteTest::verifyListsWhatTheDeviceLost_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("row");  // the second filter row of channel 2, as the file spells it
    QTest::newRow("classic") << 1 << "Vantor-A2"
                             << "1, 0, 00 00 01 23, 00 00 07 ff";
    QTest::newRow("CAN FD") << 2 << "Vantor-D3"
                            << "0, 2, 00 00 01 23, 00 00 07 ff";
}

// The session's verify reads the device back into a second model: a filter
// row the device lost after the write is the one difference.
void WriteTest::verifyListsWhatTheDeviceLost()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    QFETCH(QString, row);
    sim::VirtualDevice& device = plug(family, model.toLatin1().constData());
    HIDDevice hid;
    const config::Shape shape = session::shapeOf(searchDevice(hid, 0));
    config::Configuration written = config::defaultConfiguration(shape);
    QVERIFY(session::readConfiguration(hid, shape, &written).ok);
    const QStringList fields = row.split(QStringLiteral(", "));
    written.channels[1].filters << can::FilterRow{fields[0].toInt(), fields[1].toInt(), fields[2], fields[3]};
    QVERIFY(session::writeConfiguration(hid, shape, written).ok);
    QVERIFY(session::verify(hid, shape, written).differences.isEmpty());

    sim::DeviceState state = device.state();
    if (family == 1)
        state.channels[1].banks[1].control = 0x02;  // no longer in use
    else
        state.channels[1].standardFilters.removeLast();
    device.setState(state);
    const session::Verification verification = session::verify(hid, shape, written);
    QVERIFY(verification.result.ok);
    QCOMPARE(verification.differences.size(), 1);
    const config::Difference& d = verification.differences.at(0);
    QCOMPARE(QStringList({d.where, d.field, d.written, d.readBack}),
             QStringList({"CAN2", "DataList[1]", row, ""}));
}

QTEST_MAIN(WriteTest)
#include "tst_write.moc"
