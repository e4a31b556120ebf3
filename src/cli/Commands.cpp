#include "Commands.h"

#include "AccessHint.h"
#include "HistoryCommand.h"
#include "Output.h"

#include "config/ConfigFile.h"
#include "config/Configuration.h"
#include "config/Validation.h"
#include "device/AttachedDevices.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "device/Protocol.h"
#include "history/History.h"
#include "log/LogCategories.h"
#include "operations/ConfigTransfer.h"
#include "operations/FibreCodec.h"
#include "operations/Firmware.h"
#include "session/DeviceSession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli {

namespace {

void print(const QString& text)
{
    output::text(text);
}

void complain(const QString& text)
{
    output::error(text);
}

bool onTerminal(std::FILE* stream)
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) == 1;
#endif
}

QString failureText(const TransferResult& result, const char* fallback)
{
    return result.message.isEmpty() ? QString::fromLatin1(fallback) : result.message.translated();
}

QString idsText(protocol::UsbIds ids)
{
    return QString::asprintf("%04x:%04x", ids.vendor, ids.product);
}

// The device the options name, open and identified.
struct Connection {
    HIDDevice device;
    SearchResult found;
    QString path;
    config::Shape shape;
    // For the history: why the operation failed, and what a verify found.
    QString failure;
    QVector<config::Difference> differences;
};

int connect(const Options& o, Connection& c)
{
    const QVector<AttachedDevice> attached = attachedDevices();
    if (!o.devicePath.isEmpty()) {
        const auto it = std::find_if(attached.begin(), attached.end(), [&o](const AttachedDevice& a) {
            return QString::fromStdString(a.path) == o.devicePath;
        });
        if (it == attached.end()) {
            complain(QStringLiteral("no device at \"%1\"; \"corvelle-cli list\" shows the attached devices")
                         .arg(o.devicePath));
            return kNoDevice;
        }
        c.found = searchDevicePath(c.device, it->path, it->family);
        c.path = o.devicePath;
    } else {
        c.found = searchDevice(c.device, 0);
        for (const AttachedDevice& a : attached) {
            if (a.family == c.found.driveType) {
                c.path = QString::fromStdString(a.path);
                break;
            }
        }
    }
    if (c.found.driveType == 0) {
        complain(c.found.accessDenied ? accessDeniedHint() : QStringLiteral("no device found"));
        return kNoDevice;
    }
    const DeviceIdentity& id = c.found.identity;
    if (id.nCAN < 0) {
        complain(QStringLiteral("the device did not tell who it is"));
        return kDeviceFailed;
    }
    c.shape = session::shapeOf(c.found);
    output::device(c.path, id.strCardNum, id.strDevType);
    return kDone;
}

bool stillAttached(const Connection& c)
{
    for (const AttachedDevice& a : attachedDevices()) {
        if (a.family == c.shape.family && QString::fromStdString(a.path) == c.path)
            return true;
    }
    return false;
}

int deviceFailure(Connection& c, const QString& text)
{
    qCWarning(lcOperation).noquote()
        << QStringLiteral("%1, after\n%2").arg(text, QString::fromStdString(c.device.lastExchange()));
    const bool attached = stillAttached(c);
    if (!attached)
        qCWarning(lcDevice).noquote() << "lost the device at" << c.path;
    c.failure = attached ? text : text + QStringLiteral(" (the device is no longer attached)");
    complain(c.failure);
    return kDeviceFailed;
}

// --- the commands ---

