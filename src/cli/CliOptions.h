#pragma once
// corvelle-cli's command line: one command, its operands and the options,
// in any order.

#include <QString>
#include <QStringList>

namespace cli {

// The program's exit codes.
enum Exit {
    kDone = 0,
    kDeviceFailed = 1,  // the device refused or failed
    kBadUsage = 2,      // bad usage or a bad file
    kDifferent = 3,     // verify found a difference
    kNoDevice = 4,      // no device, or access denied
};

struct Options {
    // list, info, read, write, compare, defaults, firmware, upgrade, history; empty: none given
    QString command;
    QString operand;          // write's and compare's FILE, upgrade's IMAGE
    QString output;           // read -o FILE
    QString devicePath;       // the one device a command runs on; empty: the first found
    QStringList devicePaths;  // every --device, in order
    bool all = false;         // every attached device
    bool eachNew = false;     // each device as it arrives
    int count = 0;            // --each-new ends after this many devices; 0: when interrupted
    bool simulate = false;
    QStringList simulateValues;  // one virtual device each
    int simLatencyMs = 0;
    QString recordFile;  // --record: the session recorded to this file
    QString replayFile;  // --replay: a recording served as the device
    bool replayTiming = false;
    bool verbose = false;  // -v: the log lines and every exchange on standard error
    bool json = false;
    bool quiet = false;
    bool verify = false;
    bool yes = false;
    bool force = false;
    bool help = false;
    bool version = false;
    QString error;  // a usage error; empty when the line is good
};

// arguments[0] is the program.
Options parseOptions(const QStringList& arguments);

// "--name=value" is split into the option and its value; false for any other argument.
bool splitInlineValue(QString* argument, QString* value);

// True when the command runs on several devices (or on each new one), each
// on a thread of its own, every output line naming its device.
bool severalDevices(const Options& options);
QString usageText();

}  // namespace cli
