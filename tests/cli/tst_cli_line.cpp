// corvelle-cli on a production line, as a process against several virtual
// devices: one command on many devices at once, each new device as it is
// plugged in, a compare that writes nothing, errors as JSON under --json.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class CliLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void severalDevicesAtOnce_data();
    void severalDevicesAtOnce();
    void jsonLinesNameEachDevice();
    void eachNewTakesArrivals_data();
    void eachNewTakesArrivals();
    void compareWritesNothing_data();
    void compareWritesNothing();
    void errorsUnderJson_data();
    void errorsUnderJson();

private:
    QTemporaryDir m_dir;
};

namespace {

constexpr char kD5[] = "HID VID_34B7&PID_0101 /dev/virtual-hidraw";

struct Run {
    int code = -1;
    QString out;
    QString err;
    QStringList trace;
};

QStringList simulated(int devices, const QString& model = QStringLiteral("2:Vantor-D5"))
{
    QStringList arguments;
    for (int i = 0; i < devices; ++i)
        arguments << QStringLiteral("--simulate") << model;
    return arguments;
}

QString traceFile(const QString& dir)
{
    return dir + QStringLiteral("/trace.txt");
}

void startCli(QProcess& process, const QString& dir, const QStringList& arguments, const QString& unplugAfter)
{
    QFile::remove(traceFile(dir));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), traceFile(dir));
    environment.insert(QStringLiteral("CORVELLE_SIM_UNPLUG_AFTER"), unplugAfter);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    process.start(QStringLiteral(CORVELLE_CLI), arguments);
}

Run finished(QProcess& process, const QString& dir)
{
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    QFile trace(traceFile(dir));
    if (trace.open(QIODevice::ReadOnly))
        run.trace = QString::fromLatin1(trace.readAll()).split(QLatin1Char('\n'));
    return run;
}

Run runCli(const QString& dir, const QStringList& arguments, const QString& unplugAfter = QString())
{
    QProcess process;
    startCli(process, dir, arguments, unplugAfter);
    return finished(process, dir);
}

QStringList linesOf(const QString& text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

void CliLineTest::initTestCase()
{
    QCOMPARE(runCli(m_dir.path(), simulated(1) + QStringList{"read", "-o", "golden.txt"}).code, 0);
}

void CliLineTest::severalDevicesAtOnce_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("unplugAfter");  // per device: the host's writes before it leaves
    QTest::addColumn<int>("code");
    QTest::addColumn<QStringList>("lines");  // standard output and error, each line in full, sorted
    const QStringList write{"write", "golden.txt", "--verify"};
    const QString verified = QStringLiteral(": verified: the device holds what was written");
    QStringList allVerified;
    for (int i = 0; i < 8; ++i)
        allVerified << kD5 + QString::number(2 + i) + QStringLiteral(" (board SIM20000%1)").arg(42 + i) +
                           verified;
    QTest::newRow("8 devices") << simulated(8) + write + QStringList{"--all"} << QString() << 0
                               << allVerified;
    // The fifth is gone at its sixth request: its identity and four of the write's.
    QStringList oneGone = allVerified;
    oneGone[4] = kD5 + QStringLiteral("6 (board SIM2000046): write fail (the device is no longer attached)");
    QTest::newRow("8 devices, one unplugged")
        << simulated(8) + write + QStringList{"--all"} << ",,,,5" << 1 << oneGone;
    QTest::newRow("two of three by path")
        << simulated(3) + write + QStringList{"--device", QString(kD5) + "4", "--device", QString(kD5) + "2"}
        << QString() << 0 << QStringList{allVerified[0], allVerified[2]};
    // Not there: the worst exit code is the missing device's.
    QTest::newRow("a path not attached")
        << simulated(1) + write + QStringList{"--device", QString(kD5) + "2", "--device", "/dev/hidraw9"}
        << QString() << 4
        << QStringList{
               "/dev/hidraw9: no device at \"/dev/hidraw9\"; \"corvelle-cli list\" shows the attached "
               "devices",
               allVerified[0]};
    QTest::newRow("info of a family-1 and a family-2 device")
        << simulated(1, "1:Vantor-A2") + simulated(1) + QStringList{"info", "--all"} << QString() << 0
        << QStringList{QStringLiteral("HID VID_0483&PID_6901 /dev/virtual-hidraw1 (board SIM1000042): board "
                                      "number: SIM1000042"),
                       kD5 + QStringLiteral("2 (board SIM2000043): board number: SIM2000043")};
}

