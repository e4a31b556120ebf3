#include "device/DeviceSearch.h"
#include "device/HidBackend.h"
#include "sim/Simulation.h"
#include "sim/VirtualBus.h"

#include <QTemporaryDir>
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
    QTemporaryDir dir;
    const QString file = dir.filePath("trace.txt");
    qputenv("CORVELLE_SIM_TRACE", file.toLocal8Bit());
    sim::SimulateChoice choice;
    QVERIFY(sim::parseSimulateOption("1:Vantor-B8", &choice, nullptr));
    sim::startSimulation(choice);
    QCOMPARE(&hidBackend(), &sim::VirtualBus::instance().backend());
    sim::VirtualDevice* dev = sim::VirtualBus::instance().device(1);
    QVERIFY(dev);
    QCOMPARE(QString::fromLatin1(dev->model().name), QStringLiteral("Vantor-B8"));

    HIDDevice hid;
    QCOMPARE(searchDevice(hid, 0).identity.nCAN, 4);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly | QIODevice::Text));
    // The file starts with the program's first request, not with the plug event.
    QCOMPARE(QString::fromUtf8(f.readLine()).trimmed(), "> 00 12 15 01" + QString(" 00").repeated(13));
}

QTEST_GUILESS_MAIN(TestSimulation)
#include "tst_simulation.moc"