int listDevices(const Options& o)
{
    QJsonArray array;
    for (const AttachedDevice& a : attachedDevices()) {
        const QString model = listedModel(identifyAttached(a));
        const QString path = QString::fromStdString(a.path);
        if (o.json) {
            array << QJsonObject{{QStringLiteral("ids"), idsText(a.ids)},
                                 {QStringLiteral("family"), a.family},
                                 {QStringLiteral("model"), model},
                                 {QStringLiteral("path"), path}};
        } else {
            print(
                QStringLiteral("%1  family %2  %3  %4\n").arg(idsText(a.ids)).arg(a.family).arg(model, path));
        }
    }
    if (o.json)
        print(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    return kDone;
}

int showInfo(const Options& o, Connection& c)
{
    const DeviceIdentity& id = c.found.identity;
    if (o.json) {
        const QJsonObject object{{QStringLiteral("model"), id.strDevType},
                                 {QStringLiteral("family"), c.shape.family},
                                 {QStringLiteral("path"), c.path},
                                 {QStringLiteral("hardwareVersion"), id.strDevVer},
                                 {QStringLiteral("firmwareVersion"), id.strFirmware},
                                 {QStringLiteral("boardNumber"), id.strCardNum},
                                 {QStringLiteral("canChannels"), id.nCAN},
                                 {QStringLiteral("fibreChannels"), id.nFiberOptic}};
        print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented)));
        return kDone;
    }
    print(QStringLiteral("model: %1\nfamily: %2\npath: %3\nhardware version: %4\nfirmware version: %5\n"
                         "board number: %6\nCAN channels: %7\nfibre channels: %8\n")
              .arg(id.strDevType)
              .arg(c.shape.family)
              .arg(c.path, id.strDevVer, id.strFirmware, id.strCardNum)
              .arg(id.nCAN)
              .arg(id.nFiberOptic));
    return kDone;
}

int readToFile(const Options& o, Connection& c)
{
    config::Configuration configuration = config::defaultConfiguration(c.shape);
    const TransferResult result = session::readConfiguration(c.device, c.shape, &configuration);
    if (!result.ok)
        return deviceFailure(c, failureText(result, "read fail"));
    const QByteArray text = config::fileText(configuration, c.shape.canFd());
    if (o.output.isEmpty() || o.output == QLatin1String("-")) {
        output::data(text);
        return kDone;
    }
    // Text mode, as the window saves: the same bytes on every system.
    QSaveFile file(o.output);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text) || file.write(text) != text.size() ||
        !file.commit()) {
        complain(QStringLiteral("%1: %2").arg(o.output, file.errorString()));
        return kBadUsage;
    }
    return kDone;
}

// Reads the file whole (one byte more than the reader takes tells it the file is too large).
bool readTextFile(const QString& name, QByteArray* text)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        complain(QStringLiteral("%1: %2").arg(name, file.errorString()));
        return false;
    }
    *text = file.read(configfile::kMaxFileSize + 1);
    return true;
}

// True when the file sets every fibre and route, so the device's own need not be read first.
bool setsEverything(const config::Configuration& file, const config::Shape& shape)
{
    const int ports = shape.ports().count();
    if (file.fibreRates.size() < shape.nFiberOptic || file.routes.size() < ports)
        return false;
    for (int i = 0; i < shape.nFiberOptic; ++i) {
        if (shape.canFd() && file.fibreRates.at(i) == QLatin1String(fibre::kCustomText))
            return false;
    }
    for (int p = 0; p < ports; ++p) {
        if (file.routes.at(p).size() < ports)
            return false;
    }
    return true;
}

// The verify report; compare names its columns after the file and the device.
int reportDifferences(const Options& o, const QVector<config::Difference>& list)
{
    const bool compare = o.command == QLatin1String("compare");
    if (o.json) {
        QJsonArray array;
        for (const config::Difference& d : list)
            array << QJsonObject{
                {QStringLiteral("channel"), d.where},
                {QStringLiteral("field"), d.field},
                {compare ? QStringLiteral("file") : QStringLiteral("written"), d.written},
                {compare ? QStringLiteral("device") : QStringLiteral("readBack"), d.readBack}};
        print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("differences"), array}})
                                    .toJson(QJsonDocument::Indented)));
    } else if (list.isEmpty()) {
        print(compare ? QStringLiteral("same: the device holds %1\n").arg(o.operand)
                      : QStringLiteral("verified: the device holds what was written\n"));
    } else {
        print(compare ? QStringLiteral("channel\tfield\tfile\tdevice\n")
                      : QStringLiteral("channel\tfield\twritten\tread back\n"));
        for (const config::Difference& d : list)
            print(QStringLiteral("%1\t%2\t%3\t%4\n").arg(d.where, d.field, d.written, d.readBack));
    }
    return list.isEmpty() ? kDone : kDifferent;
}

