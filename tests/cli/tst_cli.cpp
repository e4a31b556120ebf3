// corvelle-cli on a virtual device of its own: its files and requests are the
// window's, and every bad input ends with a message and its exit code.

#include "AccessHint.h"
#include "E2e.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace e2e;

class CliTest : public WindowTest {
    Q_OBJECT

private slots:
    void readAndWriteAreTheWindows_data();
    void readAndWriteAreTheWindows();
    void refusalsEndWithTheirExitCode_data();
    void refusalsEndWithTheirExitCode();
    void historyRecordsWhatWasSent_data();
    void historyRecordsWhatWasSent();
    void historyOfProgramsRunningAtOnce();
    void unwritableHistoryIsAWarning();
    void accessHintNamesThePlugdevRuleWithoutASeat();
    void badFilesAreRefusedByBoth_data();
    void badFilesAreRefusedByBoth();
    void modeAndStandardReachTheDevice();
    void customFibreKeepsTheDevicesRateInBoth();
    void questionsBeforeOverwriting_data();
    void questionsBeforeOverwriting();

private:
    QTemporaryDir m_dir;
};

namespace {

QByteArray contents(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

struct Run {
    int code = -1;
    QString output;        // standard output and standard error
    QStringList requests;  // as lower-case hexadecimal, from the device's trace
};

// answer: typed on a terminal (through script(1)); empty: no terminal at all.
Run runCli(const QString& dir, const QStringList& arguments, int unplugAfter = 0,
           const QByteArray& answer = {}, const QString& historyFile = QString())
{
    const QString tracePath = dir + QStringLiteral("/trace.txt");
    QFile::remove(tracePath);
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVELLE_SIM_TRACE"), tracePath);
    environment.insert(QStringLiteral("CORVELLE_HISTORY_FILE"),
                       historyFile.isEmpty() ? dir + QStringLiteral("/history.jsonl") : historyFile);
    if (unplugAfter)
        environment.insert(QStringLiteral("CORVELLE_SIM_UNPLUG_AFTER"), QString::number(unplugAfter));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    if (answer.isEmpty()) {
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(QStringLiteral(CORVELLE_CLI), arguments);
    } else {
        const QString command =
            (QStringList{QStringLiteral(CORVELLE_CLI)} + arguments).join(QLatin1Char(' '));
        process.start(QStringLiteral("script"), {QStringLiteral("-qec"), command, QProcess::nullDevice()});
        process.write(answer);
    }
    Run run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.code = process.exitCode();
    run.output = QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
    for (const QString& line : QString::fromLatin1(contents(tracePath)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("> ")))
            run.requests << line.mid(2).remove(QLatin1Char(' '));
    }
    return run;
}

// A file that sets two channels (every CAN FD model has two, and a CAN FD
// channel cannot be written without a filter row), one fibre and part of one
// route row, for both families.
const QByteArray kPartialFile = R"({"CANParam": [
    {"BaudRate": "0x00abcdef", "ArbitrateRate": "0x00abcdef", "DataList": ["1, 0, 00 00 01 00, 00 00 02 00"]},
    {"BaudRate": "0x001C00E0", "ArbitrateRate": "0x00F91302", "DataList": ["0, 1, 00 00 01 00, 00 00 02 00"]}],
    "FiberParam": {"Baud": ["03"]}, "Route": ["0 0 1"]})";

}  // namespace

void CliTest::readAndWriteAreTheWindows_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("partial");
    for (const char* m : {"1:Vantor-A2", "1:Vantor-B8", "2:Vantor-D3", "2:Vantor-D5"}) {
        QTest::newRow(m) << QString::fromLatin1(m) << false;
        QTest::newRow(QByteArray(m) + " partial") << QString::fromLatin1(m) << true;
    }
}

