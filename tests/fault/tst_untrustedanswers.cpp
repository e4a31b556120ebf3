// An index outside its list, as no sound device answers, leaves that list
// without a current entry and never goes back to the device.

#include "FaultSupport.h"

using namespace e2e;

class UntrustedAnswersTest : public WindowTest {
    Q_OBJECT

private slots:
    void indexOutsideItsListLeavesNoCurrentEntry_data();
    void indexOutsideItsListLeavesNoCurrentEntry();
};

void UntrustedAnswersTest::indexOutsideItsListLeavesNoCurrentEntry_data()
{
    QTest::addColumn<int>("oddity");
    QTest::addColumn<QString>("writeOutcome");
    QTest::newRow("family 2 mode index 7") << 0 << "channel 1: choose the mode and the FD standard";
    QTest::newRow("family 2 FD index 200") << 1 << "channel 1: choose the mode and the FD standard";
    QTest::newRow("family 2 filter mode 200") << 2 << "channel 1: choose the type and mode of filter 1";
    // A fibre without a rate keeps its place in the request, with code 0.
    QTest::newRow("family 1 fibre code 0xEE") << 3 << "set up success";
    QTest::newRow("family 1 fibre code 0x00") << 4 << "set up success";
}

void UntrustedAnswersTest::indexOutsideItsListLeavesNoCurrentEntry()
{
    QFETCH(int, oddity);
    sim::VirtualDevice& device = plug(oddity < 3 ? 2 : 1, oddity < 3 ? "Vantor-D1" : "Vantor-A2");
    sim::DeviceState state = device.state();
    if (oddity == 0)
        state.channels[0].mode = 7;
    else if (oddity == 1)
        state.channels[0].fdStandard = 200;
    else if (oddity == 2)
        state.channels[0].standardFilters[0].kind = 200;
    else
        state.fibres[0].code = oddity == 3 ? 0xEE : 0x00;
    device.setState(state);
    const auto window = connectedWindow();
    QVERIFY(window->isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(wholenessProblem(*window), QString());
    const CANParamWidget* editor = canEditor(*window, 0);
    const int index[] = {child<QComboBox>(*editor, "comboBoxMode")->currentIndex(),
                         child<QComboBox>(*editor, "comboBoxFD")->currentIndex(),
                         editor->filterRows().value(0).mode, fibreSelector(*window, 0)->currentIndex(),
                         fibreSelector(*window, 0)->currentIndex()};
    QCOMPARE(index[oddity], -1);

    device.clearTrace();
    click(*window, "m_pushButtonWrite");
    QTEST(m_dialogs.texts().value(0), "writeOutcome");
    for (const QByteArray& r : device.requests()) {
        if (r.startsWith(QByteArray::fromHex("00122505")))
            QCOMPARE(r.toHex(' ').mid(15, 2), QByteArray("00"));
    }
}

QTEST_MAIN(UntrustedAnswersTest)
#include "tst_untrustedanswers.moc"
