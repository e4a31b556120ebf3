// Recorded device sessions (this folder, expected.txt) replayed through
// corvelle-cli as a process and through the window: the same messages, the
// same files, the same exit codes as when they were recorded.

#include "E2e.h"

#include "device/Recording.h"
#include "device/RecordingBackend.h"
#include "device/ReplayBackend.h"
#include "log/LogCategories.h"
#include "log/LogFile.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

namespace {

const QString kDir = QStringLiteral(RECORDINGS_DIR);

struct Row {
    QString recording;
    QStringList arguments;
    int exitCode = 0;
    QString message;    // the first line on standard error; empty for none
    QString windowBox;  // empty for none; "skip"
};

QVector<Row> expectedRows()
{
    QFile file(kDir + QStringLiteral("/expected.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("no expected.txt");
    QVector<Row> rows;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList cells = line.split(QStringLiteral(" | "));
        if (cells.size() != 5)
            qFatal("expected.txt: %s", qPrintable(line));
        Row r;
        r.recording = cells.at(0);
        r.arguments = cells.at(1).split(QLatin1Char(' '));
        r.exitCode = cells.at(2).toInt();
        r.message = cells.at(3) == QLatin1String("-") ? QString() : cells.at(3);
        r.message.replace(QStringLiteral("RECORDINGS"), kDir);
        r.windowBox = cells.at(4) == QLatin1String("=")   ? r.message
                      : cells.at(4) == QLatin1String("-") ? QString()
                                                          : cells.at(4);
        rows << r;
    }
    return rows;
}

QByteArray expectedOutput(const QString& recording)
{
    QFile file(kDir + QLatin1Char('/') +
               QString(recording).replace(QStringLiteral(".rec"), QStringLiteral(".out")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

Q_DECLARE_METATYPE(Row)

class TestRecordings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLoggingCategory::setFilterRules(QStringLiteral("corvelle.*=false")); }
    void cliReplay_data();
    void cliReplay();
    void windowReplay_data();
    void windowReplay();
    void recordThenReplay();
    void windowSessionReplays();
    void departureNamesBothRequests();
    void conflictingOptionsAreRefused_data();
    void conflictingOptionsAreRefused();
    void malformedRecordingsAreRefused_data();
    void malformedRecordingsAreRefused();
    void logRotatesAndSaves();  // last: it installs the log's message handler

private:
    RecordingDialogs m_dialogs;
};

void TestRecordings::cliReplay_data()
{
    QTest::addColumn<Row>("row");
    for (const Row& r : expectedRows())
        QTest::newRow(qPrintable(r.recording)) << r;
}

void TestRecordings::cliReplay()
{
    QFETCH(Row, row);
    QProcess process;
    process.start(
        QStringLiteral(CORVELLE_CLI),
        QStringList{QStringLiteral("--replay"), kDir + QLatin1Char('/') + row.recording} + row.arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    const QStringList errors = QString::fromUtf8(process.readAllStandardError()).split(QLatin1Char('\n'));
    QCOMPARE(errors.first(), row.message);
    QCOMPARE(process.exitCode(), row.exitCode);
    QCOMPARE(process.readAllStandardOutput(), expectedOutput(row.recording));
}

void TestRecordings::windowReplay_data()
{
    QTest::addColumn<Row>("row");
    for (const Row& r : expectedRows()) {
        if (r.windowBox != QLatin1String("skip"))
            QTest::newRow(qPrintable(r.recording)) << r;
    }
}

// The window connects and reads as soon as it finds the device; after a good
// read it saves the same file corvelle-cli wrote.
void TestRecordings::windowReplay()
{
    QFETCH(Row, row);
    const recording::ReadResult read = recording::readRecordingFile(kDir + QLatin1Char('/') + row.recording);
    QVERIFY2(read.ok, qPrintable(read.error));
    recording::startReplay(read.recording, row.recording, false);
    HIDDevice::init();
    e2e::useEnglish();
    m_dialogs.clear();
    {
        auto window = e2e::connectedWindow();
        QCOMPARE(m_dialogs.texts(), row.windowBox.isEmpty() ? QStringList() : QStringList{row.windowBox});
        // A failure offers the log's folder.
        QCOMPARE(m_dialogs.actionTexts,
                 row.windowBox.isEmpty() ? QStringList() : QStringList{QStringLiteral("Open log folder")});
        if (row.exitCode == 0) {
            QTemporaryDir dir;
            const QString saved = dir.filePath(QStringLiteral("saved.txt"));
            m_dialogs.fileAnswers << saved;
            e2e::click(*window, "m_pushButtonSaveToFile");
            QFile file(saved);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), expectedOutput(row.recording));
        }
    }
    QCoreApplication::sendPostedEvents();
    HIDDevice::exit();
}

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString errors;
};

Run runCli(const QStringList& arguments, const QString& logDir)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVELLE_LOG_DIR"), logDir);
    environment.remove(QStringLiteral("CORVELLE_RECORD"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(CORVELLE_CLI), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace

// What a user does: record a read of a virtual device, replay it to the same
// file; -v shows the log's lines and the exchanges; the log file keeps them.
void TestRecordings::recordThenReplay()
{
    QTemporaryDir dir;
    const QString rec = dir.filePath(QStringLiteral("s.rec"));
    const QString log = dir.filePath(QStringLiteral("log"));
    const Run recorded = runCli({QStringLiteral("--simulate"), QStringLiteral("2:Vantor-D5"),
                                 QStringLiteral("--record"), rec, QStringLiteral("read")},
                                log);
    QCOMPARE(recorded.exitCode, 0);
    QCOMPARE(recorded.errors, QString());
    QCOMPARE(recorded.out, expectedOutput(QStringLiteral("d5-read.rec")));
    QFile file(rec);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY(text.startsWith("# corvelle-recording 1\n# program corvelle-cli " CORVELLE_VERSION "\n"));
    QVERIFY(text.contains("\n# device 34b7:0101 \"HID VID_34B7&PID_0101 /dev/virtual-hidraw2\"\n"));

    const Run replayed =
        runCli({QStringLiteral("-v"), QStringLiteral("--replay"), rec, QStringLiteral("read")}, log);
    QCOMPARE(replayed.exitCode, 0);
    QCOMPARE(replayed.out, recorded.out);
    const QString identify =
        QStringLiteral("\n> 01 13 01 00 27") + QStringLiteral(" 00").repeated(43) + QLatin1Char('\n');
    QVERIFY2(replayed.errors.contains(identify), qPrintable(replayed.errors));
    QVERIFY(replayed.errors.contains(QStringLiteral("\n< 01 13 01 00 27 25 01 00 00 02 01 00 53 49 4d")));
    QVERIFY(
        replayed.errors.contains(QStringLiteral(" info  device: found Vantor-D5 (family 2, 34b7:0101) at "
                                                "\"HID VID_34B7&PID_0101 /dev/virtual-hidraw2\"")));

    QFile logFile(log + QStringLiteral("/corvelle-cli.log"));
    QVERIFY(logFile.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(logFile.readAll());
    QCOMPARE(logged.count(QStringLiteral("device: found Vantor-D5")), 2);
    QVERIFY(logged.contains(QStringLiteral("replay: replaying ") + rec));
    QVERIFY(!logged.contains(QStringLiteral("> 01 13")));  // the exchanges only on standard error
}

namespace {

struct WindowSession {
    QStringList boxes;
    QByteArray saved;
    QStringList requests;  // what reached the virtual device; empty for a replay
};

// Connect and read, write, upgrade with a 64 KiB image, query the versions, save to a file.
WindowSession runWindowSession(RecordingDialogs& dialogs, const QTemporaryDir& dir)
{
    const QString image = dir.filePath(QStringLiteral("image.bin"));
    QByteArray bytes(64 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i % 251);
    e2e::fileWith(image, bytes);
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    QFile::remove(saved);
    dialogs.clear();
    dialogs.fileAnswers.clear();
    HIDDevice::init();
    {
        auto window = e2e::connectedWindow();
        e2e::click(*window, "m_pushButtonWrite");
        e2e::child<QLineEdit>(*window, "lineEdit_file")->setText(image);
        e2e::click(*window, "pushButton_update");
        e2e::click(*window, "pushButton_query");
        dialogs.fileAnswers << saved;
        e2e::click(*window, "m_pushButtonSaveToFile");
    }
    QCoreApplication::sendPostedEvents();
    HIDDevice::exit();
    WindowSession session;
    session.boxes = dialogs.texts();
    QFile file(saved);
    if (file.open(QIODevice::ReadOnly))
        session.saved = file.readAll();
    return session;
}

}  // namespace

// A whole session in the window, recorded from the virtual device and
// replayed: the same boxes and the same file.
void TestRecordings::windowSessionReplays()
{
    QTemporaryDir dir;
    const QString rec = dir.filePath(QStringLiteral("window.rec"));
    sim::VirtualBus::instance().install();
    e2e::plug(2, "Vantor-D5");
    QString error;
    QVERIFY2(recording::startRecording(rec, QStringLiteral("test"), &error), qPrintable(error));
    const WindowSession recorded = runWindowSession(m_dialogs, dir);
    recording::stopRecording();
    sim::VirtualBus::instance().unplugAll();
    QCOMPARE(recorded.boxes, (QStringList{QStringLiteral("set up success"), QStringLiteral("update success"),
                                          QStringLiteral("save success")}));

    const recording::ReadResult read = recording::readRecordingFile(rec);
    QVERIFY2(read.ok, qPrintable(read.error));
    recording::startReplay(read.recording, rec, false);
    const WindowSession replayed = runWindowSession(m_dialogs, dir);
    QCOMPARE(recording::replayDeparture(), QString());
    QCOMPARE(replayed.boxes, recorded.boxes);
    QCOMPARE(replayed.saved, recorded.saved);
    QVERIFY(!recorded.saved.isEmpty());
}

void TestRecordings::departureNamesBothRequests()
{
    QProcess process;
    process.start(
        QStringLiteral(CORVELLE_CLI),
        {QStringLiteral("--replay"), kDir + QStringLiteral("/d5-departs.rec"), QStringLiteral("read")});
    QVERIFY(process.waitForFinished(60000));
    const QString errors = QString::fromUtf8(process.readAllStandardError());
    const QString written = QStringLiteral("01 13 04 00 10 00 02 01") + QStringLiteral(" 00").repeated(40);
    const QString recorded = QStringLiteral("01 13 04 00 10 00 03 01") + QStringLiteral(" 00").repeated(40);
    QVERIFY2(errors.contains(
                 QStringLiteral("corvelle-cli: the replay of d5-departs.rec departs from the recording at "
                                "request 5: the tool wrote\n  ") +
                 written + QStringLiteral("\nwhere the recording (line 22) has\n  ") + recorded +
                 QStringLiteral("\n(they differ from byte 6 on)\n")),
             qPrintable(errors));
}

void TestRecordings::conflictingOptionsAreRefused_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    const QString rec = kDir + QStringLiteral("/d5-read.rec");
    QTest::newRow("replay and simulate")
        << QStringList{QStringLiteral("--simulate"), QStringLiteral("2:Vantor-D5"),
                       QStringLiteral("--replay"), rec, QStringLiteral("read")}
        << "corvelle-cli: --replay and --simulate exclude each other: a replay is the device";
    QTest::newRow("replay and record")
        << QStringList{QStringLiteral("--replay"), rec, QStringLiteral("--record"), QStringLiteral("x.rec"),
                       QStringLiteral("read")}
        << "corvelle-cli: --record and --replay exclude each other";
    QTest::newRow("timing without replay")
        << QStringList{QStringLiteral("--replay-timing"), QStringLiteral("info")}
        << "corvelle-cli: --replay-timing belongs to --replay";
    QTest::newRow("no such recording")
        << QStringList{QStringLiteral("--replay"), QStringLiteral("/nonexistent/s.rec"),
                       QStringLiteral("read")}
        << "corvelle-cli: /nonexistent/s.rec: No such file or directory";
    QTest::newRow("recording not writable")
        << QStringList{QStringLiteral("--simulate"), QStringLiteral("2:Vantor-D5"),
                       QStringLiteral("--record"), QStringLiteral("/nonexistent/s.rec"),
                       QStringLiteral("read")}
        << "corvelle-cli: /nonexistent/s.rec: No such file or directory";
}

// Refused before any device is touched, with exit code 2.
void TestRecordings::conflictingOptionsAreRefused()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const Run run = runCli(arguments, dir.path());
    QCOMPARE(run.errors.split(QLatin1Char('\n')).first(), error);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QByteArray());
}

void TestRecordings::malformedRecordingsAreRefused_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("error");
    const QByteArray head = "# corvelle-recording 1\n";
    QTest::newRow("empty") << QByteArray()
                           << "not a recording: it does not begin with \"# corvelle-recording 1\"";
    QTest::newRow("newer format") << QByteArray("# corvelle-recording 7\n")
                                  << "line 1: a recording of format 7; this program reads format 1 and older";
    QTest::newRow("no time") << head + "> 01 13\n"
                             << "line 2: a time in milliseconds follows \">\"";
    QTest::newRow("no duration") << head + "> 1.0 01 13\n"
                                 << "line 2: the time a call took (\"+1.250\") follows its time";
    QTest::newRow("odd digit") << head + "> 1.0 +0.1 01 1\n"
                               << "line 2: a request is bytes as pairs of hexadecimal digits";
    QTest::newRow("answer longer than asked")
        << head + "< 1.0 +0.1 2/10ms 01 02 03\n"
        << "line 2: an answer is at most the bytes asked for, as pairs of "
           "hexadecimal digits";
    QTest::newRow("read without answer") << head + "< 1.0 +0.1 48/10ms\n"
                                         << "line 2: a read ends in its answer, \"timeout\" or \"error\"";
    QTest::newRow("open quote") << head + "# 1.0 +0.1 open-path \"/dev/hid ok\n"
                                << "line 2: an open-path gives the quoted path";
    QTest::newRow("unknown event") << head + "# 1.0 +0.1 explode\n"
                                   << "line 2: unknown event \"explode\"";
    QTest::newRow("other marker") << head + "? 1.0\n"
                                  << "line 2: a line begins with \"> \", \"< \" or \"# \"";
}