// The program reads the window's file, and writes a whole file (its read, a filter row
// added) or a partial one, taking missing fibres and routes from the device, as the window.
void CliTest::readAndWriteAreTheWindows()
{
    QFETCH(QString, device);
    QFETCH(bool, partial);
    const QString file = m_dir.filePath(QStringLiteral("written.json"));
    sim::VirtualDevice& virtualDevice = plug(device.at(0).digitValue(), device.mid(2).toLatin1().constData());
    const auto window = connectedWindow();
    if (partial) {
        // The B8 has no fibre: a file naming one is not for it.
        QByteArray text = kPartialFile;
        if (device.endsWith(QLatin1String("B8")))
            text.replace("[\"03\"]", "[]");
        fileWith(file, text);
    } else {
        QCOMPARE(runCli(m_dir.path(), {"--simulate", device, "read", "-o", file}).code, 0);
        click(*window, "m_pushButtonRead");
        // Saved without an extension: the window adds ".txt".
        m_dialogs.fileAnswers << m_dir.filePath(QStringLiteral("window"));
        click(*window, "m_pushButtonSaveToFile");
        QByteArray text = contents(file);
        QCOMPARE(text, contents(m_dir.filePath(QStringLiteral("window.txt"))));
        text.insert(text.indexOf("\"DataList\": [") + 13, "\"0, 0, 00 00 01 00, 00 00 02 00\",");
        fileWith(file, text);
    }
    // The partial file's fibre rate "03" reads back as "3" on family 2: no verify there. Its
    // timing 0x00abcdef is not valid, and 3 bit/s no fibre rate: the window asks, the program needs --force.
    const Run run = runCli(m_dir.path(), QStringList{"--simulate", device, "write", file} +
                                             (partial ? QStringList{"--force"} : QStringList{"--verify"}));
    QCOMPARE(run.code, 0);

    m_dialogs.fileAnswers << file;
    click(*window, "m_pushButtonReadFromFile");
    virtualDevice.clearTrace();
    click(*window, "m_pushButtonWrite");
    const QStringList windowRequests = requestsHex(virtualDevice);
    QVERIFY(windowRequests.size() > 3);
    // The program's requests after its search (and, for the partial file, its read) and before its verify.
    int start = 0;
    while (start < run.requests.size() && run.requests.mid(start, windowRequests.size()) != windowRequests)
        ++start;
    QCOMPARE(run.requests.mid(start, windowRequests.size()).join(QLatin1Char('\n')),
             windowRequests.join(QLatin1Char('\n')));
}

void CliTest::refusalsEndWithTheirExitCode_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("unplugAfter");  // requests before the device is gone; 0: never
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    const char* write = "--simulate 2:Vantor-D5 write f.json";
    QTest::newRow("missing file") << "--simulate 2:Vantor-D5 write none.json" << QByteArray() << 0 << 2
                                  << "none.json: No such file or directory";
    QTest::newRow("empty") << write << QByteArray("") << 0 << 2 << "f.json: empty";
    QTest::newRow("truncated") << write << QByteArray("{\"CANParam\": [") << 0 << 2
                               << "f.json: not JSON: unterminated array at offset 14";
    QTest::newRow("not JSON") << write << QByteArray("CANParam=1") << 0 << 2
                              << "f.json: not JSON: illegal value at offset 1";
    QTest::newRow("no route") << write << QByteArray(R"({"CANParam": [], "FiberParam": {}})") << 0 << 2
                              << "f.json: member \"Route\" is missing or not an array";
    QTest::newRow("family-1 file")
        << write << QByteArray(R"({"CANParam": [{"BaudRate": "0x001C00E0"}], "FiberParam": {}, "Route": []})")
        << 0 << 2 << "f.json: a configuration of a family-1 device; this device is of family 2";
    QTest::newRow("oversized") << write << QByteArray(16 * 1024 * 1024 + 1, ' ') << 0 << 2
                               << "f.json: larger than 16777216 bytes";
    QTest::newRow("bad rate")
        << write << QByteArray(R"({"CANParam": [{"ArbitrateRate": "0x123"}], "FiberParam": {}, "Route": []})")
        << 0 << 2 << "f.json: channel 1";
    QTest::newRow("unknown option") << "info --colour" << QByteArray() << 0 << 2
                                    << "unknown option \"--colour\"";
    QTest::newRow("no such device") << "--simulate 1:Vantor-A2 --device /dev/hidraw9 info" << QByteArray()
                                    << 0 << 4 << "no device at \"/dev/hidraw9\"";
    // A whole file, so nothing is read first: the search's four exchanges and
    // two of the write's requests, then the device is gone.
    QTest::newRow("unplugged while writing")
        << "--simulate 1:Vantor-A2 write f.json"
        << QByteArray(
               R"({"CANParam": [], "FiberParam": {"Baud": ["0b"]}, "Route": ["0 1 1 ", "1 0 1 ", "1 1 0 "]})")
        << 6 << 1 << "(the device is no longer attached)";
    // The device keeps standard-frame records before extended ones, so the
    // rows come back in the other order.
    QTest::newRow("verify difference")
        << "--simulate 2:Vantor-D5 write f.json --verify"
        << QByteArray(
               R"({"CANParam": [{"ArbitrateRate": "0x00070A02", "DataList": ["1, 0, 00 00 00 10, 00 00 00 20",
            "0, 0, 00 00 00 01, 00 00 00 02"]}, {"ArbitrateRate": "0x00070A02", "DataList": ["0, 0, 00 00 00 01, 00 00 00 02"]}],
            "FiberParam": {"Baud": []}, "Route": []})")
        << 0 << 3 << "CAN1\tDataList[0]\t1, 0, 00 00 00 10, 00 00 00 20\t0, 0, 00 00 00 01, 00 00 00 02";
}

