// Renders every page of a few virtual devices at the window's first size, in
// English and in Chinese, into PNG files named MODEL-LANGUAGE-PAGE.png (with
// the route matrix scrolled to its far corner and an information box), so
// that every screen can be looked at in a minute. Run it on a display (the
// scripts/screenshots wrapper starts Xvfb):
//   corvelle-screenshots OUTPUT_FOLDER
#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "sim/VirtualBus.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QScrollBar>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextStream>

namespace {

struct Shot {
    int family;
    const char* model;
};

constexpr Shot kShots[] = {{1, "Vantor-A2"}, {1, "Vantor-B8"}, {2, "Vantor-D3"}, {2, "Vantor-D5"}};
constexpr QSize kFirstSize(596, 435);

struct Language {
    int id;  // as Config.ini stores it
    const char* name;
};
constexpr Language kLanguages[] = {{1, "en"}, {0, "zh"}};

void settle()
{
    searchthreads::waitForAll(10000);
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void save(QWidget& window, const QString& path, QTextStream& out)
{
    settle();
    window.grab().save(path);
    out << path << '\n';
}

// The route matrix scrolled to its far corner: the port names stay in the header bars.
void shootRouteCorner(QWidget& window, const QString& prefix, QTextStream& out)
{
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("tableWidgetRoute"));
    if (table->horizontalScrollBar()->maximum() == 0 && table->verticalScrollBar()->maximum() == 0)
        return;
    table->horizontalScrollBar()->setValue(table->horizontalScrollBar()->maximum());
    table->verticalScrollBar()->setValue(table->verticalScrollBar()->maximum());
    save(window, QStringLiteral("%1-route-corner.png").arg(prefix), out);
    table->horizontalScrollBar()->setValue(0);
    table->verticalScrollBar()->setValue(0);
}

// An information box as the window shows one, with Qt's standard OK button.
void shootMessageBox(QWidget& window, const QString& prefix, QTextStream& out)
{
    QMessageBox box(QMessageBox::Information, QCoreApplication::translate("CorvelleRepeater", "INFO"),
                    QCoreApplication::translate("CorvelleRepeater", "read success"), QMessageBox::Ok,
                    &window);
    box.show();
    save(box, QStringLiteral("%1-messagebox.png").arg(prefix), out);
}

// Every page, the CAN page once per channel.
void shootPages(QWidget& window, const QString& prefix, QTextStream& out)
{
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("m_tabWidgetParam"));
    auto* channels = window.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    const char* names[] = {"can", "fiber", "route", "firmware"};
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        if (page != 0) {
            save(window, QStringLiteral("%1-%2.png").arg(prefix, QLatin1String(names[page])), out);
            if (page == 2)
                shootRouteCorner(window, prefix, out);
            continue;
        }
        for (int c = 0; c < channels->count(); ++c) {
            channels->setCurrentIndex(c);
            save(window, QStringLiteral("%1-can%2.png").arg(prefix).arg(c + 1), out);
        }
    }
}

}  // namespace

int main(int argc, char* argv[])
{
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling, true);  // always on in Qt 6
#endif
    QApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc != 2) {
        QTextStream(stderr) << "usage: corvelle-screenshots OUTPUT_FOLDER\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    sim::VirtualBus::instance().install();
    HIDDevice::init();
    const QString settingsFile = QCoreApplication::applicationDirPath() + QStringLiteral("/Config.ini");
    for (const Shot& shot : kShots) {
        sim::VirtualBus::instance().unplugAll();
        sim::VirtualBus::instance().plug(shot.family, *models::modelByName(QLatin1String(shot.model)));
        for (const Language& language : kLanguages) {
            QSettings(settingsFile, QSettings::IniFormat)
                .setValue(QStringLiteral("Language/id"), language.id);
            CorvelleRepeater window(nullptr);
            window.resize(kFirstSize);
            window.show();
            settle();
            const QString prefix =
                folder.filePath(QStringLiteral("%1-%2-%3")
                                    .arg(shot.family)
                                    .arg(QLatin1String(shot.model), QLatin1String(language.name)));
            shootPages(window, prefix, out);
            shootMessageBox(window, prefix, out);
        }
    }
    searchthreads::waitForAll(5000);
    HIDDevice::exit();
    return 0;
}
