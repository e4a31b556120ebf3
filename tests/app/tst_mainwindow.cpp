#include "AppTestSupport.h"
#include "RecordingDialogs.h"
#include "app/AboutDialog.h"
#include "app/DevInfoWidget.h"
#include "app/ScopedDisable.h"
#include "device/HIDDevice.h"
#include "sim/VirtualBus.h"
#include "widgets/CustomProgressIndicator.h"

#include <QAction>
#include <QDate>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // An empty virtual bus: no device, whatever is plugged into this machine.
        sim::VirtualBus::instance().install();
        HIDDevice::init();
    }
    void cleanupTestCase() { HIDDevice::exit(); }
    void init()
    {
        writeConfig(QStringLiteral("1"));
        m_dialogs.clear();
    }

    void startsOnCanPageWithFirmwareHint();
    void menuEntries();
    void searchWithoutDeviceFails();
    void commandsRefuseWithoutDevice_data();
    void commandsRefuseWithoutDevice();
    void titleBarDoubleClick_data();
    void titleBarDoubleClick();
    void aboutDialogInChinese();
    void scopedDisable();

private:
    RecordingDialogs m_dialogs;
};

void MainWindowTest::startsOnCanPageWithFirmwareHint()
{
    CorvelleRepeater window;
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("m_tabWidgetParam"));
    QCOMPARE(pages->count(), 4);
    QCOMPARE(pages->currentIndex(), 0);
    QCOMPARE(pages->tabText(0), QStringLiteral("CAN Param"));
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("label_tips"))->isHidden());
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("widget_update"))->isHidden());
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("widget_version"))->isHidden());
    QVERIFY(window.findChild<QWidget*>(QStringLiteral("progressBar"))->isHidden());
}

void MainWindowTest::menuEntries()
{
    CorvelleRepeater window;
    const QList<QAction*> entries = window.mainMenu()->actions();
    QCOMPARE(entries.size(), 4);
    QCOMPARE(entries.at(0), window.actionDeviceInfo());
    QCOMPARE(entries.at(1)->menu()->title(), QStringLiteral("Language"));
    QCOMPARE(entries.at(1)->menu()->actions(), (QList<QAction*>{window.actionZH(), window.actionEN()}));
    QVERIFY(entries.at(2)->isSeparator());
    QCOMPARE(entries.at(3), window.actionAbout());
}

void MainWindowTest::searchWithoutDeviceFails()
{
    CorvelleRepeater window;
    QVERIFY(window.isSearching());
    QVERIFY(!window.progressIndicator()->isHidden());
    finishSearch();

    QVERIFY(!window.isSearching());
    QVERIFY(window.progressIndicator()->isHidden());
    QVERIFY(!window.progressIndicator()->isAnimated());
    QVERIFY(!window.isConnected());
    QCOMPARE(window.driveType(), 0);
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QCOMPARE(m_dialogs.boxes.at(0).text.section(QLatin1Char('\n'), 0, 0),
             QStringLiteral("search device fail"));
    QCOMPARE(m_dialogs.boxes.at(0).parent.data(), &window);
}

void MainWindowTest::commandsRefuseWithoutDevice_data()
{
    QTest::addColumn<QString>("button");  // empty: the Device Info menu entry
    QTest::addColumn<QString>("message");
    QTest::newRow("Device Info") << QString() << "device not connect";
    QTest::newRow("Read config") << "m_pushButtonRead"
                                 << "device not connect";
    QTest::newRow("Write config") << "m_pushButtonWrite"
                                  << "device not connect";
    QTest::newRow("Default") << "m_pushButtonDefault"
                             << "device not connect";
    QTest::newRow("Save") << "m_pushButtonSaveToFile"
                          << "device not connect";
    QTest::newRow("Open") << "m_pushButtonReadFromFile"
                          << "device not connected";
    QTest::newRow("Query") << "pushButton_query"
                           << "device not connect";
    QTest::newRow("Update") << "pushButton_update"
                            << "device not connect";
}

void MainWindowTest::commandsRefuseWithoutDevice()
{
    QFETCH(QString, button);
    CorvelleRepeater window;
    finishSearch();
    m_dialogs.clear();

    if (button.isEmpty())
        window.actionDeviceInfo()->trigger();
    else
        window.findChild<QPushButton*>(button)->click();
    QFETCH(QString, message);
    QCOMPARE(m_dialogs.texts(), QStringList{message});
    QCOMPARE(m_dialogs.boxes.at(0).title, QStringLiteral("INFO"));
    QVERIFY(window.devInfoWidget()->isHidden());
    if (!button.isEmpty())
        QVERIFY(window.findChild<QPushButton*>(button)->isEnabled());
}

void MainWindowTest::titleBarDoubleClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<bool>("maximised");
    QTest::newRow("left at 32") << int(Qt::LeftButton) << qreal(32) << true;
    QTest::newRow("left at 32.4 rounds to 32") << int(Qt::LeftButton) << qreal(32.4) << true;
    QTest::newRow("left at 32.5 rounds to 33") << int(Qt::LeftButton) << qreal(32.5) << false;
    QTest::newRow("left at 33") << int(Qt::LeftButton) << qreal(33) << false;
    QTest::newRow("right at 10") << int(Qt::RightButton) << qreal(10) << false;
}

void MainWindowTest::titleBarDoubleClick()
{
    QFETCH(int, button);
    QFETCH(qreal, y);
    const auto mouse = Qt::MouseButton(button);
    CorvelleRepeater window;
    window.show();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(100, y), window.mapToGlobal(QPoint(100, int(y))),
                      mouse, mouse, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &click);
    QTEST(window.isMaximized(), "maximised");

    if (window.isMaximized()) {
        QMouseEvent again(QEvent::MouseButtonDblClick, QPointF(100, 5), window.mapToGlobal(QPoint(100, 5)),
                          mouse, mouse, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &again);
        QVERIFY(!window.isMaximized());
    }
}

void MainWindowTest::aboutDialogInChinese()
{
    writeConfig(QStringLiteral("0"));
    CorvelleRepeater window;
    AboutDialog about(nullptr);
    QCOMPARE(about.size(), QSize(550, 200));
    auto text = [&about](const char* name) { return about.findChild<QLabel*>(QLatin1String(name))->text(); };
    QCOMPARE(text("nameLabel"), QStringLiteral("Corvelle中继器"));
    QCOMPARE(text("versionLabel"), QStringLiteral("版本:2.0.0.1"));
    QVERIFY(text("noticeLabel").contains(QString::number(QDate::currentDate().year()) + QLatin1Char(' ')));
    QVERIFY(text("websiteLabel").startsWith(QStringLiteral("官网:<a href=")));
    QCOMPARE(about.findChild<QPushButton*>(QStringLiteral("buttonOK"))->text(), QStringLiteral("确认"));
    QCOMPARE(about.findChild<QLabel*>(QStringLiteral("logoLabel"))->pixmap(Qt::ReturnByValue).size(),
             QSize(186, 30));
}

void MainWindowTest::scopedDisable()
{
    QPushButton button;
    {
        ScopedDisable lock(&button);
        QVERIFY(!button.isEnabled());
    }
    QVERIFY(button.isEnabled());
    auto* doomed = new QPushButton;
    {
        ScopedDisable lock(doomed);
        delete doomed;  // a rebuild inside the slot may delete the button
    }
}

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
