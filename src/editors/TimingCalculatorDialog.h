#pragma once
// The bit-timing calculator beside a rate's register text: the wanted rate,
// sample point and jump width, and the timings the register layout allows,
// best first. Choosing one gives its register bytes to the editor.

#include "operations/BitTimingCalculator.h"

#include <QByteArray>
#include <QDialog>
#include <QVector>

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TimingCalculatorDialog : public QDialog {
    Q_OBJECT

public:
    // Starts from the rate of `current` when those bytes are a valid timing.
    TimingCalculatorDialog(can::RateList list, const QByteArray& current, QWidget* parent);

    // The register bytes of the chosen candidate; empty when none is chosen.
    QByteArray chosenRegisters() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void recalculate();
    void showCandidates();
    QString statusText() const;
    void followDefaultSamplePoint();

    can::RateList m_list;
    can::TimingResult m_result;
    bool m_samplePointChosen = false;  // the user set it: it no longer follows the rate
    QSpinBox* m_rate = nullptr;
    QDoubleSpinBox* m_samplePoint = nullptr;
    QSpinBox* m_jumpWidth = nullptr;
    QLabel* m_status = nullptr;
    QTableWidget* m_table = nullptr;
    QPushButton* m_use = nullptr;
};
