#include "AppTestSupport.h"
#include "RecordingDialogs.h"
#include "app/DevInfoWidget.h"
#include "device/HIDDevice.h"
#include "device/HardwareType.h"
#include "sim/VirtualBus.h"

#include <QAction>
#include <QLineEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using sim::VirtualBus;

class ConnectionTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        VirtualBus::instance().install();
        HIDDevice::init();
    }
    void cleanupTestCase() { HIDDevice::exit(); }
    void init()
    {
        writeConfig(QStringLiteral("1"));
        m_dialogs.clear();
    }
    void cleanup()
    {
        VirtualBus::instance().unplugAll();
        QCoreApplication::sendPostedEvents();
    }

    void connectsAtStartup_data();
    void connectsAtStartup();
    void deviceInfoWindowIsOneWindow();
    void removalEmptiesEditors();
    void arrivalWhileConnectedSearchesAfresh();
    void failedSearchAfterConnectionDisconnects();
    void accessDeniedSaysHowToFixIt();
    void arrivalDuringSearchWaitsForIt();
    void windowClosedDuringSearch();

private:
    sim::VirtualDevice& plug(int family, const char* model)
    {
        sim::VirtualDevice& device = VirtualBus::instance().plug(family, *models::modelByName(model));
        device.setInstantTimeouts(true);
        QCoreApplication::sendPostedEvents();
        return device;
    }
    static QTabWidget* canTabs(const CorvelleRepeater& w)
    {
        return w.findChild<QTabWidget*>(QStringLiteral("tabWidget"));
    }
    static QString deviceName(const CorvelleRepeater& w)
    {
        return w.findChild<QLineEdit*>(QStringLiteral("m_pLineEditDevName"))->text();
    }

    RecordingDialogs m_dialogs;
};

void ConnectionTest::connectsAtStartup_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("typeCode");
    QTest::addColumn<int>("tabs");
    QTest::addColumn<bool>("upgradeOffered");
    QTest::newRow("1:Vantor-A2") << 1 << "Vantor-A2" << 0x02 << 2 << false;
    QTest::newRow("2:Vantor-D3") << 2 << "Vantor-D3" << 0x23 << 2 << true;
    QTest::newRow("2:Vantor-D8") << 2 << "Vantor-D8" << 0x28 << 4 << true;
}

void ConnectionTest::connectsAtStartup()
{
    QFETCH(int, family);
    QFETCH(QString, model);
    plug(family, model.toLatin1().constData()).setBoardNumber("CV-0042");
    CorvelleRepeater window;
    finishSearch();

    QVERIFY(window.isConnected());
    QCOMPARE(window.driveType(), family);
    QTEST(g_nHardwareType, "typeCode");
    QCOMPARE(m_dialogs.boxes.size(), 0);
    QCOMPARE(deviceName(window), model + QStringLiteral("_CV-0042"));
    QTEST(canTabs(window)->count(), "tabs");
    QCOMPARE(canTabs(window)->tabText(1), QStringLiteral("channel2"));
    QTEST(!window.findChild<QWidget*>(QStringLiteral("widget_update"))->isHidden(), "upgradeOffered");
    QTEST(!window.findChild<QWidget*>(QStringLiteral("widget_version"))->isHidden(), "upgradeOffered");
    QTEST(window.findChild<QWidget*>(QStringLiteral("label_tips"))->isHidden(), "upgradeOffered");
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("progressBar"))->isHidden());
    auto* type = window.devInfoWidget()->findChild<QLineEdit*>(QStringLiteral("m_lineEditDevType"));
    QCOMPARE(type->text(), model);
}

void ConnectionTest::deviceInfoWindowIsOneWindow()
{
    plug(2, "Vantor-D3");
    CorvelleRepeater window;
    finishSearch();
    window.actionDeviceInfo()->trigger();
    window.actionDeviceInfo()->trigger();
    QVERIFY(window.devInfoWidget()->isVisible());
    QCOMPARE(window.devInfoWidget()->windowTitle(), QStringLiteral("DevInfoWidget"));
    QVERIFY(m_dialogs.boxes.isEmpty());
    window.devInfoWidget()->close();
    QVERIFY(window.devInfoWidget()->isHidden());
}

void ConnectionTest::removalEmptiesEditors()
{
    plug(2, "Vantor-D3");
    CorvelleRepeater window;
    finishSearch();
    QVERIFY(window.isConnected());

    VirtualBus::instance().unplug(2);
    QCoreApplication::sendPostedEvents();
    QVERIFY(!window.isConnected());
    QCOMPARE(deviceName(window), QString());
    QCOMPARE(canTabs(window)->count(), 0);
    QCOMPARE(window.findChild<QTableWidget*>(QStringLiteral("tableWidgetRoute"))->rowCount(), 0);
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("label_tips"))->isHidden());
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("widget_update"))->isHidden());
    QCOMPARE(window.driveType(), 2);
}

void ConnectionTest::arrivalWhileConnectedSearchesAfresh()
{
    plug(1, "Vantor-A2");
    CorvelleRepeater window;
    finishSearch();
    QVERIFY(window.isConnected());

    // A second device: the open handle is closed and the window disconnected
    // before the new search shares the device object.
    plug(2, "Vantor-D5");
    QVERIFY(!window.isConnected());
    QVERIFY(window.isSearching());
    finishSearch();
    QVERIFY(window.isConnected());
    QCOMPARE(window.driveType(), 2);
    QVERIFY(deviceName(window).startsWith(QStringLiteral("Vantor-D5_")));
    QVERIFY(m_dialogs.boxes.isEmpty());
}

void ConnectionTest::failedSearchAfterConnectionDisconnects()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    CorvelleRepeater window;
    finishSearch();
    QVERIFY(window.isConnected());

    device.injectFault(sim::FaultMatch::command(0x13, 0x01), sim::Fault::noAnswer());
    emit window.deviceChanged(2, 1);
    finishSearch();
    QVERIFY(!window.isConnected());
    QCOMPARE(m_dialogs.texts(), QStringList{"search device fail"});
    QCOMPARE(canTabs(window)->count(), 2);  // the editors stay as they were
}

void ConnectionTest::accessDeniedSaysHowToFixIt()
{
    plug(2, "Vantor-D3").setRefuseOpen(true);
    CorvelleRepeater window;
    finishSearch();
    QCOMPARE(m_dialogs.boxes.size(), 1);
    const QStringList lines = m_dialogs.boxes.at(0).text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("search device fail"));
    QVERIFY(lines.at(1).contains(QStringLiteral("60-corvelle-repeater.rules")));
}

void ConnectionTest::arrivalDuringSearchWaitsForIt()
{
    sim::VirtualDevice& device = plug(2, "Vantor-D3");
    CorvelleRepeater window;
    emit window.deviceChanged(2, 1);  // while the first search may still run
    finishSearch();
    QVERIFY(window.isSearching());  // the second one, started after the first result
    finishSearch();
    QVERIFY(!window.isSearching());
    QVERIFY(window.isConnected());
    QVERIFY(m_dialogs.boxes.isEmpty());
    int identities = 0;
    for (const QByteArray& request : device.requests())
        identities += request.startsWith(QByteArray::fromHex("0113010027"));
    QCOMPARE(identities, 2);
}

void ConnectionTest::windowClosedDuringSearch()
{
    VirtualBus::instance().plug(2, *models::modelByName("Vantor-D3")).setLatency(5);
    CorvelleRepeater{};  // built and gone while its search waits for the answer
    finishSearch();
    QVERIFY(m_dialogs.boxes.isEmpty());
}

QTEST_MAIN(ConnectionTest)
#include "tst_connection.moc"