void TestRecordings::malformedRecordingsAreRefused()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, error);
    const recording::ReadResult read = recording::parseRecording(text);
    QVERIFY(!read.ok);
    QCOMPARE(read.error, error);
}

// Past 1 MiB the log moves to .1 (the older ones up to .3, the oldest
// dropped); saving it copies the kept files, oldest first, into one.
void TestRecordings::logRotatesAndSaves()
{
    QTemporaryDir dir;
    qputenv("CORVELLE_LOG_DIR", dir.path().toLocal8Bit());
    QLoggingCategory::setFilterRules(QString());
    corvellelog::startLog(QStringLiteral("test"), false);
    QCOMPARE(corvellelog::logFilePath(), dir.filePath(QStringLiteral("test.log")));
    const QString filler = QStringLiteral("x").repeated(200);
    for (int i = 0; i < 30000; ++i)  // about 7 MiB
        qCInfo(lcOperation).noquote() << i << filler;
    qCInfo(lcOperation) << "the last line";
    for (const char* name : {"test.log", "test.log.1", "test.log.2", "test.log.3"})
        QVERIFY2(QFileInfo(dir.filePath(QLatin1String(name))).size() <= corvellelog::kMaxLogBytes, name);
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("test.log.3"))).size() > corvellelog::kMaxLogBytes / 2);
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("test.log.4"))));

    const QString saved = dir.filePath(QStringLiteral("saved.log"));
    QString error;
    QVERIFY2(corvellelog::saveLog(saved, &error), qPrintable(error));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    QVERIFY(lines.at(lines.size() - 2).endsWith(" info  operation: the last line"));
    // Oldest first, nothing missing between the first kept line and the last.
    int previous = -1;
    for (const QByteArray& line : lines.mid(0, lines.size() - 2)) {
        const int n = line.split(' ').value(4).toInt();
        QVERIFY(previous < 0 || n == previous + 1);
        previous = n;
    }
    QCOMPARE(previous, 29999);
    qunsetenv("CORVELLE_LOG_DIR");
}

QTEST_MAIN(TestRecordings)
#include "tst_recordings.moc"
