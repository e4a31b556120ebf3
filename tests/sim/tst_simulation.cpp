#include "device/HidBackend.h"
#include "sim/Simulation.h"
#include "sim/VirtualBus.h"

#include <QtTest>

class TestSimulation : public QObject {
    Q_OBJECT
private slots:
    void parseSimulateOption_data();
    void parseSimulateOption();
    void startSimulationPlugsTheChosenDevice();
};

void TestSimulation::parseSimulateOption_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");  // or a word of the message
    QTest::newRow("empty") << "" << true << 2 << "Vantor-D3";
    QTest::newRow("family and model") << "1:Vantor-A2" << true << 1 << "Vantor-A2";
    QTest::newRow("model only") << "Vantor-D5" << true << 2 << "Vantor-D5";
    QTest::newRow("unknown family") << "3:Vantor-A2" << false << 0 << "family";
    QTest::newRow("family not a number") << "x:Vantor-A2" << false << 0 << "family";
    QTest::newRow("unknown model") << "2:Vantor-Z9" << false << 0 << "Vantor-Z9";
}

void TestSimulation::parseSimulateOption()
{
    QFETCH(QString, value);
    QFETCH(bool, ok);
    QFETCH(QString, model);
    sim::SimulateChoice choice;
    QString error;
    QCOMPARE(sim::parseSimulateOption(value, &choice, &error), ok);
    if (ok) {
        QTEST(choice.family, "family");
        QCOMPARE(QString::fromLatin1(choice.model->name), model);
    } else {
        QVERIFY2(error.contains(model), qPrintable(error));
    }
}

void TestSimulation::startSimulationPlugsTheChosenDevice()
{
    sim::SimulateChoice choice;
    QVERIFY(sim::parseSimulateOption("1:Vantor-B8", &choice, nullptr));
    sim::startSimulation(choice);
    QCOMPARE(&hidBackend(), &sim::VirtualBus::instance().backend());
    QVERIFY(sim::VirtualBus::instance().device(1));
    QCOMPARE(QString::fromLatin1(sim::VirtualBus::instance().device(1)->model().name),
             QStringLiteral("Vantor-B8"));
    QCOMPARE(hidBackend().count(0x0483, 0x6901), 1);
}

QTEST_GUILESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
