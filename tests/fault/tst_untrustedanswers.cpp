// Device answers no sound device gives, decoded into the real main window:
// an index outside its list leaves that list without a current entry, texts
// stay within their bytes, an unknown type code builds nothing and the tool
// still works; and answers left over after a failure are never taken for the
// answer to a later request.

#include "E2e.h"
#include "RecordingDialogs.h"
#include "WindowSnapshot.h"

#include "app/DevInfoWidget.h"

using sim::Fault;
using sim::FaultMatch;

namespace {

enum class Oddity { Mode7, Fd200, FilterMode200, FibreCode0xEE, FibreCode0x00, FibreRateBeyondLimit };

sim::VirtualDevice& plugOdd(int family, Oddity oddity)
{
    sim::VirtualDevice& device = e2e::plug(family, family == 1 ? "Vantor-A2" : "Vantor-D1");
    sim::DeviceState state = device.state();
    switch (oddity) {
        case Oddity::Mode7:
            state.channels[0].mode = 7;
            break;
        case Oddity::Fd200:
            state.channels[0].fdStandard = 200;
            break;
        case Oddity::FilterMode200:
            state.channels[0].standardFilters[0].kind = 200;
            break;
        case Oddity::FibreCode0xEE:
            state.fibres[0].code = 0xEE;
            break;
        case Oddity::FibreCode0x00:
            state.fibres[0].code = 0x00;
            break;
        case Oddity::FibreRateBeyondLimit:
            state.fibres[0].baud = QByteArray::fromHex("ffffffff");
            break;
    }
    device.setState(state);
    return device;
}

int currentIndexOf(const CorvelleRepeater& window, const QString& where)
{
    if (where == QLatin1String("fibre 0"))
        return e2e::fibreSelector(window, 0)->currentIndex();
    CANParamWidget* editor = e2e::canEditor(window, 0);
    if (where == QLatin1String("filter 0 mode"))
        return editor->filterRows().value(0).mode;
    return editor->findChild<QComboBox*>(where)->currentIndex();
}

}  // namespace

Q_DECLARE_METATYPE(Oddity)

class UntrustedAnswersTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { e2e::installVirtualBus(); }
    void cleanupTestCase() { HIDDevice::exit(); }
    void init() { m_dialogs.clear(); }
    void cleanup()
    {
        sim::VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
    }

    void indexOutsideItsListLeavesNoCurrentEntry_data();
    void indexOutsideItsListLeavesNoCurrentEntry();
    void fibreRateBeyondTheLimitIsRefused();
    void boardNumberWithoutTerminatingZero_data();
    void boardNumberWithoutTerminatingZero();
    void unknownTypeCodeBuildsNothingAndStillWorks_data();
    void unknownTypeCodeBuildsNothingAndStillWorks();
    void answersLeftOverAreNotTakenForTheNextRequest();

private:
    RecordingDialogs m_dialogs;
};

void UntrustedAnswersTest::indexOutsideItsListLeavesNoCurrentEntry_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<Oddity>("oddity");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("writeOutcome");
    QTest::newRow("family 2 mode index 7") << 2 << Oddity::Mode7 << "comboBoxMode"
                                           << "channel 1: choose the mode and the FD standard";
    QTest::newRow("family 2 FD index 200") << 2 << Oddity::Fd200 << "comboBoxFD"
                                           << "channel 1: choose the mode and the FD standard";
    QTest::newRow("family 2 filter mode 200") << 2 << Oddity::FilterMode200 << "filter 0 mode"
                                              << "channel 1: choose the type and mode of filter 1";
    // A fibre without a rate keeps its place in the request, with code 0.
    QTest::newRow("family 1 fibre code 0xEE") << 1 << Oddity::FibreCode0xEE << "fibre 0"
                                              << "set up success";
    QTest::newRow("family 1 fibre code 0x00") << 1 << Oddity::FibreCode0x00 << "fibre 0"
                                              << "set up success";
}

void UntrustedAnswersTest::indexOutsideItsListLeavesNoCurrentEntry()
{
    QFETCH(int, family);
    QFETCH(Oddity, oddity);
    QFETCH(QString, list);
    sim::VirtualDevice& device = plugOdd(family, oddity);
    const auto window = e2e::connectedWindow();

    QVERIFY(window->isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList());
    QCOMPARE(fault::wholenessProblem(*window), QString());
    QCOMPARE(currentIndexOf(*window, list), -1);

    // No list index the device never defined goes back to it.
    device.clearTrace();
    e2e::click(*window, "m_pushButtonWrite");
    QFETCH(QString, writeOutcome);
    QCOMPARE(m_dialogs.texts(), QStringList{writeOutcome});
    for (const QByteArray& r : device.requests()) {
        if (r.startsWith(QByteArray::fromHex("01130401")))
            QVERIFY2(quint8(r[7]) <= 1 && quint8(r[8]) <= 1, r.toHex(' ').constData());
        if (r.startsWith(QByteArray::fromHex("00122505")))
            QCOMPARE(r.mid(5, 1), QByteArray(1, '\0'));
    }
}

