#include "AppTestSupport.h"
#include "RecordingDialogs.h"
#include "app/FileVersion.h"
#include "app/SystemLanguage.h"
#include "device/HIDDevice.h"
#include "sim/VirtualBus.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QtTest>

#include <memory>

class LanguageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // An empty virtual bus: no device, whatever is plugged into this machine.
        sim::VirtualBus::instance().install();
        HIDDevice::init();
    }
    void cleanupTestCase() { HIDDevice::exit(); }
    void cleanup() { clearSystemLanguageOverride(); }

    void startupChoice_data();
    void startupChoice();
    void choosingActiveLanguageUnchecksIt();
    void switchingToChinese();
    void systemLanguageMapping_data();
    void systemLanguageMapping();
    void windowsLanguageAndVersionKeys_data();
    void windowsLanguageAndVersionKeys();

private:
    RecordingDialogs m_dialogs;
};

static QString firstTabText(const CorvelleRepeater& window)
{
    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("m_tabWidgetParam"));
    return tabs->tabText(0);
}

void LanguageTest::startupChoice_data()
{
    QTest::addColumn<QString>("storedId");  // empty: no Config.ini
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("tabText");
    QTest::addColumn<bool>("englishChecked");
    QTest::addColumn<bool>("chineseChecked");
    QTest::addColumn<QVariant>("idAfter");

    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale china(QLocale::Chinese, QLocale::China);
    const QLocale german(QLocale::German, QLocale::Germany);
    QTest::newRow("no file") << QString() << us << "CAN参数" << false << true << QVariant(0);
    QTest::newRow("id 1") << "1" << china << "CAN Param" << true << false << QVariant(1);
    QTest::newRow("id 0") << "0" << us << "CAN参数" << false << true << QVariant(0);
    QTest::newRow("not a number") << "abc" << us << "CAN参数" << false << true << QVariant(0);
    QTest::newRow("-1, English (US)") << "-1" << us << "CAN Param" << true << false << QVariant(1);
    QTest::newRow("-1, Chinese (China)") << "-1" << china << "CAN参数" << false << true << QVariant(0);
    QTest::newRow("-1, German") << "-1" << german << "CAN Param" << false << false << QVariant(-1);
    QTest::newRow("id 7") << "7" << us << "CAN Param" << false << false << QVariant(7);
}

void LanguageTest::startupChoice()
{
    QFETCH(QString, storedId);
    QFETCH(QLocale, system);
    writeConfig(storedId);
    overrideSystemLanguage(system);

    CorvelleRepeater window;
    QTEST(firstTabText(window), "tabText");
    QTEST(window.actionEN()->isChecked(), "englishChecked");
    QTEST(window.actionZH()->isChecked(), "chineseChecked");
    QFETCH(QVariant, idAfter);
    QCOMPARE(storedLanguageId().toInt(), idAfter.toInt());
}

void LanguageTest::choosingActiveLanguageUnchecksIt()
{
    writeConfig(QStringLiteral("1"));
    CorvelleRepeater window;
    QVERIFY(window.actionEN()->isChecked());

    window.actionEN()->trigger();
    QVERIFY(!window.actionEN()->isChecked());
    QVERIFY(!window.actionZH()->isChecked());
    QCOMPARE(firstTabText(window), QStringLiteral("CAN Param"));
    QCOMPARE(storedLanguageId().toInt(), 1);
}

void LanguageTest::switchingToChinese()
{
    writeConfig(QStringLiteral("1"));
    CorvelleRepeater window;
    auto* firmware = window.findChild<QLabel*>(QStringLiteral("label_Firmware"));
    auto* bootloader = window.findChild<QLabel*>(QStringLiteral("label_Bootloader"));
    firmware->setText(QStringLiteral("V1.2.3"));
    bootloader->setText(QStringLiteral("V1.0.0"));

    window.actionZH()->trigger();
    QVERIFY(window.actionZH()->isChecked());
    QVERIFY(!window.actionEN()->isChecked());
    QCOMPARE(window.actionDeviceInfo()->text(), QStringLiteral("设备信息"));
    QCOMPARE(window.actionAbout()->text(), QStringLiteral("关于"));
    QCOMPARE(firstTabText(window), QStringLiteral("CAN参数"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvelle中继器"));
    QCOMPARE(firmware->text(), QString());
    QCOMPARE(bootloader->text(), QString());
    QCOMPARE(storedLanguageId().toInt(), 0);

    window.actionEN()->trigger();
    QCOMPARE(window.actionDeviceInfo()->text(), QStringLiteral("Device Info"));
    QCOMPARE(firstTabText(window), QStringLiteral("CAN Param"));
}

void LanguageTest::systemLanguageMapping_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<int>("expected");
    QTest::newRow("en_US") << QLocale(QLocale::English, QLocale::UnitedStates) << int(UiLanguage::English);
    QTest::newRow("en_GB") << QLocale(QLocale::English, QLocale::UnitedKingdom) << int(UiLanguage::None);
    QTest::newRow("zh_CN") << QLocale(QLocale::Chinese, QLocale::China) << int(UiLanguage::Chinese);
    QTest::newRow("zh_TW") << QLocale(QLocale::Chinese, QLocale::Taiwan) << int(UiLanguage::None);
    QTest::newRow("C") << QLocale::c() << int(UiLanguage::None);
}

void LanguageTest::systemLanguageMapping()
{
    QFETCH(QLocale, locale);
    QTEST(int(languageOfLocale(locale)), "expected");
}

// What the Windows start-up and About dialog make of a language id and of a
// version resource's first translation pair.
void LanguageTest::windowsLanguageAndVersionKeys_data()
{
    QTest::addColumn<unsigned>("langId");
    QTest::addColumn<unsigned>("codePage");
    QTest::addColumn<int>("language");
    QTest::addColumn<QString>("valuePath");
    QTest::newRow("en-US, 1252") << 0x0409u << 0x04E4u << int(UiLanguage::English)
                                 << QStringLiteral("\\StringFileInfo\\040904e4\\FileVersion");
    QTest::newRow("zh-CN, UTF-16") << 0x0804u << 0x04B0u << int(UiLanguage::Chinese)
                                   << QStringLiteral("\\StringFileInfo\\080404b0\\FileVersion");
    QTest::newRow("en-GB") << 0x0809u << 0x04E4u << int(UiLanguage::None)
                           << QStringLiteral("\\StringFileInfo\\080904e4\\FileVersion");
    QTest::newRow("zh-TW, neutral") << 0x0404u << 0x0000u << int(UiLanguage::None)
                                    << QStringLiteral("\\StringFileInfo\\04040000\\FileVersion");
}

void LanguageTest::windowsLanguageAndVersionKeys()
{
    QFETCH(unsigned, langId);
    QFETCH(unsigned, codePage);
    QTEST(int(languageOfLangId(langId)), "language");
    QTEST(fileVersionQueryPath(langId, codePage), "valuePath");
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
