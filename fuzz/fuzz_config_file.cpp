// The configuration-file reader: parsing the whole document, then applying
// every channel object to a classic and a CAN FD editor (offscreen), and the
// route rows.

#include "config/ConfigFile.h"
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

    const configfile::ParseResult r =
        configfile::parse(QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size)));
    if (!r.ok)
        return 0;
    int applied = 0;
    for (const QJsonObject& channel : r.document.channels) {
        if (++applied > 4)  // the largest devices have four CAN channels
            break;
        classic->clearFilters();
        classic->loadCanParamJson(channel);
        canFd->clearFilters();
        canFd->loadCanFDParamJson(channel);
        classic->canParamJson();
        canFd->canFDParamJson();
    }
    for (const QString& s : r.document.route)
        configfile::parseRouteString(s);
    return 0;
}