// False, after listing them, when the findings keep the configuration from
// the device: any refusal, and without --force anything to be asked about.
bool checked(const Options& o, const config::Findings& findings)
{
    // compare writes nothing: only what keeps the file from the device counts there.
    const bool force = o.force || o.command == QLatin1String("compare");
    const config::Findings refusals = config::ofKind(findings, config::Finding::Kind::Refused);
    const config::Findings doubts = config::ofKind(findings, config::Finding::Kind::Asked);
    const config::Findings& shown = refusals.isEmpty() && force ? refusals : findings;
    for (const config::Finding& f : shown)
        complain(QStringLiteral("%1: %2").arg(o.operand, f.text()));
    if (refusals.isEmpty() && !doubts.isEmpty() && !force)
        complain(QStringLiteral("%1: add --force to write it anyway").arg(o.operand));
    return refusals.isEmpty() && (doubts.isEmpty() || force);
}

// The configuration the window would hold after opening the file on this
// device; current is the device's own when it had to be read.
int openFile(const Options& o, Connection& c, config::Configuration* current, config::Configuration* opened,
             bool readDevice)
{
    QByteArray text;
    if (!readTextFile(o.operand, &text))
        return kBadUsage;
    // One cell more than the device's ports tells the check that a route row is too long.
    const config::FileReadResult read =
        config::readFileText(text, c.shape.canFd(), c.shape.ports().count() + 1);
    if (!read.ok) {
        complain(QStringLiteral("%1: %2").arg(o.operand, read.error));
        return kBadUsage;
    }
    // The file is checked before anything, the device's own fibres and routes included, is read.
    *current = config::defaultConfiguration(c.shape);
    config::Findings findings = config::checkFile(read, c.shape);
    if (findings.isEmpty())
        findings = config::checkConfiguration(
            config::openedConfiguration(*current, read.configuration, c.shape), c.shape);
    if (!checked(o, findings))
        return kBadUsage;
    // What the window holds when the file is opened: the configuration it read at connection.
    if (readDevice || !setsEverything(read.configuration, c.shape)) {
        const TransferResult result = session::readConfiguration(c.device, c.shape, current);
        if (!result.ok)
            return deviceFailure(c, failureText(result, "read fail"));
    }
    *opened = config::openedConfiguration(*current, read.configuration, c.shape);
    return checked(o, config::checkConfiguration(*opened, c.shape)) ? kDone : kBadUsage;
}

int writeFile(const Options& o, Connection& c)
{
    config::Configuration current;
    config::Configuration written;
    const int opened = openFile(o, c, &current, &written, false);
    if (opened != kDone)
        return opened;
    const TransferResult result = session::writeConfiguration(c.device, c.shape, written);
    if (!result.ok)
        return deviceFailure(c, failureText(result, "write fail"));
    if (!o.verify)
        return kDone;
    const session::Verification verification = session::verify(c.device, c.shape, written);
    if (!verification.result.ok)
        return deviceFailure(c, failureText(verification.result, "read fail"));
    c.differences = verification.differences;
    return reportDifferences(o, c.differences);
}

// What a write of the file would find on verify, without the write.
int compareFile(const Options& o, Connection& c)
{
    config::Configuration current;
    config::Configuration fromFile;
    const int opened = openFile(o, c, &current, &fromFile, true);
    if (opened != kDone)
        return opened;
    return reportDifferences(o, config::differences(fromFile, current, c.shape));
}

