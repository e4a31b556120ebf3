// Makes the recordings of this folder from the virtual device, each with a
// fault it shows, by running corvelle-cli's commands in this process with
// the session recorded:
//   make_recordings DIR
// writes DIR/NAME.rec, DIR/NAME.out (what the command wrote) and prints
// the lines of expected.txt. Review them before they replace the old ones.

#include "cli/CliOptions.h"
#include "cli/Commands.h"
#include "device/HIDDevice.h"
#include "device/RecordingBackend.h"
#include "sim/VirtualBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTextStream>

#include <cstdio>
#include <functional>

#include <fcntl.h>
#include <unistd.h>

namespace {

struct Case {
    const char* name;
    int family;
    const char* model;
    const char* command;  // corvelle-cli's arguments
    std::function<void(sim::VirtualDevice&)> fault;
};

sim::FaultMatch startingWith(const char* spacedHex)
{
    return sim::FaultMatch::requestStartingWith(QByteArray::fromHex(spacedHex));
}

const Case kCases[] = {
    {"d5-read", 2, "Vantor-D5", "read", nullptr},
    {"a2-read", 1, "Vantor-A2", "read", nullptr},
    {"d5-info", 2, "Vantor-D5", "info", nullptr},
    {"d5-firmware", 2, "Vantor-D5", "firmware", nullptr},
    // The third fibre's answer comes after the read's 100 ms.
    {"d5-late-answer", 2, "Vantor-D5", "read",
     [](sim::VirtualDevice& d) { d.injectFault(startingWith("01 13 06 00 10 03"), sim::Fault::delay(150)); }},
    // The second channel's configuration comes back with 20 of its 48 bytes.
    {"d5-short-answer", 2, "Vantor-D5", "read",
     [](sim::VirtualDevice& d) {
         d.injectFault(startingWith("01 13 04 00 10 00 02"), sim::Fault::shortAnswer(20));
     }},
    // The first channel's bit timing is answered with 0x00 where 0x86 belongs.
    {"a2-wrong-status", 1, "Vantor-A2", "read",
     [](sim::VirtualDevice& d) { d.injectFault(startingWith("00 12 a4 01 01"), sim::Fault::status(0x00)); }},
    // The version query is answered with status 1.
    {"d5-firmware-refused", 2, "Vantor-D5", "firmware",
     [](sim::VirtualDevice& d) { d.injectFault(startingWith("01 15 04 03"), sim::Fault::status(0x01)); }},
    // The device leaves the bus at the second channel's filter read.
    {"d5-unplug", 2, "Vantor-D5", "read",
     [](sim::VirtualDevice& d) {
         d.injectFault(startingWith("01 13 05 00 10 00 02"), sim::Fault::unplug());
     }},
};

// Runs the command with standard output and error into files; the exit code.
int runCommand(const QStringList& arguments, const QString& out, const QString& err)
{
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1);
    const int savedErr = dup(2);
    const int outFile = open(out.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFile = open(err.toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(outFile, 1);
    dup2(errFile, 2);
    const int code = cli::run(cli::parseOptions(arguments));
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(outFile);
    close(errFile);
    close(savedOut);
    close(savedErr);
    return code;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    // The messages of the commands only, as corvelle-cli shows them without -v.
    QLoggingCategory::setFilterRules(QStringLiteral("corvelle.*=false"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_recordings DIR\n");
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    sim::VirtualBus& bus = sim::VirtualBus::instance();
    bus.install();
    HIDDevice::init();
    QTextStream lines(stdout);
    for (const Case& c : kCases) {
        bus.unplugAll();
        sim::VirtualDevice& device = bus.plug(c.family, *models::modelByName(QLatin1String(c.model)));
        device.setInstantTimeouts(true);
        if (c.fault)
            c.fault(device);
        const QString name = QLatin1String(c.name);
        QString error;
        if (!recording::startRecording(dir.filePath(name + ".rec"),
                                       QStringLiteral("corvelle-cli " CORVELLE_VERSION), &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        const QStringList arguments = QStringList{QStringLiteral("corvelle-cli")} +
                                      QString::fromLatin1(c.command).split(QLatin1Char(' '));
        const QString errFile = dir.filePath(name + ".err");
        const int code = runCommand(arguments, dir.filePath(name + ".out"), errFile);
        recording::stopRecording();
        QFile err(errFile);
        err.open(QIODevice::ReadOnly);
        const QString message = QString::fromUtf8(err.readLine()).trimmed();
        err.close();
        err.remove();
        if (QFile(dir.filePath(name + ".out")).size() == 0)
            QFile::remove(dir.filePath(name + ".out"));
        lines << name << ".rec | " << c.command << " | " << code << " | "
              << (message.isEmpty() ? "-" : message) << '\n';
        lines.flush();
    }
    HIDDevice::exit();
    return 0;
}
