#pragma once
// End-to-end tests: the real main window against the virtual device. A test
// plugs a device in, builds the window, lets its search and the automatic
// read finish, then drives the window's buttons and checks what reached the
// device (its requests, written out in hexadecimal) and what the user saw
// (the boxes recorded by RecordingDialogs).

#include "RecordingDialogs.h"

#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "editors/CANParamWidget.h"
#include "sim/VirtualBus.h"
#include "widgets/CheckButton.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
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

// Config.ini beside the test program (each has a folder of its own): "1" is
// English, "" removes the file.
inline void writeLanguageId(const QString& id)
{
    const QString path = QCoreApplication::applicationDirPath() + QStringLiteral("/Config.ini");
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.clear();
        if (!id.isEmpty())
            settings.setValue(QStringLiteral("Language/id"), id);
    }
    if (id.isEmpty())
        QFile::remove(path);
}

// Writes the file and gives its path.
inline QString fileWith(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

inline void useEnglish()
{
    writeLanguageId(QStringLiteral("1"));
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
    auto window = std::make_unique<CorvelleRepeater>();
    settle();
    return window;
}

template <typename T = QWidget>
T* child(const QObject& w, const char* name)
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

inline int filterRowCount(const QWidget& w, int channel)
{
    return canEditor(w, channel)->filterRows().size();
}

inline void selectRate(CANParamWidget* editor, const char* combo, const char* text)
{
    auto* box = child<QComboBox>(*editor, combo);
    box->setCurrentIndex(box->findText(QString::fromLatin1(text)));
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

// "00 12 a4 01 02" as the lower-case hexadecimal of a whole report: the bytes
// given, then zeros up to the report length of the family.
inline QString report(int family, const QString& spacedHex)
{
    return QString(spacedHex)
        .remove(QLatin1Char(' '))
        .toLower()
        .leftJustified(family == 1 ? 34 : 96, QLatin1Char('0'));
}
inline QString report1(const QString& spacedHex)
{
    return report(1, spacedHex);
}
inline QString report2(const QString& spacedHex)
{
    return report(2, spacedHex);
}

inline QString hex2(int byte)
{
    return QStringLiteral("%1").arg(byte, 2, 16, QLatin1Char('0'));
}

// The timing and the 14 banks of a family-1 channel with one filter row:
// mask mode, 32 bits, ID and mask 0.
inline QStringList family1Channel(int c, const char* timing)
{
    QStringList r{report1(QStringLiteral("00 12 23 06 00 %1 %2").arg(hex2(c), QLatin1String(timing)))};
    r << report1(QStringLiteral("00 12 24 0b 00 %1 01").arg(hex2(0x80 | c)));
    for (int b = 1; b < 14; ++b)
        r << report1(QStringLiteral("00 12 24 0b %1 %2").arg(hex2(b), hex2(c)));
    return r;
}

// The requests the device received from number `from` (from 0) on, as
// lower-case hexadecimal without blanks.
inline QStringList requestsHex(const sim::VirtualDevice& device, int from = 0)
{
    QStringList out;
    for (const QByteArray& r : device.requests().mid(from))
        out << QString::fromLatin1(r.toHex());
    return out;
}

inline int requestCount(const sim::VirtualDevice& device)
{
    return device.requests().size();
}

inline int countStartingWith(const QStringList& requests, const char* spacedHex)
{
    const QString prefix = QString::fromLatin1(spacedHex).remove(QLatin1Char(' ')).toLower();
    int n = 0;
    for (const QString& r : requests)
        n += r.startsWith(prefix) ? 1 : 0;
    return n;
}

// A fault of the virtual device matched by the first bytes of a request.
inline sim::FaultMatch startingWith(const QByteArray& spacedHex)
{
    return sim::FaultMatch::requestStartingWith(QByteArray::fromHex(spacedHex));
}

// Every value the editors, the device name and the firmware labels show, one
// per line: the named controls of each CAN editor (its filter table as rows),
// each fibre selector with the custom rate while "custom" is chosen, and
// every route cell.
inline QStringList editorSnapshot(const QWidget& window)
{
    QStringList lines{child<QLineEdit>(window, "m_pLineEditDevName")->text(),
                      child<QLabel>(window, "label_Bootloader")->text() + QLatin1Char('/') +
                          child<QLabel>(window, "label_Firmware")->text()};
    for (int i = 0; const CANParamWidget* e = canEditor(window, i); ++i) {
        for (const QComboBox* c : e->findChildren<QComboBox*>(QRegularExpression(QStringLiteral(".+"))))
            lines << QStringLiteral("can%1 %2 %3/%4")
                         .arg(i)
                         .arg(c->objectName())
                         .arg(c->currentIndex())
                         .arg(c->count());
        for (const QLineEdit* l : e->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral(".+"))))
            lines << QStringLiteral("can%1 %2 '%3'").arg(i).arg(l->objectName(), l->text());
        for (const can::FilterRow& r : e->filterRows())
            lines << QStringLiteral("can%1 filter %2 %3 %4/%5")
                         .arg(i)
                         .arg(r.kind)
                         .arg(r.mode)
                         .arg(r.idText, r.maskText);
    }
    for (int i = 0; const QComboBox* selector = fibreSelector(window, i); ++i) {
        const QLineEdit* edit = fibreCustomEdit(window, i);
        lines << QStringLiteral("fibre%1 %2 %3")
                     .arg(i)
                     .arg(selector->currentIndex())
                     .arg(edit && !edit->isHidden() ? edit->text() : QString());
    }
    const auto* table = child<QTableWidget>(window, "tableWidgetRoute");
    for (int r = 0; r < table->rowCount(); ++r) {
        QString row = QStringLiteral("route%1").arg(r);
        for (int c = 0; c < table->columnCount(); ++c) {
            if (const auto* cell = qobject_cast<const CheckButton*>(table->cellWidget(r, c)))
                row += cell->isOn() ? (cell->isEnabled() ? " 1" : " 1-") : (cell->isEnabled() ? " 0" : " 0-");
        }
        lines << row;
    }
    return lines;
}

