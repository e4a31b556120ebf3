#pragma once
// End-to-end tests: the real main window against the virtual device. A test
// plugs a device in, builds the window, lets its search and the automatic
// read finish, then drives the window's buttons and checks what reached the
// device (its requests, its stored state) and what the user saw (the boxes
// recorded by RecordingDialogs).

#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "editors/CANParamWidget.h"
#include "sim/VirtualBus.h"
#include "widgets/CheckButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <memory>

namespace e2e {

// The virtual bus as the HID backend, for the whole test program.
inline void installVirtualBus()
{
    sim::VirtualBus::instance().install();
    HIDDevice::init();
}

// English texts: the window reads its language from Config.ini beside the
// test program (each test program has a folder of its own).
inline void useEnglish()
{
    QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/Config.ini"), QSettings::IniFormat)
        .setValue(QStringLiteral("Language/id"), 1);
}

inline sim::VirtualDevice& plug(int family, const char* model)
{
    sim::VirtualDevice& device = sim::VirtualBus::instance().plug(family, *models::modelByName(model));
    device.setInstantTimeouts(true);
    QCoreApplication::sendPostedEvents();
    return device;
}

// The search threads have ended and their result (with the automatic read
// that follows a connection) has reached the window.
inline void settle()
{
    searchthreads::waitForAll(10000);
    QCoreApplication::sendPostedEvents();
}

// A window connected to the device already plugged in.
inline std::unique_ptr<CorvelleRepeater> connectedWindow()
{
    useEnglish();
    auto window = std::make_unique<CorvelleRepeater>();
    settle();
    return window;
}

template <typename T = QWidget>
T* child(const QWidget& w, const char* name)
{
    return w.findChild<T*>(QString::fromLatin1(name));
}

inline void click(const QWidget& w, const char* buttonName)
{
    child<QPushButton>(w, buttonName)->click();
}

// The editor of CAN channel i (tab i, from 0).
inline CANParamWidget* canEditor(const QWidget& w, int i)
{
    QWidget* page = child<QTabWidget>(w, "tabWidget")->widget(i);
    return page ? page->findChild<CANParamWidget*>(QStringLiteral("CANParamWidget")) : nullptr;
}

inline QComboBox* fibreSelector(const QWidget& w, int i)
{
    return child<QComboBox>(w, QStringLiteral("comBox_%1").arg(i).toLatin1().constData());
}

inline QLineEdit* fibreCustomEdit(const QWidget& w, int i)
{
    return child<QLineEdit>(w, QStringLiteral("lineedit_%1").arg(i).toLatin1().constData());
}

// The route cell from source port s to destination port d (ports from 0).
inline CheckButton* routeCell(const QWidget& w, int s, int d)
{
    return qobject_cast<CheckButton*>(child<QTableWidget>(w, "tableWidgetRoute")->cellWidget(s + 1, d + 2));
}

// The requests the device received, as lower-case hexadecimal text without blanks.
inline QStringList requestsHex(const sim::VirtualDevice& device)
{
    QStringList out;
    for (const QByteArray& r : device.requests())
        out << QString::fromLatin1(r.toHex());
    return out;
}

}  // namespace e2e