void CliTest::refusalsEndWithTheirExitCode()
{
    QFETCH(QString, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, unplugAfter);
    QFETCH(int, code);
    QFETCH(QString, message);
    QFile::remove(m_dir.filePath(QStringLiteral("f.json")));
    if (!file.isNull())
        fileWith(m_dir.filePath(QStringLiteral("f.json")), file);

    const Run run = runCli(m_dir.path(), arguments.split(QLatin1Char(' ')), unplugAfter);
    QCOMPARE(run.code, code);
    QVERIFY2(run.output.contains(message), qPrintable(run.output));
    if (code == 2)
        QVERIFY2(run.requests.size() <= 1, "a refused file sends nothing but the search");
    if (unplugAfter)
        QCOMPARE(run.requests.size(), unplugAfter);  // nothing after the failing write
}

namespace {

QVector<QJsonObject> historyRecords(const QString& dir)
{
    QVector<QJsonObject> records;
    QFile file(dir + QStringLiteral("/history.jsonl"));
    if (!file.open(QIODevice::ReadOnly))
        return records;
    for (const QByteArray& line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            records << QJsonDocument::fromJson(line).object();
    }
    return records;
}

QString sha256Of(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

const QByteArray kWholeFamily1File =
    R"({"CANParam": [], "FiberParam": {"Baud": ["0b"]}, "Route": ["0 1 1 ", "1 0 1 ", "1 1 0 "]})";
// Two CAN FD channels, each with a filter row, as the device keeps them.
const QByteArray kFamily2File = R"({"CANParam": [
    {"ArbitrateRate": "0x00070A02", "DataList": ["0, 0, 00 00 00 01, 00 00 00 02"]},
    {"ArbitrateRate": "0x00070A02", "DataList": ["0, 0, 00 00 00 01, 00 00 00 02"]}],
    "FiberParam": {"Baud": []}, "Route": []})";

}  // namespace

void CliTest::historyRecordsWhatWasSent_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("unplugAfter");
    QTest::addColumn<QString>("expected");  // operation result model board; empty: no record
    QTest::addColumn<QString>("detail");    // in the message or the differences
    QTest::newRow("write") << "--simulate 1:Vantor-A2 write f.json" << kWholeFamily1File << 0
                           << "write ok Vantor-A2 SIM1000042"
                           << "";
    QTest::newRow("unplugged while writing") << "--simulate 1:Vantor-A2 write f.json" << kWholeFamily1File
                                             << 6 << "write failed Vantor-A2 SIM1000042"
                                             << "no longer attached";
    QTest::newRow("verify difference")
        << "--simulate 2:Vantor-D5 write f.json --verify"
        << QByteArray(
               R"({"CANParam": [{"ArbitrateRate": "0x00070A02", "DataList": ["1, 0, 00 00 00 10, 00 00 00 20",
            "0, 0, 00 00 00 01, 00 00 00 02"]}, {"ArbitrateRate": "0x00070A02", "DataList": ["0, 0, 00 00 00 01, 00 00 00 02"]}],
            "FiberParam": {"Baud": []}, "Route": []})")
        << 0 << "write different Vantor-D5 SIM2000042"
        << "CAN1 DataList[0] 1, 0, 00 00 00 10, 00 00 00 20 0, 0, 00 00 00 01, 00 00 00 02";
    QTest::newRow("defaults") << "--simulate 2:Vantor-D3 defaults --yes" << QByteArray() << 0
                              << "defaults ok Vantor-D3 SIM2000042"
                              << "";
    QTest::newRow("upgrade") << "--simulate 2:Vantor-D5 upgrade f.json --force --yes" << QByteArray(100, '\x5a')
                             << 0 << "upgrade ok Vantor-D5 SIM2000042"
                             << "";
    QTest::newRow("refused file: nothing sent")
        << "--simulate 2:Vantor-D5 write f.json" << QByteArray("{") << 0 << ""
        << "";
    QTest::newRow("not confirmed: nothing sent")
        << "--simulate 2:Vantor-D5 defaults" << QByteArray() << 0 << ""
        << "";
}

