// The configuration file into the model alone, no widget: read for both
// families, opened onto the defaults of a small and a large device, checked
// as a write would check it, turned into every write request, and written
// back to text.

#include "config/Configuration.h"

#include <QByteArray>

namespace {

void exercise(const QByteArray& text, const config::Shape& shape)
{
    const config::FileReadResult read = config::readFileText(text, shape.canFd(), shape.ports().count());
    if (!read.ok)
        return;
    config::Configuration opened =
        config::openedConfiguration(config::defaultConfiguration(shape), read.configuration, shape);
    config::ConfigurationTransfer transfer(opened, shape);
    if (transfer.check().isEmpty()) {
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
    config::fileText(opened, shape.canFd());
    config::differences(opened, read.configuration, shape);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    exercise(text, {1, 2, 1, 1});
    exercise(text, {1, 4, 4, 1});
    exercise(text, {2, 2, 16, 2});
    exercise(text, {2, 4, 2, 1});
    return 0;
}