// One thread per device; a device that fails fails alone, and nothing more is
// sent to it after the fault.
void CliLineTest::severalDevicesAtOnce()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, unplugAfter);
    QFETCH(int, code);
    QFETCH(QStringList, lines);
    const Run run = runCli(m_dir.path(), arguments, unplugAfter);
    QCOMPARE(run.code, code);
    QStringList shown = linesOf(run.out + run.err);
    if (arguments.contains(QStringLiteral("info")))
        shown = shown.filter(QStringLiteral("board number"));
    shown.sort();
    lines.sort();
    QCOMPARE(shown.join(QLatin1Char('\n')), lines.join(QLatin1Char('\n')));
    QCOMPARE(run.trace.filter(QStringLiteral("after its removal")), QStringList());
}

void CliLineTest::jsonLinesNameEachDevice()
{
    const Run run = runCli(
        m_dir.path(), simulated(3) + QStringList{"write", "golden.txt", "--verify", "--all", "--json"}, ",5");
    QCOMPARE(run.code, 1);
    QCOMPARE(run.err, QString());
    QMap<QString, QJsonObject> byBoard;
    for (const QString& line : linesOf(run.out)) {
        const QJsonObject object = QJsonDocument::fromJson(line.toUtf8()).object();
        byBoard.insert(object.value(QStringLiteral("board")).toString(), object);
    }
    QCOMPARE(byBoard.keys(), (QStringList{"SIM2000042", "SIM2000043", "SIM2000044"}));
    const QJsonObject ok = byBoard.value(QStringLiteral("SIM2000042"));
    QCOMPARE(ok.value(QStringLiteral("device")).toString(), QString(kD5) + "2");
    QCOMPARE(ok.value(QStringLiteral("model")).toString(), QStringLiteral("Vantor-D5"));
    QCOMPARE(ok.value(QStringLiteral("result")).toString(), QStringLiteral("ok"));
    QCOMPARE(ok.value(QStringLiteral("exit")).toInt(), 0);
    QVERIFY(ok.value(QStringLiteral("differences")).isArray());
    const QJsonObject gone = byBoard.value(QStringLiteral("SIM2000043"));
    QCOMPARE(gone.value(QStringLiteral("result")).toString(), QStringLiteral("failed"));
    QCOMPARE(gone.value(QStringLiteral("exit")).toInt(), 1);
    QCOMPARE(gone.value(QStringLiteral("error")).toString(),
             QStringLiteral("write fail (the device is no longer attached)"));
}

void CliLineTest::eachNewTakesArrivals_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("terminate");  // SIGTERM once the arrivals are done
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QString>("summary");
    // One there at start, two arriving, one arriving and leaving before it could be used,
    // one arriving after the end.
    const QStringList devices{"--simulate", "2:Vantor-D5",       "--simulate", "2:Vantor-D5@300ms",
                              "--simulate", "1:Vantor-A2@600ms", "--simulate", "2:Vantor-D5@900ms",
                              "--simulate", "2:Vantor-D5@30s"};
    const QStringList write{"write", "golden.txt", "--verify", "--each-new"};
    QTest::newRow("until SIGTERM") << devices + write << true
                                   << QStringList{"SIM1000044", "SIM2000043", "SIM2000045"}
                                   << "3 devices done: 2 ok, 1 refused";
    QTest::newRow("--all takes the first too")
        << devices + write + QStringList{"--all"} << true
        << QStringList{"SIM1000044", "SIM2000042", "SIM2000043", "SIM2000045"}
        << "4 devices done: 3 ok, 1 refused";
    QTest::newRow("--count 2") << devices + write + QStringList{"--count", "2"} << false
                               << QStringList{"SIM1000044", "SIM2000043"}
                               << "2 devices done: 1 ok, 1 refused";
}