// One record per operation that reached the device, with its board number and
// the hash of the file's bytes; `history --json` prints the same records.
void CliTest::historyRecordsWhatWasSent()
{
    QFETCH(QString, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, unplugAfter);
    QFETCH(QString, expected);
    QFETCH(QString, detail);
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("f.json"));
    if (!file.isNull())
        fileWith(name, file);

    runCli(dir.path(), arguments.split(QLatin1Char(' ')), unplugAfter);
    const QVector<QJsonObject> records = historyRecords(dir.path());
    QCOMPARE(records.size(), expected.isEmpty() ? 0 : 1);
    if (expected.isEmpty())
        return;
    const QJsonObject r = records.first();
    const auto text = [&r](const char* key) { return r.value(QLatin1String(key)).toString(); };
    QCOMPARE(QStringList({text("operation"), text("result"), text("model"), text("boardNumber")}).join(' '),
             expected);
    QCOMPARE(text("program"), QStringLiteral("corvelle-cli"));
    QVERIFY2(text("device").contains(QLatin1String("/dev/virtual-hidraw")), qPrintable(text("device")));
    QCOMPARE(text("file"), file.isNull() ? QString() : name);
    QCOMPARE(text("sha256"), file.isNull() ? QString() : sha256Of(file));
    QString details = text("message");
    for (const QJsonValue& d : r.value(QLatin1String("differences")).toArray())
        details +=
            QStringList({d[QLatin1String("channel")].toString(), d[QLatin1String("field")].toString(),
                         d[QLatin1String("written")].toString(), d[QLatin1String("readBack")].toString()})
                .join(' ');
    QVERIFY2(details.contains(detail), qPrintable(details));

    const Run printed = runCli(dir.path(), {"history", "--json"});
    QCOMPARE(printed.code, 0);
    QCOMPARE(QJsonDocument::fromJson(printed.output.toUtf8()).object(), r);
}

// Four programs writing four devices at once leave four whole records; the
// history command shows them all, or one device's by its board number.
void CliTest::historyOfProgramsRunningAtOnce()
{
    QTemporaryDir dir;
    const QString family1 = fileWith(dir.filePath(QStringLiteral("f1.json")),
                                     R"({"CANParam": [], "FiberParam": {}, "Route": []})");
    const QString family2 = fileWith(dir.filePath(QStringLiteral("f2.json")), kFamily2File);
    std::vector<std::unique_ptr<QProcess>> processes;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("CORVELLE_HISTORY_FILE"),
                       dir.filePath(QStringLiteral("history.jsonl")));
    for (const char* model : {"1:Vantor-A2", "1:Vantor-B8", "2:Vantor-D3", "2:Vantor-D5"}) {
        processes.push_back(std::make_unique<QProcess>());
        processes.back()->setProcessEnvironment(environment);
        processes.back()->start(QStringLiteral(CORVELLE_CLI),
                                {"--simulate", model, "write", model[0] == '1' ? family1 : family2});
    }
    for (const auto& p : processes) {
        QVERIFY(p->waitForFinished(60000));
        QCOMPARE(p->exitCode(), 0);
    }
    QStringList seen;
    for (const QJsonObject& r : historyRecords(dir.path())) {
        seen << r.value(QLatin1String("model")).toString() + QLatin1Char(' ') +
                    r.value(QLatin1String("boardNumber")).toString();
        const QString file = r.value(QLatin1String("file")).toString();
        QCOMPARE(file, r.value(QLatin1String("model")).toString().contains(QLatin1String("-D")) ? family2
                                                                                                : family1);
        QCOMPARE(r.value(QLatin1String("sha256")).toString(), sha256Of(contents(file)));
    }
    seen.sort();
    QCOMPARE(seen.join(QLatin1String(", ")),
             QStringLiteral(
                 "Vantor-A2 SIM1000042, Vantor-B8 SIM1000042, Vantor-D3 SIM2000042, Vantor-D5 SIM2000042"));

    const Run table = runCli(dir.path(), {"history"});
    QCOMPARE(table.code, 0);
    QCOMPARE(table.output.count(QLatin1Char('\n')), 5);  // the header and a line per record
    QVERIFY(
        table.output.startsWith(QLatin1String("time\tprogram\toperation\tdevice\tmodel\tboard number\t")));
    const Run one = runCli(dir.path(), {"history", "--json", "--device", "SIM1000042"});
    QCOMPARE(one.output.count(QLatin1String("\"boardNumber\":\"SIM1000042\"")), 2);
    QCOMPARE(one.output.count(QLatin1Char('\n')), 2);
    const Run none = runCli(dir.path(), {"history", "--device", "/dev/hidraw9"});
    QCOMPARE(none.code, 0);
    QVERIFY2(none.output.startsWith(QLatin1String("no records in ")), qPrintable(none.output));
}

