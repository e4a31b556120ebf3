#include "DevInfoWidget.h"

#include "ui_DevInfoWidget.h"

DevInfoWidget::DevInfoWidget(QWidget* parent) : QWidget(parent), ui(std::make_unique<Ui::DevInfoWidget>())
{
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_ShowModal);
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
