// The bit-timing calculator as a user meets it in the CAN editor: the button
// beside a register text, typing a rate and a sample point, Enter to take the
// best timing, and the register text and its explanation that follow.

#include "editors/CANParamWidget.h"
#include "editors/TimingCalculatorDialog.h"

#include "device/HardwareType.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QtTest>

#include <memory>

class TestTimingCalculatorDialog : public QObject {
    Q_OBJECT

private slots:
    void chosenTimingFillsTheRegisterText_data();
    void chosenTimingFillsTheRegisterText();
    void unreachableRateIsSaidPlainly();
    void wheelLeavesAnUnfocusedBoxAlone();
};

namespace {

template <typename T = QWidget>
T* child(const QObject& w, const char* name)
{
    return w.findChild<T*>(QLatin1String(name));
}

TimingCalculatorDialog* openCalculator(CANParamWidget& editor, const char* button)
{
    child<QPushButton>(editor, button)->click();
    return editor.findChild<TimingCalculatorDialog*>();
}

// Select-all and type, as a user replaces a box's value.
void type(QAbstractSpinBox* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

}  // namespace

void TestTimingCalculatorDialog::chosenTimingFillsTheRegisterText_data()
{
    QTest::addColumn<int>("driveType");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("rate");
    QTest::addColumn<QString>("samplePoint");  // empty: the default
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("classic 83.333 kbit/s") << 1 << "pushButtonBautRateTiming"
                                           << "83333"
                                           << "87.5"
                                           << "custom"
                                           << "0x001c001a"
                                           << "83.33 kbit/s · SP 87.5 %";
    QTest::newRow("arbitration 500 kbit/s default") << 2 << "pushButtonBautRateTiming"
                                                    << "500000"
                                                    << ""
                                                    << "custom"
                                                    << "0x0000670e"
                                                    << "500 kbit/s · SP 87.5 %";
    // The best 5 Mbit/s data timing at 75 % is the listed "5M".
    QTest::newRow("data 5 Mbit/s is listed") << 2 << "pushButtonDatarateTiming"
                                             << "5000000"
                                             << ""
                                             << "5M"
                                             << "0x00000720"
                                             << "5 Mbit/s · SP 75.0 %";
}

void TestTimingCalculatorDialog::chosenTimingFillsTheRegisterText()
{
    QFETCH(int, driveType);
    QFETCH(QString, button);
    QFETCH(QString, rate);
    QFETCH(QString, samplePoint);
    g_nHardwareType = 0x13;
    CANParamWidget editor(nullptr, driveType);
    editor.show();
    TimingCalculatorDialog* dialog = openCalculator(editor, qPrintable(button));
    QVERIFY(dialog && dialog->isVisible());
    QAbstractSpinBox* box = child<QSpinBox>(*dialog, "spinBoxRate");
    type(box, rate);
    if (!samplePoint.isEmpty()) {
        box = child<QDoubleSpinBox>(*dialog, "doubleSpinBoxSamplePoint");
        type(box, samplePoint);
    }
    QVERIFY(child<QTableWidget>(*dialog, "tableCandidates")->rowCount() > 0);
    QTest::keyClick(box, Qt::Key_Return);  // the default button takes the best
    QVERIFY(!dialog->isVisible());

    const bool data = button.contains(QLatin1String("Datarate"));
    QTEST(child<QComboBox>(editor, data ? "comboBoxdatarate" : "comboBoxBautRate")->currentText(), "entry");
    QTEST(child<QLineEdit>(editor, data ? "lineEditdatarate" : "lineEditBautRate")->text(), "text");
    QTEST(child<QLabel>(editor, data ? "labeldatarateHint" : "labelBautRateHint")->text(), "hint");
}

void TestTimingCalculatorDialog::unreachableRateIsSaidPlainly()
{
    TimingCalculatorDialog dialog(can::RateList::Classic, QByteArray::fromHex("0012000B"), nullptr);
    QCOMPARE(child<QSpinBox>(dialog, "spinBoxRate")->value(), 500000);  // the current timing's rate
    QCOMPARE(child<QDoubleSpinBox>(dialog, "doubleSpinBoxSamplePoint")->value(), 87.5);
    child<QSpinBox>(dialog, "spinBoxRate")->setValue(1000);
    QCOMPARE(
        child<QLabel>(dialog, "labelStatus")->text(),
        QStringLiteral("1,000 bit/s cannot be reached within 5 % with the 36 MHz clock. The nearest timings "
                       "are shown; the best gives 1,406 bit/s."));
    QCOMPARE(dialog.chosenRegisters(), QByteArray::fromHex("007F03FF"));
    // The sample point follows the rate's default until the user sets one.
    child<QSpinBox>(dialog, "spinBoxRate")->setValue(1000000);
    QCOMPARE(child<QDoubleSpinBox>(dialog, "doubleSpinBoxSamplePoint")->value(), 75.0);
    child<QDoubleSpinBox>(dialog, "doubleSpinBoxSamplePoint")->setValue(70.0);
    child<QSpinBox>(dialog, "spinBoxRate")->setValue(250000);
    QCOMPARE(child<QDoubleSpinBox>(dialog, "doubleSpinBoxSamplePoint")->value(), 70.0);
}

void TestTimingCalculatorDialog::wheelLeavesAnUnfocusedBoxAlone()
{
    TimingCalculatorDialog dialog(can::RateList::Data, QByteArray(), nullptr);
    auto* rate = child<QSpinBox>(dialog, "spinBoxRate");
    QCOMPARE(rate->value(), 2000000);
    QWheelEvent wheel(QPointF(5, 5), rate->mapToGlobal(QPoint(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(rate, &wheel);
    QCOMPARE(rate->value(), 2000000);
}

QTEST_MAIN(TestTimingCalculatorDialog)
#include "tst_timingcalculatordialog.moc"
