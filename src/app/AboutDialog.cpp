#include "AboutDialog.h"

#include "FileVersion.h"

#include <QDate>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr char kWebsite[] = "https://github.com/corvelle/corvelle-repeater";
}

AboutDialog::AboutDialog(QWidget* parent) : AbsFrameLessAutoSize(parent)
{
    setFixedSize(550, 200);
    setWindowIcon(QIcon(QStringLiteral(":/app/Resources/app.ico")));

    m_pLogoLabel = new QLabel();
    m_pLogoLabel->setObjectName(QStringLiteral("logoLabel"));
    m_pLogoLabel->setFixedSize(186, 30);
    m_pLogoLabel->setPixmap(QPixmap(QStringLiteral(":/app/Resources/company _logo.png")));

    m_pVersionLabel = new QLabel(tr("version：") + readFileVersion());
    m_pVersionLabel->setObjectName(QStringLiteral("versionLabel"));
    m_pNameLabel = new QLabel(tr("CorvelleRepeater"));
    m_pNameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_pNoticeLabel = new QLabel(QStringLiteral("Copyright © %1 ").arg(QDate::currentDate().year()) +
                                tr("Corvelle Repeater project"));
    m_pNoticeLabel->setObjectName(QStringLiteral("noticeLabel"));
    m_pWebsiteLabel =
        new QLabel(tr("website：") + QStringLiteral("<a href=\"%1\">%1</a>").arg(QLatin1String(kWebsite)));
    m_pWebsiteLabel->setObjectName(QStringLiteral("websiteLabel"));
    m_pWebsiteLabel->setOpenExternalLinks(true);
    m_pButtonOK = new QPushButton(tr("OK"));
    m_pButtonOK->setObjectName(QStringLiteral("buttonOK"));

    arrange();
    connect(m_pButtonOK, &QPushButton::clicked, this, &AboutDialog::onButtonOK);
}

void AboutDialog::arrange()
{
    auto* left = new QVBoxLayout();
    left->addSpacing(10);
    left->addWidget(m_pLogoLabel);
    left->addStretch();

    auto* right = new QVBoxLayout();
    right->addSpacing(10);
    right->addWidget(m_pNameLabel);
    right->addSpacing(5);
    right->addWidget(m_pVersionLabel);
    right->addSpacing(5);
    right->addWidget(m_pNoticeLabel);
    right->addSpacing(5);
    right->addWidget(m_pWebsiteLabel);
    right->addSpacing(50);
    right->addWidget(m_pButtonOK, 0, Qt::AlignRight);
    right->addStretch();

    auto* row = new QHBoxLayout();
    row->addSpacing(10);
    row->addLayout(left);
    row->addSpacing(10);
    row->addLayout(right);
    row->addStretch();

    auto* main = new QVBoxLayout(this);
    main->addLayout(row);
    main->setContentsMargins(2, 2, 2, 2);
}

void AboutDialog::onButtonOK()
{
    close();
}
