#pragma once
// The editor of one CAN channel: its bit rate (classic devices) or its
// arbitration rate, data rate, mode and FD standard (CAN FD devices), and its
// acceptance-filter table. It shows a channel of the configuration model and
// gives back what the user made of it.

#include "config/Configuration.h"
#include "device/HardwareType.h"
#include "operations/FilterCodec.h"
#include "operations/RateTables.h"

#include <QByteArray>
#include <QList>
#include <QVector>
#include <QWidget>

#include <memory>

namespace Ui {
class CANParamWidget;
}
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class CANParamWidget : public QWidget {
    Q_OBJECT

public:
    // drive_type 2 builds the CAN FD form; any other value the classic one.
    // The CAN FD form offers mode "CANFD" when hardwareType is above 0x12.
    CANParamWidget(QWidget* parent, int drive_type, int hardwareType = g_nHardwareType);
    ~CANParamWidget() override;

    int modeIndex() const;  // 0 "CAN", 1 "CANFD"; -1 in a classic editor
    int fdIndex() const;    // 0 "ISO", 1 "UN-ISO"

    void clearFilters();
    // The filter rows as plain data, and a row appended from it (an index
    // outside a combo's list leaves that combo with no current entry).
    QVector<can::FilterRow> filterRows() const;
    void appendFilterRow(const can::FilterRow& row);

    // The channel as the configuration model holds it, and a channel of the
    // model shown, its filter rows replacing the editor's.
    config::CanChannel channelConfig() const;
    void setChannelConfig(const config::CanChannel& channel);

protected:
    void changeEvent(QEvent* event) override;
signals:
    // Any value of the editor changed, by the user or by a call.
    void edited();

private slots:
    void on_comboBoxBautRate_currentIndexChanged(int index);
    void on_pushButtonAdd_clicked();
    void on_pushButtonDown_clicked();
    void on_comboBoxdatarate_currentIndexChanged(int index);
    void on_comboBoxMode_currentTextChanged(const QString& arg1);

private:
    bool isCanFd() const { return drive_type == 2; }
    // Selects the entry whose register bytes these are, else "custom" showing them.
    void setBaudRateBytes(const QByteArray& bytes);
    can::RateList bitRateList() const;
    void setUpCanFd(int hardwareType);
    void setUpClassic();
    void keepFilterRowsVisible();
    bool selectMatchingRate(QComboBox* combo, QLineEdit* edit, can::RateList list, const QByteArray& bytes);
    void selectRate(QComboBox* combo, QLineEdit* edit, can::RateList list, const QByteArray& bytes);
    void selectRateText(QComboBox* combo, QLineEdit* edit, can::RateList list, const QString& text);
    void showSelection(QComboBox* combo, QLineEdit* edit, int index, bool editable);
    void updateHint(const QLineEdit* edit, QLabel* hint, can::RateList list);
    void alignRateRows();
    void addTimingCalculatorButton(QComboBox* combo, QLineEdit* edit, const char* objectName);
    void openTimingCalculator(QComboBox* combo, QLineEdit* edit);
    // The rates and mode, and the filter rows from firstNewRow on appended.
    void loadChannelConfig(const config::CanChannel& channel, int firstNewRow);
    void showFilterRow(int r, const can::FilterRow& row);

    // Keyboard, names for assistive technology and texts in the language
    // installed now (CANParamWidgetAccess.cpp).
    void setUpAccess();
    void nameControls();
    void updateFilterButtons();
    void retranslate();
    void retranslateRateList(QComboBox* combo, can::RateList list);
    QStringList columnHeaders() const;

    std::unique_ptr<Ui::CANParamWidget> ui;
    int drive_type;
};

// The texts of a bit-timing calculator button, in the language installed now.
void nameTimingCalculatorButton(QPushButton* button);
