#pragma once
// The editor of one CAN channel: its bit rate (classic devices) or its
// arbitration rate, data rate, mode and FD standard (CAN FD devices), and its
// acceptance-filter table. The widgets are the channel's configuration: the
// device transfer and the configuration file read and write them.

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

    // Selects the entry whose register bytes these are, else "custom" showing them.
    void setBaudRateBytes(const QByteArray& bytes);
    void setFDConfig(int mode, int fdStandard, const QByteArray& arbitration, const QByteArray& data);
    // The bytes of the register texts, which are what the device and the file get.
    QByteArray arbitrateRateBytes() const;
    QByteArray dataRateBytes() const;
    int modeIndex() const;  // 0 "CAN", 1 "CANFD"; -1 in a classic editor
    int fdIndex() const;    // 0 "ISO", 1 "UN-ISO"
    // The family-1 write-bit-timing request for channel c (from 1); empty when
    // the register text does not give four bytes (checkRateTexts says so first).
    QByteArray baudRateCommand(int channel) const;
    // Before a channel's first request: false, after telling the user, when a
    // rate text that would be sent does not hold exactly four bytes.
    bool checkRateTexts(int channel);
    // Before a CAN FD channel's first request: false, after telling the user,
    // when no mode is chosen, or no FD standard in mode "CANFD".
    bool checkModeSelection(int channel);
    // The rate texts a write would send although their hint says "not a valid
    // timing": four bytes the controller cannot run. Empty where the timing is
    // valid, and for the data rate also where mode "CAN" does not send it.
    QString invalidBitRateText() const;
    QString invalidDataRateText() const;

    void clearFilters();
    // Filter requests for channel c; empty after a validation message.
    QList<QByteArray> filterBankCommands(int channel);
    QList<QByteArray> filterCommands(int channel);
    // Append one row per filter the device reported; the caller clears first.
    void decodeFilterBanks(const QList<QByteArray>& records);
    void decodeFilterRecords(const QList<QByteArray>& records);
    // The filter rows as plain data, and a row appended from it (an index
    // outside a combo's list leaves that combo with no current entry).
    QVector<can::FilterRow> filterRows() const;
    void appendFilterRow(const can::FilterRow& row);

    // "10K" and one default filter row; existing rows stay.
    void resetToDefaults();

    // The channel as the configuration model holds it, and a channel read
    // from a file applied to a newly built editor (rows are appended).
    config::CanChannel channelConfig() const;
    void loadChannelConfig(const config::CanChannel& channel);

protected:
    void changeEvent(QEvent* event) override;

private slots:
    void on_comboBoxBautRate_currentIndexChanged(int index);
    void on_pushButtonAdd_clicked();
    void on_pushButtonDown_clicked();
    void on_comboBoxdatarate_currentIndexChanged(int index);
    void on_comboBoxMode_currentTextChanged(const QString& arg1);

private:
    bool isCanFd() const { return drive_type == 2; }
    can::RateList bitRateList() const;
    void setUpCanFd(int hardwareType);
    void setUpClassic();
    void keepFilterRowsVisible();
    bool selectMatchingRate(QComboBox* combo, QLineEdit* edit, can::RateList list, const QByteArray& bytes);
    void selectRate(QComboBox* combo, QLineEdit* edit, can::RateList list, const QByteArray& bytes);
    void selectRateText(QComboBox* combo, QLineEdit* edit, can::RateList list, const QString& text);
    void showSelection(QComboBox* combo, QLineEdit* edit, int index, bool editable);
    void updateHint(const QLineEdit* edit, QLabel* hint, can::RateList list);
    void addTimingCalculatorButton(QComboBox* combo, QLineEdit* edit, const char* objectName);
    void openTimingCalculator(QComboBox* combo, QLineEdit* edit);
    QList<QByteArray> shown(const can::FilterEncoding& encoding);

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
