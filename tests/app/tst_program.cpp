// The program itself: its version, and started on the virtual device.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class ProgramTest : public QObject {
    Q_OBJECT

private slots:
    void simulate_data();
    void simulate();
};

void ProgramTest::simulate_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("firstRequest");  // empty: the program exits, with 2 on an error
    QTest::addColumn<QString>("output");        // of the exit: the version, or a word of the error
    const QString family1 = "> 00 12 15 01" + QStringLiteral(" 00").repeated(13);
    const QString family2 = "> 01 13 01 00 27" + QStringLiteral(" 00").repeated(43);
    QTest::newRow("version") << QStringList{"--version"} << ""
                             << "corvelle-repeater 2.0.0.1\n";
    QTest::newRow("1:Vantor-B8") << QStringList{"--simulate", "1:Vantor-B8"} << family1 << "";
    QTest::newRow("model only") << QStringList{"--simulate", "Vantor-D5"} << family2 << "";
    QTest::newRow("plain --simulate") << QStringList{"--simulate"} << family2 << "";
    QTest::newRow("unknown model") << QStringList{"--simulate", "2:Vantor-Z9"} << ""
                                   << "Vantor-Z9";
    QTest::newRow("unknown family") << QStringList{"--simulate", "3:Vantor-D3"} << ""
                                    << "family";
    QTest::newRow("family not a number") << QStringList{"--simulate", "x:Vantor-A2"} << ""
                                         << "family";
}

void ProgramTest::simulate()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, firstRequest);
    QFETCH(QString, output);
    QTemporaryDir dir;
    const QString tracePath = dir.filePath(QStringLiteral("trace.txt"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), tracePath);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(CORVELLE_EXE), arguments);
    if (firstRequest.isEmpty()) {
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        const bool version = arguments == QStringList{"--version"};
        QCOMPARE(program.exitCode(), version ? 0 : 2);
        QVERIFY(
            QString::fromLocal8Bit(version ? program.readAllStandardOutput() : program.readAllStandardError())
                .contains(output));
        return;
    }
    // The program runs until it is ended; the trace starts with its first request.
    QVERIFY(program.waitForStarted());
    auto firstLine = [&tracePath] {
        QFile file(tracePath);
        return file.open(QIODevice::ReadOnly | QIODevice::Text) ? QString::fromUtf8(file.readLine()).trimmed()
                                                                : QString();
    };
    QTRY_VERIFY_WITH_TIMEOUT(!firstLine().isEmpty(), 30000);
    program.kill();
    program.waitForFinished();
    QCOMPARE(firstLine(), firstRequest);
}

QTEST_MAIN(ProgramTest)
#include "tst_program.moc"
