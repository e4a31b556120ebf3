// Restoring defaults end to end: a classic device is sent a rebuilt default
// configuration, a CAN FD device restores itself on one request.

#include "TransferTests.h"
#include "WindowTest.h"

using namespace e2e;

class DefaultsTest : public WindowTest {
    Q_OBJECT

private slots:
    void family1SendsTheDefaultConfiguration();
    void family1RebuildsAlsoWhenNotConnected();
    void family2SendsOneRequest();
    void family2RequestNotWritten();
};

namespace {

QStringList family1DefaultChannel(int c)
{
    QStringList r{report1(QStringLiteral("00 12 23 06 00 %1 00 1c 00 e0").arg(hex2(c)))};  // "10K"
    r << report1(QStringLiteral("00 12 24 0b 00 %1 01").arg(hex2(0x80 | c)));
    for (int b = 1; b < 14; ++b)
        r << report1(QStringLiteral("00 12 24 0b %1 %2").arg(hex2(b), hex2(c)));
    return r;
}

}  // namespace

void DefaultsTest::family1SendsTheDefaultConfiguration()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    canEditor(*window, 0)
        ->appendFilterRow({1, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    selectRate(canEditor(*window, 1), "comboBoxBautRate", "250K");
    fibreSelector(*window, 0)->setCurrentIndex(2);
    routeCell(*window, 0, 2)->setOn(false);
    const int before = requestCount(device);

    click(*window, "m_pushButtonDefault");
    const QStringList expected =
        family1DefaultChannel(1) + family1DefaultChannel(2) +
        QStringList{report1("00 12 25 05 00 0b"), report1("00 12 27 09 00 48 88 00 00 c0"),
                    report1("00 12 11 01 00")};
    QCOMPARE(requestsSince(device, before), expected);
    QCOMPARE(m_dialogs.texts(), QStringList{"set up success"});
    for (int c = 0; c < 2; ++c) {
        QCOMPARE(filterRowCount(*window, c), 1);
        QCOMPARE(editorChild<QComboBox>(canEditor(*window, c), "comboBoxBautRate")->currentText(),
                 QStringLiteral("10K"));
    }
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("1380K"));
    QVERIFY(routeCell(*window, 0, 2)->isOn());
}

void DefaultsTest::family1RebuildsAlsoWhenNotConnected()
{
    sim::VirtualDevice& device = plug(1, "Vantor-A2");
    const auto window = connectedWindow();
    canEditor(*window, 0)
        ->appendFilterRow({1, 0, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    device.injectFault(sim::FaultMatch::command(0x12, 0x15), sim::Fault::noAnswer());
    emit window->deviceChanged(1, 1);
    settle();
    m_dialogs.clear();
    const int before = requestCount(device);

    click(*window, "m_pushButtonDefault");
    QCOMPARE(m_dialogs.texts(), QStringList{"device not connect"});
    QCOMPARE(requestCount(device), before);
    QCOMPARE(child<QTabWidget>(*window, "tabWidget")->count(), 2);
    QCOMPARE(filterRowCount(*window, 0), 1);
    QCOMPARE(fibreSelector(*window, 0)->currentText(), QStringLiteral("1380K"));
}

void DefaultsTest::family2SendsOneRequest()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    selectRate(canEditor(*window, 0), "comboBoxBautRate", "250K");
    canEditor(*window, 1)
        ->appendFilterRow({1, 2, QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
    const int before = requestCount(device);

    click(*window, "m_pushButtonDefault");
    QCOMPARE(requestsSince(device, before), QStringList{report2("01 13 07 01 01")});
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(editorChild<QComboBox>(canEditor(*window, 0), "comboBoxBautRate")->currentText(),
             QStringLiteral("250K"));
    QCOMPARE(filterRowCount(*window, 1), 2);
}

void DefaultsTest::family2RequestNotWritten()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    device.injectFault(sim::FaultMatch::command(0x13, 0x07), sim::Fault::shortWrite(17));

    click(*window, "m_pushButtonDefault");
    QCOMPARE(m_dialogs.texts(), QStringList{"set default fail"});
}

QTEST_MAIN(DefaultsTest)
#include "tst_defaults.moc"
