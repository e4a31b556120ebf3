#include "DeviceSession.h"

#include "config/Validation.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "device/Protocol.h"

#include <QCoreApplication>

namespace session {

namespace {

bool hasShape(const config::Configuration& c, const config::Shape& shape)
{
    return c.channels.size() == shape.nCAN && c.fibreRates.size() == shape.nFiberOptic &&
           c.routes.size() == shape.ports().count();
}

}  // namespace

config::Shape shapeOf(const SearchResult& found)
{
    return {found.driveType, found.identity.nCAN, found.identity.nFiberOptic,
            config::modeCountFor(found.hardwareType)};
}

TransferResult readConfiguration(HIDDevice& device, const config::Shape& shape,
                                 config::Configuration* configuration)
{
    if (!hasShape(*configuration, shape))
        *configuration = config::defaultConfiguration(shape);
    for (config::CanChannel& channel : configuration->channels)
        channel.filters.clear();
    config::ConfigurationTransfer sink(*configuration, shape);
    return shape.canFd() ? readFamily2Config(device, shape.nCAN, shape.nFiberOptic, sink)
                         : readFamily1Config(device, shape.nCAN, shape.nFiberOptic, sink);
}

TransferResult writeConfiguration(HIDDevice& device, const config::Shape& shape,
                                  const config::Configuration& configuration)
{
    config::Configuration sent = configuration;
    config::ConfigurationTransfer source(sent, shape);
    const TransferResult result = shape.canFd()
                                      ? writeFamily2Config(device, shape.nCAN, shape.nFiberOptic, source)
                                      : writeFamily1Config(device, shape.nCAN, source);
    // A channel the check should have refused ends the write with the check's message.
    if (!result.ok && result.message.isEmpty() && !source.lastRefusal().isEmpty())
        return {false, source.lastRefusal()};
    return result;
}

TransferResult restoreDefaults(HIDDevice& device, const config::Shape& shape)
{
    if (!shape.canFd())
        return writeConfiguration(device, shape, config::family1Defaults(shape));
    if (!sendFamily2Defaults(device))
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "set default fail"));
    return TransferResult::success();
}

TransferResult queryFirmware(HIDDevice& device, FirmwareVersions* versions)
{
    if (!queryFirmwareVersions(device, versions))
        return TransferResult::failure(QT_TRANSLATE_NOOP("CorvelleRepeater", "query firmware info fail"));
    return TransferResult::success();
}

TransferResult upgradeFirmware(HIDDevice& device, const QByteArray& image, const UpgradeProgress& progress)
{
    const config::Findings findings = config::checkFirmwareImage(image);
    if (!findings.isEmpty())
        return {false, findings.first().what};
    return ::upgradeFirmware(device, image, progress);
}

QString upgradeQuestion(const QString& model, const QString& firmware, const QString& fileName, qint64 size)
{
    constexpr int kBlock = protocol::f2::kUpgradeBlockSize;
    const qint64 blocks = (size + kBlock - 1) / kBlock;
    // Two source texts rather than a plural form: the English catalogue holds none.
    QString text =
        (blocks == 1
             ? QCoreApplication::translate("CorvelleRepeater",
                                           "Upgrade the firmware of %1 (now %2) with %3: %4 bytes in 1 "
                                           "block? The device's firmware will be overwritten.")
             : QCoreApplication::translate("CorvelleRepeater",
                                           "Upgrade the firmware of %1 (now %2) with %3: %4 bytes in %5 "
                                           "blocks? The device's firmware will be overwritten."))
            .arg(model,
                 firmware.isEmpty() ? QCoreApplication::translate("CorvelleRepeater", "unknown") : firmware,
                 fileName)
            .arg(size);
    if (blocks != 1)
        text = text.arg(blocks);
    if (!fileName.endsWith(QLatin1String(".bin"), Qt::CaseInsensitive))
        text = QCoreApplication::translate(
                   "CorvelleRepeater",
                   "Warning: the file name does not end in \".bin\"; it may not be a firmware image.") +
               QLatin1String("\n\n") + text;
    return text;
}

Verification verify(HIDDevice& device, const config::Shape& shape, const config::Configuration& written)
{
    Verification verification;
    config::Configuration readBack = config::defaultConfiguration(shape);
    verification.result = readConfiguration(device, shape, &readBack);
    if (verification.result.ok)
        verification.differences = config::differences(written, readBack, shape);
    return verification;
}

}  // namespace session
