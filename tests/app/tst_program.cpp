#include "app/CommandLine.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void version();
    void unknownModelExitsWithTwo_data();
    void unknownModelExitsWithTwo();
};

void ProgramTest::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("simulate");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("latency");
    QTest::newRow("nothing") << QStringList{} << int(CommandLine::Run) << false << "" << 0;
    QTest::newRow("plain --simulate")
        << QStringList{"--simulate"} << int(CommandLine::Run) << true << "" << 0;
    QTest::newRow("--simulate X") << QStringList{"--simulate", "1:Vantor-A2"} << int(CommandLine::Run) << true
                                  << "1:Vantor-A2" << 0;
    QTest::newRow("--simulate=X") << QStringList{"--simulate=Vantor-D5"} << int(CommandLine::Run) << true
                                  << "Vantor-D5" << 0;
    QTest::newRow("--simulate then an option")
        << QStringList{"--simulate", "--sim-latency", "20"} << int(CommandLine::Run) << true << "" << 20;
    QTest::newRow("--sim-latency=5") << QStringList{"--sim-latency=5"} << int(CommandLine::Run) << false << ""
                                     << 5;
    QTest::newRow("latency not a number")
        << QStringList{"--sim-latency", "soon"} << int(CommandLine::Fail) << false << "" << 0;
    QTest::newRow("latency missing") << QStringList{"--sim-latency"} << int(CommandLine::Fail) << false << ""
                                     << 0;
    QTest::newRow("--version") << QStringList{"--simulate", "--version"} << int(CommandLine::ShowVersion)
                               << true << "" << 0;
    QTest::newRow("--help") << QStringList{"--help"} << int(CommandLine::ShowHelp) << false << "" << 0;
    QTest::newRow("Qt's own options pass")
        << QStringList{"-platform", "offscreen"} << int(CommandLine::Run) << false << "" << 0;
}

void ProgramTest::commandLine()
{
    QFETCH(QStringList, arguments);
    const CommandLine line = parseCommandLine(QStringList{"corvelle-repeater"} + arguments);
    QTEST(int(line.action), "action");
    QTEST(line.simulate, "simulate");
    QTEST(line.simulateValue, "value");
    if (line.action != CommandLine::Fail)
        QTEST(line.simLatencyMs, "latency");
}

void ProgramTest::version()
{
    QProcess program;
    program.start(QStringLiteral(CORVELLE_EXE), {"--version"});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QCOMPARE(program.readAllStandardOutput(), QByteArray("corvelle-repeater 2.0.0.1\n"));
}

void ProgramTest::unknownModelExitsWithTwo_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("unknown model") << "2:Vantor-Z9";
    QTest::newRow("unknown family") << "3:Vantor-D3";
}

void ProgramTest::unknownModelExitsWithTwo()
{
    QFETCH(QString, value);
    QProcess program;
    program.start(QStringLiteral(CORVELLE_EXE), {"--simulate", value});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(!program.readAllStandardError().trimmed().isEmpty());
}

QTEST_MAIN(ProgramTest)
#include "tst_program.moc"