bool confirmed(const Options& o, const Connection& c, const QString& question)
{
    if (o.yes)
        return true;
    if (!onTerminal(stdin)) {
        complain(QStringLiteral("%1 Add --yes to confirm.").arg(question));
        return false;
    }
    const QByteArray prompt = (question + QStringLiteral(" [y/N] ")).toUtf8();
    std::fwrite(prompt.constData(), 1, size_t(prompt.size()), stderr);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    Q_UNUSED(c);
    return answer[0] == 'y' || answer[0] == 'Y';
}

int restoreDefaults(const Options& o, Connection& c)
{
    const DeviceIdentity& id = c.found.identity;
    const QString question = QStringLiteral(
                                 "Restore the defaults of %1 (board %2)? The device's configuration will "
                                 "be overwritten.")
                                 .arg(id.strDevType, id.strCardNum);
    if (!confirmed(o, c, question))
        return kBadUsage;
    const TransferResult result = session::restoreDefaults(c.device, c.shape);
    return result.ok ? kDone : deviceFailure(c, failureText(result, "write fail"));
}

bool family2Only(const Connection& c, const Options& o)
{
    if (c.shape.canFd())
        return true;
    complain(QStringLiteral("%1: family-1 devices have no firmware commands").arg(o.command));
    return false;
}

int showFirmware(const Options& o, Connection& c)
{
    if (!family2Only(c, o))
        return kBadUsage;
    FirmwareVersions versions;
    const TransferResult result = session::queryFirmware(c.device, &versions);
    if (!result.ok)
        return deviceFailure(c, failureText(result, "query firmware info fail"));
    if (o.json)
        print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("bootloader"), versions.bootloader},
                                                          {QStringLiteral("firmware"), versions.firmware}})
                                    .toJson(QJsonDocument::Indented)));
    else
        print(QStringLiteral("bootloader: %1\nfirmware: %2\n").arg(versions.bootloader, versions.firmware));
    return kDone;
}

// A line on standard error, redrawn at most ten times a second.
UpgradeProgress terminalProgress(int* maximum, QElapsedTimer* clock, qint64* shownAt)
{
    UpgradeProgress progress;
    progress.setRange = [maximum, clock](int m) {
        *maximum = m;
        clock->start();
    };
    progress.setValue = [maximum, clock, shownAt](int value) {
        const qint64 now = clock->elapsed();
        if (value < *maximum && now - *shownAt < 100)
            return;
        *shownAt = now;
        const qint64 left = value > 0 ? now * (*maximum - value) / value / 1000 : 0;
        const QByteArray line = QStringLiteral("\rblock %1/%2  %3%  about %4 s left ")
                                    .arg(value)
                                    .arg(*maximum)
                                    .arg(*maximum > 0 ? 100 * qint64(value) / *maximum : 0)
                                    .arg(left)
                                    .toUtf8();
        std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    };
    return progress;
}

int upgrade(const Options& o, Connection& c)
{
    if (!family2Only(c, o))
        return kBadUsage;
    QByteArray image;
    const TransferResult file = readFirmwareFile(o.operand, &image);
    if (!file.ok) {
        complain(QStringLiteral("%1: %2").arg(o.operand, failureText(file, "file open faild")));
        return kBadUsage;
    }
    const config::Findings findings = config::checkFirmwareImage(image);
    if (!findings.isEmpty()) {
        complain(QStringLiteral("%1: %2").arg(o.operand, config::findingsText(findings)));
        return kBadUsage;
    }
    // The window's question, asked on a terminal; a script says --yes.
    const DeviceIdentity& id = c.found.identity;
    if (!confirmed(o, c,
                   session::upgradeQuestion(id.strDevType, id.strFirmware, QFileInfo(o.operand).fileName(),
                                            image.size())))
        return kBadUsage;
    int maximum = 0;
    qint64 shownAt = -1000;
    QElapsedTimer clock;
    const bool showProgress = onTerminal(stderr) && output::interactive() && !o.quiet && !o.verbose;
    qCInfo(lcOperation).noquote() << QStringLiteral("upgrade: %1 bytes of %2 in %3 blocks")
                                         .arg(image.size())
                                         .arg(o.operand)
                                         .arg((image.size() + 31) / 32);
    const TransferResult result = session::upgradeFirmware(
        c.device, image, showProgress ? terminalProgress(&maximum, &clock, &shownAt) : UpgradeProgress());
    if (showProgress)
        complain(QString());
    if (!result.ok)
        return deviceFailure(c, failureText(result, "update fail"));
    if (!o.json)
        print(QStringLiteral("update success\n"));
    return kDone;
}