// What keeps the editors from being a whole set (an editor per CAN page, the
// route matrix over the CAN and fibre ports); empty when they are one, also
// when they are all gone, as after a removal.
inline QString wholenessProblem(const QWidget& window)
{
    const int pages = child<QTabWidget>(window, "tabWidget")->count();
    int ports = pages;
    while (fibreSelector(window, ports - pages))
        ++ports;
    const int rows = child<QTableWidget>(window, "tableWidgetRoute")->rowCount();
    if (ports == 0 && rows == 0)
        return QString();
    for (int i = 0; i < pages; ++i) {
        if (!canEditor(window, i))
            return QStringLiteral("CAN page %1 has no editor").arg(i);
    }
    if (rows != ports + 1)
        return QStringLiteral("%1 route rows for %2 ports").arg(rows).arg(ports);
    for (int p = 0; p < ports * ports; ++p) {
        if (!routeCell(window, p / ports, p % ports))
            return QStringLiteral("no route cell %1 to %2").arg(p / ports).arg(p % ports);
    }
    return QString();
}

// The fixture of the window test programs: the virtual bus as the HID
// backend, English, the boxes recorded and cleared before each test, every
// device unplugged after it.
class WindowTest : public QObject {
    Q_OBJECT

protected:
    RecordingDialogs m_dialogs;

protected slots:
    void initTestCase() { installVirtualBus(); }
    void cleanupTestCase() { HIDDevice::exit(); }
    void init()
    {
        useEnglish();
        m_dialogs.clear();
        m_dialogs.fileAnswers.clear();
    }
    void cleanup()
    {
        sim::VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
    }
};

}  // namespace e2e
