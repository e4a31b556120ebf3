#pragma once
// The device-information window: hardware type, hardware version, firmware
// version and board number of the last device that connected.

#include <QWidget>

#include <memory>

namespace Ui {
class DevInfoWidget;
}

class DevInfoWidget : public QWidget {
    Q_OBJECT
public:
    explicit DevInfoWidget(QWidget* parent = nullptr);
    ~DevInfoWidget() override;

    void setDevInfo(const QString& strDevType, const QString& strDevVer, const QString& strFirmware,
                    const QString& strCardNum);

protected:
    void changeEvent(QEvent* event) override;
    // Esc closes the window, as it would a dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void retranslate();

    std::unique_ptr<Ui::DevInfoWidget> ui;
};