void CliTest::unwritableHistoryIsAWarning()
{
    QTemporaryDir dir;
    const QString blocker = fileWith(dir.filePath(QStringLiteral("blocker")), "a file, not a folder");
    fileWith(dir.filePath(QStringLiteral("f.json")), kWholeFamily1File);
    const Run run = runCli(dir.path(), {"--simulate", "1:Vantor-A2", "write", "f.json"}, 0, {},
                           blocker + QStringLiteral("/history.jsonl"));
    QCOMPARE(run.code, 0);
    QVERIFY2(run.output.contains(QLatin1String("warning: the history could not be written: ") + blocker),
             qPrintable(run.output));
}

// An SSH session or a headless line PC has no seat, where the seat rule grants nothing.
void CliTest::accessHintNamesThePlugdevRuleWithoutASeat()
{
    const QByteArray seat = qgetenv("XDG_SEAT");
    qunsetenv("XDG_SEAT");
    const QString hint = cli::accessDeniedHint();
    if (!seat.isNull())
        qputenv("XDG_SEAT", seat);
    QVERIFY(hint.contains(QLatin1String("60-corvelle-repeater.rules")));
    QVERIFY(
        hint.contains(QLatin1String("/usr/share/corvelle-repeater/udev/61-corvelle-repeater-plugdev.rules")));
}

