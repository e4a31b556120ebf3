#include "DevInfoWidget.h"

#include "ui_DevInfoWidget.h"

#include <QEvent>
#include <QKeyEvent>

DevInfoWidget::DevInfoWidget(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::DevInfoWidget>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_ShowModal);
    retranslate();
}

DevInfoWidget::~DevInfoWidget() = default;

void DevInfoWidget::setDevInfo(const QString& strDevType, const QString& strDevVer,
                               const QString& strFirmware, const QString& strCardNum)
{
    ui->m_lineEditDevType->setText(strDevType);
    ui->m_lineEditDevVersion->setText(strDevVer);
    ui->m_lineEditFirmwareVersion->setText(strFirmware);
    ui->m_lineEditCardNum->setText(strCardNum);
}

// The form's own title is the class name; the window is the menu's "Device Info".
void DevInfoWidget::retranslate()
{
    ui->retranslateUi(this);
    setWindowTitle(tr("Device Info"));
    ui->m_labelDevType->setBuddy(ui->m_lineEditDevType);
    ui->m_labelDevVersion->setBuddy(ui->m_lineEditDevVersion);
    ui->m_labelFirmwareVersion->setBuddy(ui->m_lineEditFirmwareVersion);
    ui->m_labelCardNum->setBuddy(ui->m_lineEditCardNum);
    const auto nameAfter = [](QWidget* edit, const QLabel* label) {
        edit->setAccessibleName(label->text().remove(QChar(0xFF1A)).trimmed());
    };
    nameAfter(ui->m_lineEditDevType, ui->m_labelDevType);
    nameAfter(ui->m_lineEditDevVersion, ui->m_labelDevVersion);
    nameAfter(ui->m_lineEditFirmwareVersion, ui->m_labelFirmwareVersion);
    nameAfter(ui->m_lineEditCardNum, ui->m_labelCardNum);
}

void DevInfoWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void DevInfoWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
