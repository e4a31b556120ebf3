// Building the editors of the largest devices: the time from a delivered
// identity to every editor built (the builders alone, and onShowName with the
// automatic read from a virtual device at zero latency), offscreen.
//   QT_QPA_PLATFORM=offscreen bench_editors

#include "BenchSupport.h"

#include "app/CorvelleRepeater.h"
#include "device/DeviceSearch.h"
#include "device/HIDDevice.h"
#include "editors/CANParamWidget.h"
#include "sim/VirtualBus.h"
#include "widgets/UserDialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QSettings>

namespace {

constexpr int kRounds = 15;

struct Case {
    int family;
    const char* model;
};

void settle()
{
    searchthreads::waitForAll(10000);
    QCoreApplication::sendPostedEvents();
}

}  // namespace

// Boxes are not shown; the bench runs unattended.
class SilentDialogs final : public UserDialogs {
public:
    void information(QWidget*, const QString&, const QString&) override {}
    void warning(QWidget*, const QString&, const QString&) override {}
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    int choose(QWidget*, const QString&, const QString&, const QStringList&, const QStringList&, int) override
    {
        return 0;
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

int main(int argc, char* argv[])
{
    SilentDialogs dialogs;
    setUserDialogs(&dialogs);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QSettings(QCoreApplication::applicationDirPath() + "/Config.ini", QSettings::IniFormat)
        .setValue("Language/id", 1);
    sim::VirtualBus::instance().install();
    HIDDevice::init();

    std::printf("%-12s %6s %12s %16s %10s %10s %10s\n", "device", "ports", "builders ms", "onShowName+read",
                "read ms", "write ms", "edit ms");
    double worst = 0;
    double worstEdit = 0;
    for (const Case c :
         {Case{2, "Vantor-D5"}, Case{1, "Vantor-B8"}, Case{2, "Vantor-D8"}, Case{1, "Vantor-A4"}}) {
        const models::Model& m = *models::modelByName(c.model);
        sim::VirtualBus::instance().plug(c.family, m).setInstantTimeouts(true);
        CorvelleRepeater window;
        window.show();
        settle();
        std::vector<double> builders, connect, reads, writes, edits;
        auto click = [&](const char* name) { window.findChild<QPushButton*>(name)->click(); };
        for (int r = 0; r < kRounds; ++r) {
            QElapsedTimer t;
            t.start();
            window.removeCanTabs();
            window.buildCanTabs(m.nCAN);
            window.clearFibreGrid();
            window.buildFibreGrid(m.nFiberOptic);
            window.clearRouteTable();
            window.buildRouteTable();
            builders.push_back(t.nsecsElapsed() / 1e6);

            t.restart();
            window.onShowName(m.nCAN, m.nFiberOptic, QString(m.name) + "_1", m.name, "V1.0.0", "V1.0.0", "1");
            connect.push_back(t.nsecsElapsed() / 1e6);
            QCoreApplication::processEvents();  // deferred deletes of the old editors

            // The tool's own work in a whole read and write, the device answering at once.
            t.restart();
            click("m_pushButtonRead");
            reads.push_back(t.nsecsElapsed() / 1e6);
            t.restart();
            click("m_pushButtonWrite");
            writes.push_back(t.nsecsElapsed() / 1e6);

            // One edit's comparison with the baseline and its marks, every
            // channel's filter table full: 14 rows, or 128 standard and 64
            // extended (the first edits are not timed).
            for (CANParamWidget* editor :
                 window.findChildren<CANParamWidget*>(QStringLiteral("CANParamWidget"))) {
                const int full = c.family == 1 ? 14 : 192;
                for (int r = int(editor->filterRows().size()); r < full; ++r)
                    editor->appendFilterRow({c.family == 1 || r < 128 ? 0 : 1, 0,
                                             QStringLiteral("00 00 01 23"), QStringLiteral("00 00 07 ff")});
            }
            auto* rate = window.findChild<QComboBox*>(QStringLiteral("comboBoxBautRate"));
            window.refreshChanges();
            for (int e = 0; e < 10; ++e) {
                rate->setCurrentIndex((rate->currentIndex() + 1) % 8);
                t.restart();
                window.refreshChanges();
                edits.push_back(t.nsecsElapsed() / 1e6);
            }
            click("m_pushButtonRead");
        }
        const double b = bench::median(builders), s = bench::median(connect);
        worst = std::max(worst, s);
        worstEdit = std::max(worstEdit, bench::median(edits));
        std::printf("%d:%-10s %6d %12.2f %16.2f %10.2f %10.2f %10.3f\n", c.family, c.model,
                    m.nCAN + m.nFiberOptic, b, s, bench::median(reads), bench::median(writes),
                    bench::median(edits));
        sim::VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
    }
    std::printf(
        "summary: editors built for the largest devices in at most %.2f ms (goal < 50 ms); "
        "peak resident %.1f MiB\n",
        worst, bench::peakResidentMiB());
    std::printf("summary: an edit compared and marked in at most %.3f ms (goal < 2 ms)\n", worstEdit);
    HIDDevice::exit();
    return 0;
}