void CliTest::badFilesAreRefusedByBoth_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QByteArray>("members");  // "CANParam", "FiberParam" and "Route", without the braces
    QTest::addColumn<QString>("finding");
    QTest::addColumn<bool>("asked");  // asked about rather than refused
    // Mode "CANFD" with the FD standard "ISO": a member read under the other's key would show.
    const QByteArray fd = R"("ArbitrateRate": "0x00070A02", "DataRate": "0x00010930", "Mode": 1, "FD": 0)";
    const QByteArray row = R"("DataList": ["0, 0, 00 00 01 00, 00 00 02 00"])";
    const QByteArray goodFd = "{" + fd + ", " + row + "}";
    auto fdFile = [&](const QByteArray& second, const QByteArray& baud = "[]") {
        return "\"CANParam\": [" + goodFd + ", " + second + "], \"FiberParam\": {\"Baud\": " + baud +
               "}, \"Route\": []";
    };
    const QByteArray noFibre = R"("FiberParam": {"Baud": []}, "Route": [])";
    QTest::newRow("classic timing of 7 digits")
        << "1:Vantor-A4"
        << R"("CANParam": [{"BaudRate": "0x0012000"}], )" + noFibre
        << "channel 1: the bit rate register must be 8 hexadecimal digits" << false;
    QTest::newRow("classic timing with a letter, channel 2")
        << "1:Vantor-A4"
        << R"("CANParam": [{"BaudRate": "0x0012000B"}, {"BaudRate": "0x0012000G"}], )" + noFibre
        << "channel 2: the bit rate register must be 8 hexadecimal digits" << false;
    QTest::newRow("CAN FD timing of 9 digits")
        << "2:Vantor-D3" << fdFile(R"({"ArbitrateRate": "0x00070A020", "Mode": 0, "FD": 1, )" + row + "}")
        << "channel 2: the arbitration rate register must be 8 hexadecimal digits" << false;
    QTest::newRow("family-1 fibre code beyond the model's list")
        << "1:Vantor-A4"
        << QByteArray(R"("CANParam": [], "FiberParam": {"Baud": ["0b", "0d", "0b", "0b"]}, "Route": [])")
        << "Fiber2: \"0d\" is no rate code of this device (01 to 0c)" << false;
    QTest::newRow("family-2 fibre rate above the rate field")
        << "2:Vantor-D3" << fdFile(goodFd, R"(["9600", "2147483648"])")
        << "Fiber2: enter a baud rate from 1 to 2147483647" << false;
    QTest::newRow("more CAN channels than the device")
        << "1:Vantor-A2"
        << R"("CANParam": [{}, {}, {}], )" + noFibre << "the file has 3 CAN channels; this device has 2"
        << false;
    QTest::newRow("more fibres than the device")
        << "1:Vantor-A2" << QByteArray(R"("CANParam": [], "FiberParam": {"Baud": ["0b", "0b"]}, "Route": [])")
        << "the file has 2 fibre channels; this device has 1" << false;
    QTest::newRow("a route row of a larger device")
        << "1:Vantor-A2"
        << QByteArray(R"("CANParam": [], "FiberParam": {"Baud": []}, "Route": ["0 1 1", "1 0 1 1"]})")
               .chopped(1)
        << "Port2: the route row is longer than this device's 3 ports" << false;
    QTest::newRow("the other family's file")
        << "2:Vantor-D3"
        << R"("CANParam": [{"BaudRate": "0x001C00E0"}], )" + noFibre
        << "a configuration of a family-1 device; this device is of family 2" << false;
    QTest::newRow("a repeated member")
        << "1:Vantor-A2"
        << R"("CANParam": [{"BaudRate": "0x0012000B", "BaudRate": "0x00120005"}], )" + noFibre
        << "member \"BaudRate\" is given again at offset 41" << false;
    QTest::newRow("15 filter rows on channel 2")
        << "1:Vantor-A2"
        << R"("CANParam": [{"BaudRate": "0x0012000B"}, {"BaudRate": "0x0012000B", "DataList": [)" +
               QByteArray(R"("0, 1, 00 00 00 00, 00 00 00 00",)").repeated(14) +
               R"("0, 1, 00 00 00 00, 00 00 00 00"]}], )" + noFibre
        << "channel 2: filter at most 14" << false;
    QTest::newRow("a standard ID out of range on channel 2")
        << "2:Vantor-D3" << fdFile("{" + fd + R"(, "DataList": ["0, 2, 00 00 08 00, 00 00 07 ff"]})")
        << "channel 2: standard frame ID<=0x000007FF" << false;
    QTest::newRow("a CAN FD channel without a filter row")
        << "2:Vantor-D3" << fdFile("{" + fd + "}")
        << "channel 2: a CAN FD channel needs at least one filter row" << false;
    QTest::newRow("a timing not valid")
        << "1:Vantor-A2"
        << R"("CANParam": [{"BaudRate": "0x0012000B"}, {"BaudRate": "0xFFFFFFFF"}], )" + noFibre
        << "channel 2: 0xFFFFFFFF is not a valid bit timing." << true;
    QTest::newRow("a fibre rate of 50 bit/s")
        << "2:Vantor-D3" << fdFile(goodFd, R"(["9600", "50"])")
        << "Fiber2: 50 bit/s is outside the rates the device runs (4800 to 6000000 bit/s)." << true;
}