// Appends the operation's record to the history; one that cannot be written is only a warning.
int recorded(const Options& o, const Connection& c, int code)
{
    if (code == kBadUsage)
        return code;  // refused before anything was sent
    history::Record r;
    r.program = QStringLiteral("corvelle-cli");
    r.operation = o.command;
    r.devicePath = c.path;
    r.model = c.found.identity.strDevType;
    r.boardNumber = c.found.identity.strCardNum;
    r.firmware = c.found.identity.strFirmware;
    if (!o.operand.isEmpty()) {
        r.file = QFileInfo(o.operand).absoluteFilePath();
        r.sha256 = history::fileSha256(o.operand);
    }
    r.result = code == kDone        ? QStringLiteral("ok")
               : code == kDifferent ? QStringLiteral("different")
                                    : QStringLiteral("failed");
    r.message = c.failure;
    r.differences = c.differences;
    const QString error = history::append(r);
    if (!error.isEmpty())
        complain(QStringLiteral("warning: the history could not be written: %1").arg(error));
    return code;
}

}  // namespace

QStringList attachedPaths()
{
    QStringList paths;
    for (const AttachedDevice& a : attachedDevices())
        paths << QString::fromStdString(a.path);
    return paths;
}

bool confirmedOnce(const Options& o, const QString& question)
{
    Connection none;
    return confirmed(o, none, question);
}

int checkBeforeDevice(const Options& o)
{
    if (o.command == QLatin1String("upgrade") && !o.force &&
        !o.operand.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive)) {
        complain(QStringLiteral("%1: the name does not end in \".bin\"; add --force to flash it anyway")
                     .arg(o.operand));
        return kBadUsage;
    }
    if (o.command == QLatin1String("write") || o.command == QLatin1String("compare")) {
        // A file that is no configuration at all is refused before the device is touched.
        QByteArray text;
        if (!readTextFile(o.operand, &text))
            return kBadUsage;
        const config::FileReadResult read = config::readFileText(text, true, 0);
        if (!read.ok) {
            complain(QStringLiteral("%1: %2").arg(o.operand, read.error));
            return kBadUsage;
        }
    }
    return kDone;
}

int runOnDevice(const Options& o)
{
    Connection c;
    const int connected = connect(o, c);
    if (connected != kDone)
        return connected;
    if (o.command == QLatin1String("info"))
        return showInfo(o, c);
    if (o.command == QLatin1String("read"))
        return readToFile(o, c);
    if (o.command == QLatin1String("write"))
        return recorded(o, c, writeFile(o, c));
    if (o.command == QLatin1String("compare"))
        return compareFile(o, c);
    if (o.command == QLatin1String("defaults"))
        return recorded(o, c, restoreDefaults(o, c));
    if (o.command == QLatin1String("firmware"))
        return showFirmware(o, c);
    return recorded(o, c, upgrade(o, c));
}

int run(const Options& o)
{
    if (o.command == QLatin1String("list"))
        return listDevices(o);
    if (o.command == QLatin1String("history"))
        return printHistory(o);
    DeviceOutput output(o, DeviceOutput::Single, o.devicePath);
    int code = checkBeforeDevice(o);
    if (code == kDone)
        code = runOnDevice(o);
    output.finish(code);
    return code;
}

}  // namespace cli
