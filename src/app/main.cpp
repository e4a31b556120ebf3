#include <QApplication>
#include <QLabel>

#include "device/HIDDevice.h"

int main(int argc, char* argv[])
{
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);
    QApplication app(argc, argv);
    HIDDevice::init();
    QLabel label("Corvelle Repeater");
    label.show();
    const int result = app.exec();
    HIDDevice::exit();
    return result;
}
