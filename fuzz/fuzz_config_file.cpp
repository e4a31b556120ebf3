// The configuration file through the window's editors: read into the model,
// then every channel applied to a classic and a CAN FD editor (offscreen) and
// taken back. The filter cells that each load replaces are deleted later, so
// the deferred deletions run after every input.

#include "config/Configuration.h"
#include "editors/CANParamWidget.h"

#include <QApplication>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_config_file";
    static char* argv[] = {name, nullptr};
    static QApplication* app = (qputenv("QT_QPA_PLATFORM", "offscreen"), new QApplication(argc, argv));
    static CANParamWidget* classic = new CANParamWidget(nullptr, 1);
    static CANParamWidget* canFd = new CANParamWidget(nullptr, 2);
    (void)app;

    const QByteArray text = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    for (bool fd : {false, true}) {
        const config::FileReadResult r = config::readFileText(text, fd, 8);
        if (!r.ok)
            return 0;
        CANParamWidget* editor = fd ? canFd : classic;
        int applied = 0;
        for (const config::CanChannel& channel : r.configuration.channels) {
            if (++applied > 4)  // the largest devices have four CAN channels
                break;
            editor->setChannelConfig(channel);
            editor->channelConfig();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
