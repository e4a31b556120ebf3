#include "Fleet.h"

#include "Commands.h"
#include "Output.h"

#include <thread>
#include <vector>

namespace cli {

int runOnPath(const Options& options, const QString& path)
{
    Options one = options;
    one.devicePath = path;
    one.yes = true;  // asked once before the first device
    DeviceOutput output(one, options.json ? DeviceOutput::Json : DeviceOutput::Lines, path);
    const int code = runOnDevice(one);
    output.finish(code);
    return code;
}

int checkBeforeSeveral(const Options& options, const QString& devices)
{
    DeviceOutput output(options, DeviceOutput::Single);
    int code = checkBeforeDevice(options);
    if (code == kDone && options.command == QLatin1String("defaults") &&
        !confirmedOnce(options, QStringLiteral("Restore the defaults of %1? Their configurations will be "
                                               "overwritten.")
                                    .arg(devices)))
        code = kBadUsage;
    if (code != kDone)
        output.finish(code);
    return code;
}

int refuse(const Options& options, const QString& text, int exitCode)
{
    DeviceOutput output(options, DeviceOutput::Single);
    output::error(text);
    output.finish(exitCode);
    return exitCode;
}

int runOnSeveral(const Options& options)
{
    QStringList paths = options.all ? attachedPaths() : QStringList();
    for (const QString& path : options.devicePaths) {
        if (!paths.contains(path))
            paths << path;
    }
    if (paths.isEmpty())
        return refuse(options, QStringLiteral("no device found"), kNoDevice);
    const int checked = checkBeforeSeveral(options, QStringLiteral("%1 devices").arg(paths.size()));
    if (checked != kDone)
        return checked;
    std::vector<int> codes(std::size_t(paths.size()), kDone);
    std::vector<std::thread> threads;
    for (int i = 0; i < paths.size(); ++i)
        threads.emplace_back(
            [&options, &codes, path = paths.at(i), i] { codes[i] = runOnPath(options, path); });
    int worst = kDone;
    for (std::size_t i = 0; i < threads.size(); ++i) {
        threads[i].join();
        worst = worseExit(worst, codes[i]);
    }
    return worst;
}

}  // namespace cli