void UntrustedAnswersTest::fibreRateBeyondTheLimitIsRefused()
{
    plugOdd(2, Oddity::FibreRateBeyondLimit);
    const auto window = e2e::connectedWindow();
    QCOMPARE(e2e::fibreSelector(*window, 0)->currentText(), QStringLiteral("custom"));

    e2e::click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), QStringList{"Fiber1: enter a baud rate from 1 to 2147483647"});
}

void UntrustedAnswersTest::boardNumberWithoutTerminatingZero_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QByteArray>("boardNumber");
    QTest::addColumn<QString>("shown");
    QTest::newRow("family 1, 12 bytes") << 1 << QByteArray(12, 'N') << QString(12, QLatin1Char('N'));
    QTest::newRow("family 2, 36 bytes") << 2 << QByteArray(36, 'N') << QString(36, QLatin1Char('N'));
    QTest::newRow("family 2, not UTF-8") << 2 << QByteArray(36, '\xFF') << QString(36, QChar(0xFFFD));
}

void UntrustedAnswersTest::boardNumberWithoutTerminatingZero()
{
    QFETCH(int, family);
    QFETCH(QByteArray, boardNumber);
    QFETCH(QString, shown);
    e2e::plug(family, family == 1 ? "Vantor-A2" : "Vantor-D1").setBoardNumber(boardNumber);
    const auto window = e2e::connectedWindow();

    QVERIFY(window->isConnected());
    const QString model = family == 1 ? QStringLiteral("Vantor-A2") : QStringLiteral("Vantor-D1");
    QCOMPARE(e2e::child<QLineEdit>(*window, "m_pLineEditDevName")->text(), model + QLatin1Char('_') + shown);
    QCOMPARE(window->devInfoWidget()->findChild<QLineEdit*>(QStringLiteral("m_lineEditCardNum"))->text(),
             shown);
}

void UntrustedAnswersTest::unknownTypeCodeBuildsNothingAndStillWorks_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("writeRequests");
    QTest::newRow("family 1") << 1 << 3;  // fibre codes, routes, reset
    QTest::newRow("family 2") << 2 << 1;  // the final command
}

void UntrustedAnswersTest::unknownTypeCodeBuildsNothingAndStillWorks()
{
    QFETCH(int, family);
    sim::VirtualDevice& device = e2e::plug(family, family == 1 ? "Vantor-A2" : "Vantor-D1");
    device.setTypeCode(0xEE);
    const auto window = e2e::connectedWindow();

    QVERIFY(window->isConnected());
    const fault::EditorShape shape = fault::editorShape(*window);
    QCOMPARE(shape.canPages, 0);
    QCOMPARE(shape.fibres, 0);
    QCOMPARE(shape.routeRows, 1);  // the header row over no port
    QCOMPARE(m_dialogs.texts(), QStringList());

    e2e::click(*window, "m_pushButtonRead");
    device.clearTrace();
    e2e::click(*window, "m_pushButtonWrite");
    QCOMPARE(m_dialogs.texts(), (QStringList{"read success", "set up success"}));
    QTEST(device.exchangeCount(), "writeRequests");
}

// A short first answer ends the standard-frame list of channel 1 with the
// second answer still queued; the next read must not take it for the answer
// to its channel request.
void UntrustedAnswersTest::answersLeftOverAreNotTakenForTheNextRequest()
{
    sim::VirtualDevice& device = e2e::plug(2, "Vantor-D1");
    sim::DeviceState state = device.state();
    sim::FilterRecord second;
    second.kind = 1;
    second.id = QByteArray::fromHex("00000123");
    state.channels[0].standardFilters << second;
    device.setState(state);
    const auto window = e2e::connectedWindow();
    const QStringList clean = fault::editorSnapshot(*window);
    QCOMPARE(e2e::canEditor(*window, 0)->filterRows().size(), 2);

    device.injectFault(FaultMatch::requestStartingWith(QByteArray::fromHex("0113050010000100")),
                       Fault::shortAnswer(47), 1);
    e2e::click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read filter standard frame fail"});

    m_dialogs.clear();
    e2e::click(*window, "m_pushButtonRead");
    QCOMPARE(m_dialogs.texts(), QStringList{"read success"});
    QCOMPARE(fault::editorSnapshot(*window), clean);
}

QTEST_MAIN(UntrustedAnswersTest)
#include "tst_untrustedanswers.moc"
