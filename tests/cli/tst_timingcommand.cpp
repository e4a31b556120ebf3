// corvelle-cli timing run as a process: no device, the register first, the
// candidates, JSON, a register explained, and the exit codes.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

class TimingCommandTest : public QObject {
    Q_OBJECT

private slots:
    void printsTheRegisterAndExitCode_data();
    void printsTheRegisterAndExitCode();
    void jsonHoldsTheCandidates();
};

namespace {

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run runCli(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(CORVELLE_CLI), arguments);
    Run run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

void TimingCommandTest::printsTheRegisterAndExitCode_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");  // each found in the output, in this order
    QTest::newRow("classic 83.333 kbit/s")
        << QStringList{"timing", "--family", "1", "--rate", "83333", "--sample-point", "87.5"} << 0
        << QStringList{
               "classic rate 83333 bit/s, sample point 87.5 %, jump width 1 (36 MHz clock)",
               "register 0x001C001A  83.33 kbit/s · SP 87.5 %",
               "         27    750.0 ns     16   13    2   1     83333  0.000 %       87.5 %  0x001C001A"};
    QTest::newRow("CAN FD both phases")
        << QStringList{"--json",      "timing", "--family=2",          "--rate", "500k",
                       "--data-rate", "2M",     "--data-sample-point", "0.8"}
        << 0 << QStringList{"\"register\": \"0x0000670E\"", "\"register\": \"0x00001650\""};
    QTest::newRow("unreachable")
        << QStringList{"timing", "--family", "1", "--rate", "1000", "--candidates", "1"} << 1
        << QStringList{
               "not reachable within 5 %: the 36 MHz clock gives 1406 bit/s at best",
               "       1024  28444.4 ns     25   16    8   1      1406 40.600 %       68.0 %  0x007F03FF"};
    QTest::newRow("decode a listed register")
        << QStringList{"timing", "--family", "1", "--decode", "0x0012000B"} << 0
        << QStringList{"0x0012000B (classic, 36 MHz clock): 500 kbit/s · SP 66.7 %",
                       "  prescaler 12, segment 1 3, segment 2 2, jump width 1: 6 time quanta of 333.3 ns"};
    QTest::newRow("decode no timing")
        << QStringList{"timing", "--family", "2", "--decode", "00 04 07 02", "--data-decode", "FFFFFFFF"} << 1
        << QStringList{"0x00040702 (arbitration, 60 MHz clock): 1 Mbit/s · SP 75.0 %",
                       "0xFFFFFFFF (data, 60 MHz clock): not a valid timing: bits are set outside the "
                       "register's fields"};
    QTest::newRow("no family") << QStringList{"timing", "--rate", "500000"} << 2
                               << QStringList{"timing needs --family 1 (classic) or --family 2 (CAN FD)"};
    QTest::newRow("data phase on a classic device")
        << QStringList{"timing", "--family", "1", "--rate", "500000", "--data-rate", "2M"} << 2
        << QStringList{"the data phase options are for --family 2"};
    QTest::newRow("jump width too long")
        << QStringList{"timing", "--family", "1", "--rate", "500000", "--sjw", "5"} << 2
        << QStringList{"the jump width must be 1 to 4"};
    QTest::newRow("a device option") << QStringList{"--device", "/dev/x", "timing", "--family",
                                                    "1",        "--rate", "1M"}
                                     << 2 << QStringList{"--device does not belong to \"timing\""};
}

void TimingCommandTest::printsTheRegisterAndExitCode()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    const Run run = runCli(arguments);
    QTEST(run.code, "code");
    const QString output = run.out + run.err;
    int from = 0;
    for (const QString& line : lines) {
        const int at = output.indexOf(line, from);
        QVERIFY2(at >= 0, qPrintable(line + QStringLiteral("\n--- in ---\n") + output));
        from = at + line.size();
    }
}

void TimingCommandTest::jsonHoldsTheCandidates()
{
    const Run run = runCli({"timing", "--family", "1", "--rate", "500000", "--json"});
    QCOMPARE(run.code, 0);
    const QJsonObject classic =
        QJsonDocument::fromJson(run.out.toUtf8()).object().value("classic").toObject();
    QCOMPARE(classic.value("register").toString(), QStringLiteral("0x00050008"));
    QCOMPARE(classic.value("wantedSamplePoint").toDouble(), 87.5);
    const QJsonArray candidates = classic.value("candidates").toArray();
    QCOMPARE(candidates.size(), 10);
    const QJsonObject best = candidates.first().toObject();
    QCOMPARE(best.value("prescaler").toInt(), 9);
    QCOMPARE(best.value("segment1").toInt(), 6);
    QCOMPARE(best.value("segment2").toInt(), 1);
    QCOMPARE(best.value("bitRate").toInt(), 500000);
    QCOMPARE(best.value("samplePoint").toDouble(), 87.5);
}

QTEST_GUILESS_MAIN(TimingCommandTest)
#include "tst_timingcommand.moc"
