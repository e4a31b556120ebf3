// The language: the choice at start-up, the switch from the menu, and the
// system language the start-up guess maps.

#include "E2e.h"

#include "app/AboutDialog.h"
#include "app/FileVersion.h"
#include "app/SystemLanguage.h"

#include <QAction>

using namespace e2e;

class LanguageTest : public WindowTest {
    Q_OBJECT

private slots:
    void cleanup() { clearSystemLanguageOverride(); }
    void startupChoice_data();
    void startupChoice();
    void switchingLanguage();
    void systemLanguageMapping_data();
    void systemLanguageMapping();
};

namespace {

QString firstPageTitle(const CorvelleRepeater& window)
{
    return child<QTabWidget>(window, "m_tabWidgetParam")->tabText(0);
}

int storedLanguageId()
{
    return QSettings(QCoreApplication::applicationDirPath() + QStringLiteral("/Config.ini"),
                     QSettings::IniFormat)
        .value(QStringLiteral("Language/id"))
        .toInt();
}

}  // namespace

void LanguageTest::startupChoice_data()
{
    QTest::addColumn<QString>("storedId");  // empty: no Config.ini
    QTest::addColumn<QLocale>("system");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("idAfter");
    QTest::addColumn<QString>("checked");  // the menu entries checked: "EN", "ZH" or none
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("no file") << QString() << us << "CAN参数" << 0 << "ZH";
    QTest::newRow("id 1") << "1" << QLocale(QLocale::Chinese, QLocale::China) << "CAN Param" << 1 << "EN";
    QTest::newRow("-1, English (US)") << "-1" << us << "CAN Param" << 1 << "EN";
    QTest::newRow("-1, German") << "-1" << QLocale(QLocale::German) << "CAN Param" << -1 << "";
    QTest::newRow("id 7") << "7" << us << "CAN Param" << 7 << "";
}

void LanguageTest::startupChoice()
{
    QFETCH(QString, storedId);
    QFETCH(QLocale, system);
    writeLanguageId(storedId);
    overrideSystemLanguage(system);

    CorvelleRepeater window;
    QTEST(firstPageTitle(window), "title");
    QTEST(QString(window.actionEN()->isChecked() ? "EN" : "") + (window.actionZH()->isChecked() ? "ZH" : ""),
          "checked");
    QTEST(storedLanguageId(), "idAfter");
}

void LanguageTest::switchingLanguage()
{
    CorvelleRepeater window;
    auto* firmware = child<QLabel>(window, "label_Firmware");
    firmware->setText(QStringLiteral("V1.2.3"));

    window.actionZH()->trigger();
    QVERIFY(window.actionZH()->isChecked() && !window.actionEN()->isChecked());
    QCOMPARE(window.actionDeviceInfo()->text(), QStringLiteral("设备信息"));
    QCOMPARE(firstPageTitle(window), QStringLiteral("CAN参数"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Corvelle中继器"));
    QCOMPARE(firmware->text(), QString());
    QCOMPARE(storedLanguageId(), 0);
    AboutDialog about(nullptr);
    QCOMPARE(child<QLabel>(about, "versionLabel")->text(), QStringLiteral("版本:2.0.0.1"));

    // Choosing the language in use unchecks it and changes nothing else.
    window.actionZH()->trigger();
    QVERIFY(!window.actionZH()->isChecked() && !window.actionEN()->isChecked());
    QCOMPARE(firstPageTitle(window), QStringLiteral("CAN参数"));

    window.actionEN()->trigger();
    QCOMPARE(window.actionDeviceInfo()->text(), QStringLiteral("Device Info"));
    QCOMPARE(firstPageTitle(window), QStringLiteral("CAN Param"));
    QCOMPARE(storedLanguageId(), 1);
}

void LanguageTest::systemLanguageMapping_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<unsigned>("langId");
    QTest::addColumn<unsigned>("codePage");
    QTest::addColumn<int>("expected");
    QTest::addColumn<QString>("valuePath");
    QTest::newRow("en_US, 1252") << QLocale(QLocale::English, QLocale::UnitedStates) << 0x0409u << 0x04E4u
                                 << int(UiLanguage::English) << "\\StringFileInfo\\040904e4\\FileVersion";
    QTest::newRow("zh_CN, UTF-16") << QLocale(QLocale::Chinese, QLocale::China) << 0x0804u << 0x04B0u
                                   << int(UiLanguage::Chinese) << "\\StringFileInfo\\080404b0\\FileVersion";
    QTest::newRow("zh_TW, neutral") << QLocale(QLocale::Chinese, QLocale::Taiwan) << 0x0404u << 0x0000u
                                    << int(UiLanguage::None) << "\\StringFileInfo\\04040000\\FileVersion";
}

// Linux maps the locale, Windows the language id and its version resource.
void LanguageTest::systemLanguageMapping()
{
    QFETCH(QLocale, locale);
    QFETCH(unsigned, langId);
    QFETCH(unsigned, codePage);
    QTEST(int(languageOfLocale(locale)), "expected");
    QTEST(int(languageOfLangId(langId)), "expected");
    QTEST(fileVersionQueryPath(langId, codePage), "valuePath");
}

QTEST_MAIN(LanguageTest)
#include "tst_language.moc"
