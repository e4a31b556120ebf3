#pragma once
// What both programs do with a device, once: identify it, read its
// configuration into the model, write a model to it, restore its defaults,
// query and upgrade its firmware, and verify a write by reading back. The
// window runs these on a worker thread and applies the model to its editors;
// corvelle-cli runs them on its own thread and prints the model.

#include "config/Configuration.h"
#include "operations/ConfigTransfer.h"
#include "operations/Firmware.h"

#include <QVector>

class HIDDevice;
struct SearchResult;

namespace session {

// The shape of the device a search identified (its family, channel counts and modes).
config::Shape shapeOf(const SearchResult& found);

// Reads the whole configuration into *configuration: its filter rows are
// cleared first, then every value is replaced as the device answers. A read
// that fails half way leaves what was read before the fault, and the rest as
// it was. A configuration not of this shape starts from the defaults.
TransferResult readConfiguration(HIDDevice& device, const config::Shape& shape,
                                 config::Configuration* configuration);

// Sends a configuration that config::checkConfiguration does not refuse.
TransferResult writeConfiguration(HIDDevice& device, const config::Shape& shape,
                                  const config::Configuration& configuration);

// Family 2 sends its restore command; family 1 has none, and is written
// config::family1Defaults instead.
TransferResult restoreDefaults(HIDDevice& device, const config::Shape& shape);

TransferResult queryFirmware(HIDDevice& device, FirmwareVersions* versions);

// Refuses an empty image before anything is sent.
TransferResult upgradeFirmware(HIDDevice& device, const QByteArray& image, const UpgradeProgress& progress);

// The question asked before an upgrade, translated: model, firmware version
// now (empty: unknown), the image's file name, size and blocks, and a warning
// first when the name does not end in ".bin".
QString upgradeQuestion(const QString& model, const QString& firmware, const QString& fileName, qint64 size);

// A write checked by reading the configuration back into a second model.
struct Verification {
    TransferResult result;  // of the read
    QVector<config::Difference> differences;
};
Verification verify(HIDDevice& device, const config::Shape& shape, const config::Configuration& written);

}  // namespace session
