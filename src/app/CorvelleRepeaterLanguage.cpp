// The two interface languages of the main window and the start-up choice.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "HistoryDialog.h"
#include "LanguageSettings.h"
#include "SystemLanguage.h"

#include <QAction>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

QString qtTranslationsPath()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

}  // namespace

// Qt's standard buttons and dialogs ("OK", "Cancel", the file dialog) in the
// interface's language; an empty locale, or a catalogue not installed, leaves
// them in English.
void CorvelleRepeater::installQtCatalogue(const QString& locale)
{
    if (m_pQtTranslator) {
        QCoreApplication::removeTranslator(m_pQtTranslator);
        delete m_pQtTranslator;
        m_pQtTranslator = nullptr;
    }
    if (locale.isEmpty())
        return;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + locale, qtTranslationsPath()))
        return;
    m_pQtTranslator = translator.release();
    QCoreApplication::installTranslator(m_pQtTranslator);
}

void CorvelleRepeater::installLanguage(const QString& catalogue)
{
    if (m_pTranslator) {
        QCoreApplication::removeTranslator(m_pTranslator);
        delete m_pTranslator;
        m_pTranslator = nullptr;
    }
    m_pTranslator = new QTranslator();
    // A catalogue that does not load leaves an empty translator: the source texts show.
    (void)m_pTranslator->load(catalogue);
    QCoreApplication::installTranslator(m_pTranslator);
    ui.retranslateUi(this);
    m_pActionHistory->setText(HistoryDialog::menuText());
    retranslateBuiltEditors();
    retranslateLogTexts();
    retranslateChanges();
    retranslatePrepared();
}

void CorvelleRepeater::onActionEN()
{
    m_pActionZH->setChecked(false);
    installQtCatalogue(QString());
    installLanguage(QStringLiteral(":/Language/corvellerepeater_en.qm"));
    m_pActionDeviceInfo->setText(QStringLiteral("Device Info"));
    m_pActionAbout->setText(QStringLiteral("About"));
    languagesettings::writeLanguageId(languagesettings::kEnglish);
}

void CorvelleRepeater::onActionZH()
{
    m_pActionEN->setChecked(false);
    installQtCatalogue(QStringLiteral("zh_CN"));
    installLanguage(QStringLiteral(":/Language/corvellerepeater_zh.qm"));
    m_pActionDeviceInfo->setText(QStringLiteral("设备信息"));
    m_pActionAbout->setText(QStringLiteral("关于"));
    languagesettings::writeLanguageId(languagesettings::kChinese);
}

void CorvelleRepeater::chooseStartupLanguage()
{
    UiLanguage language = UiLanguage::None;
    switch (languagesettings::readLanguageId()) {
        case languagesettings::kFollowSystem:
            language = systemDefaultLanguage();
            break;
        case languagesettings::kChinese:
            language = UiLanguage::Chinese;
            break;
        case languagesettings::kEnglish:
            language = UiLanguage::English;
            break;
        default:
            break;
    }
    if (language == UiLanguage::English) {
        m_pActionEN->setChecked(true);
        onActionEN();
    } else if (language == UiLanguage::Chinese) {
        m_pActionZH->setChecked(true);
        onActionZH();
    }
}