// Each kind of bad file is refused by both programs with the same words and
// nothing sent; what is asked about is sent by the window on "Yes" and by the
// program with --force.
void CliTest::badFilesAreRefusedByBoth()
{
    QFETCH(QString, device);
    QFETCH(QByteArray, members);
    QFETCH(QString, finding);
    QFETCH(bool, asked);
    const QString file = fileWith(m_dir.filePath(QStringLiteral("f.json")), "{" + members + "}");
    const Run run = runCli(m_dir.path(), {"--simulate", device, "write", file});
    QCOMPARE(run.code, 2);
    QVERIFY2(run.output.contains(file + QStringLiteral(": ") + finding), qPrintable(run.output));
    QCOMPARE(run.requests,
             runCli(m_dir.path(), {"--simulate", device, "info"}).requests);  // the search alone
    if (asked)
        QCOMPARE(runCli(m_dir.path(), {"--simulate", device, "write", file, "--force"}).code, 0);

    sim::VirtualDevice& virtualDevice = plug(device.at(0).digitValue(), device.mid(2).toLatin1().constData());
    const auto window = connectedWindow();
    virtualDevice.clearTrace();
    m_dialogs.fileAnswers << file;
    click(*window, "m_pushButtonReadFromFile");
    // A file refused as a whole changes no editor; one opened is refused or asked about by Write.
    if (m_dialogs.texts().size() == 1 && m_dialogs.texts().at(0).startsWith(QLatin1String("read finish"))) {
        m_dialogs.choiceAnswers << QStringLiteral("Cancel");
        click(*window, "m_pushButtonWrite");
    }
    QStringList said = m_dialogs.texts();
    for (const RecordingDialogs::Choice& choice : m_dialogs.choices)
        said << choice.text;
    QVERIFY2(said.join(QLatin1Char('\n')).contains(finding), qPrintable(said.join(QLatin1Char('\n'))));
    QVERIFY(virtualDevice.requests().isEmpty());
    // The doubt joins the list of changes the write shows first.
    if (asked) {
        QCOMPARE(m_dialogs.choices.size(), 1);
        QVERIFY(m_dialogs.choices.at(0).text.endsWith(finding + QStringLiteral(" Write anyway?")));
    }
}

// Mode and FD standard differ in both channels, so that one read under the
// other's key shows in the bytes: "CANFD" with ISO, and "CAN", whose standard
// and data phase are not sent.
void CliTest::modeAndStandardReachTheDevice()
{
    const QString file = fileWith(m_dir.filePath(QStringLiteral("modes.json")), R"({"CANParam": [
        {"ArbitrateRate": "0x00070A02", "DataRate": "0x00010930", "Mode": 1, "FD": 0,
         "DataList": ["0, 0, 00 00 01 00, 00 00 02 00"]},
        {"ArbitrateRate": "0x00070A02", "DataRate": "0x00010930", "Mode": 0, "FD": 1,
         "DataList": ["0, 0, 00 00 01 00, 00 00 02 00"]}], "FiberParam": {"Baud": []}, "Route": []})");
    const Run run = runCli(m_dir.path(), {"--simulate", "2:Vantor-D3", "write", file, "--verify"});
    QCOMPARE(run.code, 0);
    const QString sent = run.requests.join(QLatin1Char(' '));
    QVERIFY2(sent.contains("01130401100001"
                           "0100"
                           "00070a02"
                           "00010930"),
             qPrintable(sent));
    QVERIFY2(sent.contains("01130401100002"
                           "0000"
                           "00070a02"
                           "00000000"),
             qPrintable(sent));
}

// "custom" as a family-2 fibre rate keeps the rate the device has: the same
// requests from the program (which reads the device first) and the window.
void CliTest::customFibreKeepsTheDevicesRateInBoth()
{
    const QString file = fileWith(m_dir.filePath(QStringLiteral("custom.json")), R"({"CANParam": [
        {"ArbitrateRate": "0x00070A02", "Mode": 0, "FD": 0, "DataList": ["0, 0, 00 00 01 00, 00 00 02 00"]},
        {"ArbitrateRate": "0x00070A02", "Mode": 0, "FD": 0, "DataList": ["0, 0, 00 00 01 00, 00 00 02 00"]}],
        "FiberParam": {"Baud": ["custom", "9600"]}, "Route": []})");
    const Run run = runCli(m_dir.path(), {"--simulate", "2:Vantor-D3", "write", file});
    QCOMPARE(run.code, 0);
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    const auto window = connectedWindow();
    m_dialogs.fileAnswers << file;
    click(*window, "m_pushButtonReadFromFile");
    device.clearTrace();
    click(*window, "m_pushButtonWrite");
    const QStringList windowRequests = requestsHex(device);
    QCOMPARE(windowRequests.size(),
             2 * 2 + 4 + 1);  // two channels with a filter each, four fibres, the end
    QCOMPARE(run.requests.mid(run.requests.size() - windowRequests.size()).join(QLatin1Char('\n')),
             windowRequests.join(QLatin1Char('\n')));
}

