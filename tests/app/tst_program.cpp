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
    void simulatedDeviceIsIdentified_data();
    void simulatedDeviceIsIdentified();
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

static QString zeros(int count)
{
    return QStringLiteral(" 00").repeated(count);
}

void ProgramTest::simulatedDeviceIsIdentified_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QStringList>("requests");  // the identity exchanges, in order
    QTest::newRow("1:Vantor-A2") << "1:Vantor-A2"
                                 << QStringList{"> 00 12 15 01" + zeros(13), "> 00 12 14 01" + zeros(13),
                                                "> 00 12 01 01" + zeros(13), "> 00 12 12 01" + zeros(13)};
    QTest::newRow("2:Vantor-D5") << "2:Vantor-D5" << QStringList{"> 01 13 01 00 27" + zeros(43)};
}

void ProgramTest::simulatedDeviceIsIdentified()
{
    QFETCH(QString, option);
    QFETCH(QStringList, requests);
    QTemporaryDir dir;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), tracePath);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CORVELLE_EXE), {"--simulate", option});
    QVERIFY(program.waitForStarted());

    auto sentLines = [&tracePath] {
        QFile file(tracePath);
        file.open(QIODevice::ReadOnly | QIODevice::Text);
        QStringList lines;
        for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
            if (line.startsWith(QLatin1String("> ")))
                lines << line;
        return lines;
    };
    // The program runs until it is ended; wait for its search to be traced.
    QTRY_VERIFY_WITH_TIMEOUT(sentLines().size() >= requests.size(), 30000);
    program.kill();
    program.waitForFinished();
    QCOMPARE(sentLines().mid(0, requests.size()), requests);
}

QTEST_MAIN(ProgramTest)
#include "tst_program.moc"
