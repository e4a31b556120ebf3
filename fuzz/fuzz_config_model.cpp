// The configuration file into the model alone, no widget: read for one of
// the families, opened onto the defaults of a small and a large device, checked
// as a write would check it, turned into every write request, compared, and
// (the large device) written back to text.

#include "config/Configuration.h"
#include "config/Validation.h"

#include <QByteArray>

namespace {

// More cells than any device's route row has.
constexpr int kMaxCells = 20;

void exercise(const config::FileReadResult& read, const config::Shape& shape, bool writeText)
{
    config::Configuration opened =
        config::openedConfiguration(config::defaultConfiguration(shape), read.configuration, shape);
    config::ConfigurationTransfer transfer(opened, shape);
    config::checkFile(read, shape);
    if (config::ofKind(config::checkConfiguration(opened, shape), config::Finding::Kind::Refused).isEmpty()) {
        for (int c = 0; c < shape.nCAN; ++c) {
            if (shape.canFd()) {
                Family2ChannelSettings settings;
                transfer.channelSettings(c, &settings);
                transfer.filterCommands(c + 1);
            } else {
                QByteArray timing;
                QList<QByteArray> banks;
                transfer.channelRequests(c + 1, &timing, &banks);
            }
        }
        shape.canFd() ? transfer.fibreBaudBytes(0) : transfer.fibreRequest();
        transfer.routeRequest();
    }
    if (writeText)
        config::fileText(opened, shape.canFd());
    config::differences(opened, read.configuration, shape);
}

}  // namespace

// The last byte chooses the family, so that every input is parsed once.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const bool canFd = data[size - 1] & 1;
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    const config::FileReadResult read = config::readFileText(text, canFd, kMaxCells);
    if (!read.ok)
        return 0;
    if (canFd) {
        exercise(read, {2, 2, 16, 2}, true);
        exercise(read, {2, 4, 2, 1}, false);
    } else {
        exercise(read, {1, 2, 1, 1}, false);
        exercise(read, {1, 4, 4, 1}, true);
    }
    return 0;
}