void CliTest::questionsBeforeOverwriting_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QByteArray>("answer");  // typed on a terminal; empty: none
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("sent");  // the first bytes of a request sent; empty: nothing after the search
    const QString restore =
        "Restore the defaults of Vantor-D3 (board SIM2000042)? The device's configuration will be "
        "overwritten.";
    const QString upgrade =
        "Upgrade the firmware of Vantor-D3 (now V2.1.0) with fw.bin: 100 bytes in 4 blocks? "
        "The device's firmware will be overwritten.";
    const QString d3 = "--simulate 2:Vantor-D3 ";
    QTest::newRow("defaults in a script")
        << d3 + "defaults" << QByteArray() << 2 << restore + " Add --yes to confirm."
        << "";
    QTest::newRow("defaults --yes in a script") << d3 + "defaults --yes" << QByteArray() << 0 << ""
                                                << "0113070101";
    QTest::newRow("defaults, yes typed") << d3 + "defaults" << QByteArray("y\n") << 0 << restore + " [y/N]"
                                         << "0113070101";
    QTest::newRow("defaults, no typed") << d3 + "defaults" << QByteArray("n\n") << 2 << restore + " [y/N]"
                                        << "";
    QTest::newRow("classic defaults --yes")
        << "--simulate 1:Vantor-A2 defaults --yes" << QByteArray() << 0 << ""
        << "001223060001001c00e0";
    QTest::newRow("upgrade in a script")
        << d3 + "upgrade fw.bin" << QByteArray() << 2 << upgrade + " Add --yes to confirm."
        << "";
    QTest::newRow("upgrade, yes typed")
        << d3 + "upgrade fw.bin" << QByteArray("y\n") << 0 << upgrade + " [y/N]"
        << "0115012d0000000080";
    QTest::newRow("upgrade, no typed") << d3 + "upgrade fw.bin" << QByteArray("n\n") << 2 << upgrade << "";
    QTest::newRow("upgrade --yes in a script")
        << d3 + "upgrade fw.bin --yes" << QByteArray() << 0 << "update success"
        << "0115012d0000000080";
    QTest::newRow("a text file, forced, warned about")
        << d3 + "upgrade fw.txt --force" << QByteArray("n\n") << 2
        << "Warning: the file name does not end in \".bin\"; it may not be a firmware image."
        << "";
    QTest::newRow("an empty image") << d3 + "upgrade empty.bin --yes" << QByteArray() << 2
                                    << "empty.bin: the firmware image is empty"
                                    << "";
}

// defaults and upgrade ask on a terminal, and need --yes without one.
void CliTest::questionsBeforeOverwriting()
{
    QFETCH(QString, arguments);
    QFETCH(QByteArray, answer);
    QFETCH(QString, sent);
    if (!answer.isEmpty() && QStandardPaths::findExecutable(QStringLiteral("script")).isEmpty())
        QSKIP("script(1) is needed for a terminal");
    fileWith(m_dir.filePath(QStringLiteral("fw.bin")), QByteArray(100, '\x5a'));
    fileWith(m_dir.filePath(QStringLiteral("fw.txt")), QByteArray(100, '\x5a'));
    fileWith(m_dir.filePath(QStringLiteral("empty.bin")), QByteArray());
    const Run run = runCli(m_dir.path(), arguments.split(QLatin1Char(' ')), 0, answer);
    QTEST(run.code, "code");
    QFETCH(QString, said);
    QVERIFY2(run.output.contains(said), qPrintable(run.output));
    const QStringList search =
        runCli(m_dir.path(), arguments.split(QLatin1Char(' ')).mid(0, 2) << "info").requests;
    if (sent.isEmpty())
        QCOMPARE(run.requests, search);
    else
        QVERIFY2(run.requests.join(QLatin1Char(' ')).contains(sent), qPrintable(run.requests.join('\n')));
}

QTEST_MAIN(CliTest)
#include "tst_cli.moc"