// The devices plugged in while it runs, each once; a device there at start
// only with --all; SIGTERM ends it with a summary.
void CliLineTest::eachNewTakesArrivals()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, terminate);
    QFETCH(QStringList, boards);
    QFETCH(QString, summary);
    QProcess process;
    startCli(process, m_dir.path(), arguments, QString());
    if (terminate) {
        QTest::qWait(2000);
        process.terminate();
    }
    const Run run = finished(process, m_dir.path());
    QCOMPARE(run.code, 2);  // the family-1 device refuses the family-2 file
    QStringList seen;
    const QRegularExpression board(QStringLiteral("\\(board (\\w+)\\)"));
    for (const QString& line : linesOf(run.out + run.err)) {
        const QRegularExpressionMatch m = board.match(line);
        if (m.hasMatch())
            seen << m.captured(1);
    }
    seen.sort();
    QCOMPARE(seen, boards);
    QCOMPARE(linesOf(run.out).last(), summary);
}

void CliLineTest::compareWritesNothing_data()
{
    QTest::addColumn<QByteArray>("change");  // to golden.txt's first arbitration rate
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("report");
    QTest::newRow("same") << QByteArray("0x00070A02") << 0 << "same: the device holds f.txt\n";
    QTest::newRow("different")
        << QByteArray("0x00F91302") << 3
        << "channel\tfield\tfile\tdevice\nCAN1\tArbitrateRate\t0x00F91302\t0x00070A02\n";
}

// compare sends what read sends, and says what differs.
void CliLineTest::compareWritesNothing()
{
    QFETCH(QByteArray, change);
    QFETCH(int, code);
    QFETCH(QString, report);
    QFile golden(m_dir.filePath(QStringLiteral("golden.txt")));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QByteArray text = golden.readAll();
    text.replace(text.indexOf("0x00070A02"), 10, change);
    QFile file(m_dir.filePath(QStringLiteral("f.txt")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    file.close();

    const Run compare = runCli(m_dir.path(), simulated(1) + QStringList{"compare", "f.txt"});
    QCOMPARE(compare.code, code);
    QCOMPARE(compare.out, report);
    const Run read = runCli(m_dir.path(), simulated(1) + QStringList{"read"});
    QCOMPARE(compare.trace.filter(QStringLiteral("> ")), read.trace.filter(QStringLiteral("> ")));
}

void CliLineTest::errorsUnderJson_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");  // the object, as one line
    QTest::newRow("bad usage") << QStringList{"info", "--colour", "--json"}
                               << R"({"device":null,"error":"unknown option \"--colour\"","exit":2})";
    QTest::newRow("missing file")
        << simulated(1) + QStringList{"write", "nosuch.json", "--verify", "--json"}
        << R"({"device":null,"error":"nosuch.json: No such file or directory","exit":2})";
    QTest::newRow("no device at the path")
        << simulated(1) + QStringList{"info", "--device", "/dev/hidraw9", "--json"}
        << R"({"device":"/dev/hidraw9","error":"no device at \"/dev/hidraw9\"; \"corvelle-cli list\" shows the attached devices","exit":4})";
    QTest::newRow("no device at all") << QStringList{"--simulate", "2:Vantor-D5@30s", "firmware", "--json"}
                                      << R"({"device":null,"error":"no device found","exit":4})";
    QTest::newRow("unplugged")
        << simulated(1, "1:Vantor-A2") + QStringList{"defaults", "--yes", "--json"}
        << R"j({"device":"HID VID_0483&PID_6901 /dev/virtual-hidraw1","error":"write fail (the device is no longer attached)","exit":1})j";
    QTest::newRow("bad --simulate")
        << QStringList{"--simulate", "2:Vantor-D5@soon", "info", "--json"}
        << R"({"device":null,"error":"corvelle-cli: --simulate: bad time \"@soon\"; use @ARRIVE, @ARRIVE-LEAVE or @-LEAVE, e.g. @3s, @1s-4.5s, @-500ms","exit":2})";
}

// Under --json an error is one JSON object on standard output, with the exit code it has without.
void CliLineTest::errorsUnderJson()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    const Run run = runCli(m_dir.path(), arguments, QStringLiteral("6"));
    QCOMPARE(run.out, error + QLatin1Char('\n'));
    QCOMPARE(run.err, QString());
    QCOMPARE(run.code,
             QJsonDocument::fromJson(error.toUtf8()).object().value(QStringLiteral("exit")).toInt());
}

QTEST_GUILESS_MAIN(CliLineTest)
#include "tst_cli_line.moc"
