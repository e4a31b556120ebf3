#pragma once
// The device-information window: hardware type, hardware version, firmware
// version and board number of the last device that connected.

#include "ui_DevInfoWidget.h"

#include <QWidget>

class DevInfoWidget : public QWidget {
    Q_OBJECT
public:
    explicit DevInfoWidget(QWidget* parent = nullptr);

    void setDevInfo(const QString& strDevType, const QString& strDevVer, const QString& strFirmware,
                    const QString& strCardNum);

private:
    Ui::DevInfoWidget ui;
};
