// The two interface languages of the main window and the start-up choice.

#include "CorvelleRepeater.h"

#include "ui_CorvelleRepeater.h"

#include "LanguageSettings.h"
#include "SystemLanguage.h"

#include <QAction>
#include <QCoreApplication>
#include <QTranslator>

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
    retranslateChanges();
}

void CorvelleRepeater::onActionEN()
{
    m_pActionZH->setChecked(false);
    installLanguage(QStringLiteral(":/Language/corvellerepeater_en.qm"));
    m_pActionDeviceInfo->setText(QStringLiteral("Device Info"));
    m_pActionAbout->setText(QStringLiteral("About"));
    languagesettings::writeLanguageId(languagesettings::kEnglish);
}

void CorvelleRepeater::onActionZH()
{
    m_pActionEN->setChecked(false);
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
