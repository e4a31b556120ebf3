#include "editors/TimingCalculatorDialog.h"

#include "operations/RegisterText.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The register first: it is what the user takes; the fields that give it last.
enum Column {
    Register,
    Rate,
    Error,
    SamplePoint,
    Prescaler,
    Quantum,
    Segment1,
    Segment2,
    JumpWidth,
    Columns
};

// Rates the user may ask for: the fastest phase's limit and beyond, so that
// a rate out of reach is said so rather than refused by the box.
constexpr int kHighestWantedRate = 10000000;

QString rateText(qint64 bitRate)
{
    return QLocale().toString(bitRate) + QStringLiteral(" bit/s");
}

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

}  // namespace

TimingCalculatorDialog::TimingCalculatorDialog(can::RateList list, const QByteArray& current, QWidget* parent)
    : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("TimingCalculatorDialog"));
    setWindowTitle(tr("Bit-timing calculator"));
    buildForm();
    const can::BitTiming timing = can::decodeBitTiming(current, list);
    const qint64 start = timing.valid ? timing.bitRate : list == can::RateList::Data ? 2000000 : 500000;
    m_rate->setValue(int(start));
    followDefaultSamplePoint();
    recalculate();
    // Wide enough for every column, with room for longer rates than the first ones.
    m_table->setMinimumWidth(m_table->horizontalHeader()->length() +
                             m_table->verticalScrollBar()->sizeHint().width() + 2 * m_table->frameWidth() +
                             4 * fontMetrics().averageCharWidth());
    m_rate->setFocus();
    m_rate->selectAll();
}

void TimingCalculatorDialog::buildForm()
{
    const can::TimingLayout layout = can::timingLayout(m_list);
    auto* form = new QFormLayout;

    m_rate = new QSpinBox(this);
    m_rate->setObjectName(QStringLiteral("spinBoxRate"));
    m_rate->setRange(1, kHighestWantedRate);
    m_rate->setSuffix(QStringLiteral(" bit/s"));
    m_rate->setGroupSeparatorShown(true);
    m_rate->setAccessibleName(tr("Wanted bit rate"));
    form->addRow(tr("&Bit rate:"), m_rate);

    m_samplePoint = new QDoubleSpinBox(this);
    m_samplePoint->setObjectName(QStringLiteral("doubleSpinBoxSamplePoint"));
    m_samplePoint->setRange(50.0, 99.0);
    m_samplePoint->setDecimals(1);
    m_samplePoint->setSingleStep(0.5);
    m_samplePoint->setSuffix(QStringLiteral(" %"));
    m_samplePoint->setAccessibleName(tr("Wanted sample point"));
    m_samplePoint->setToolTip(
        tr("Default as CiA recommends: 87.5 % up to 500 kbit/s, 80 % up to 800 kbit/s, "
           "75 % above"));
    form->addRow(tr("&Sample point:"), m_samplePoint);

    m_jumpWidth = new QSpinBox(this);
    m_jumpWidth->setObjectName(QStringLiteral("spinBoxJumpWidth"));
    m_jumpWidth->setRange(1, layout.maxJumpWidth);
    m_jumpWidth->setValue(1);
    m_jumpWidth->setSuffix(tr(" tq"));
    m_jumpWidth->setAccessibleName(tr("Resynchronisation jump width in time quanta"));
    form->addRow(tr("&Jump width (SJW):"), m_jumpWidth);

    for (QAbstractSpinBox* box :
         {static_cast<QAbstractSpinBox*>(m_rate), static_cast<QAbstractSpinBox*>(m_samplePoint),
          static_cast<QAbstractSpinBox*>(m_jumpWidth)}) {
        box->setFocusPolicy(Qt::StrongFocus);
        box->installEventFilter(this);
    }

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("labelStatus"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_table = new QTableWidget(0, Columns, this);
    m_table->setObjectName(QStringLiteral("tableCandidates"));
    m_table->setHorizontalHeaderLabels({tr("Register"), tr("Bit rate"), tr("Error"), tr("Sample point"),
                                        tr("Prescaler"), tr("Time quantum"), tr("Segment 1"), tr("Segment 2"),
                                        tr("SJW")});
    m_table->setAccessibleName(tr("Timings, best first"));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setMinimumHeight(280);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_use = buttons->button(QDialogButtonBox::Ok);
    m_use->setText(tr("&Use this timing"));
    m_use->setObjectName(QStringLiteral("pushButtonUse"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Cancel"));

    auto* layoutBox = new QVBoxLayout(this);
    layoutBox->addLayout(form);
    layoutBox->addWidget(m_status);
    layoutBox->addWidget(m_table);
    layoutBox->addWidget(buttons);

    connect(m_rate, QOverload<int>::of(&QSpinBox::valueChanged), this, [this] {
        followDefaultSamplePoint();
        recalculate();
    });
    connect(m_samplePoint, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this] {
        m_samplePointChosen = true;
        recalculate();
    });
    connect(m_jumpWidth, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &TimingCalculatorDialog::recalculate);
    connect(m_table, &QTableWidget::itemSelectionChanged, this,
            [this] { m_use->setEnabled(!m_table->selectedItems().isEmpty()); });
    connect(m_table, &QTableWidget::itemActivated, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// The sample point follows the CiA default for the rate until the user sets it.
void TimingCalculatorDialog::followDefaultSamplePoint()
{
    if (m_samplePointChosen)
        return;
    const QSignalBlocker blocker(m_samplePoint);
    m_samplePoint->setValue(100.0 * can::defaultSamplePoint(m_rate->value()));
}

void TimingCalculatorDialog::recalculate()
{
    m_result = can::calculateBitTiming(
        {m_list, m_rate->value(), m_samplePoint->value() / 100.0, m_jumpWidth->value()});
    showCandidates();
    m_status->setText(statusText());
}

void TimingCalculatorDialog::showCandidates()
{
    m_table->setRowCount(0);
    const qint64 wanted = m_rate->value();
    for (const can::TimingCandidate& c : m_result.candidates) {
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        m_table->setItem(row, Prescaler, cell(QString::number(c.timing.prescaler)));
        m_table->setItem(row, Quantum,
                         cell(tr("%1 ns").arg(QLocale().toString(c.quantumNs(m_list), 'f', 1))));
        m_table->setItem(row, Segment1, cell(QString::number(c.timing.segment1)));
        m_table->setItem(row, Segment2, cell(QString::number(c.timing.segment2)));
        m_table->setItem(row, JumpWidth, cell(QString::number(c.timing.jumpWidth)));
        m_table->setItem(row, Rate, cell(rateText(c.timing.bitRate)));
        m_table->setItem(row, Error,
                         cell(QLocale().toString(c.rateErrorPercent(wanted), 'f', 3) + QStringLiteral(" %")));
        m_table->setItem(
            row, SamplePoint,
            cell(QLocale().toString(100.0 * c.timing.samplePoint, 'f', 1) + QStringLiteral(" %")));
        m_table->setItem(row, Register, cell(can::rateSelectionText(c.registers)));
    }
    if (m_table->rowCount() > 0)
        m_table->selectRow(0);
    m_use->setEnabled(m_table->rowCount() > 0);
}

QString TimingCalculatorDialog::statusText() const
{
    if (!m_result.error.isEmpty())
        return m_result.error;
    if (m_result.candidates.isEmpty())
        return tr("No timing of this layout has this jump width.");
    const can::TimingCandidate& best = m_result.candidates.front();
    const QString clock = tr("%1 MHz").arg(can::timingLayout(m_list).clockHz / 1000000);
    if (!m_result.reachable) {
        return tr("%1 cannot be reached within 5 % with the %2 clock. The nearest timings are shown; "
                  "the best gives %3.")
            .arg(rateText(m_rate->value()), clock, rateText(best.timing.bitRate));
    }
    if (best.rateError == 0)
        return tr("The %1 clock gives %2 exactly. Best first: the sample point nearest the wanted one, "
                  "then more time quanta.")
            .arg(clock, rateText(best.timing.bitRate));
    return tr("The %1 clock cannot give %2 exactly; the nearest is %3 (%4 %).")
        .arg(clock, rateText(m_rate->value()), rateText(best.timing.bitRate),
             QLocale().toString(best.rateErrorPercent(m_rate->value()), 'f', 3));
}

QByteArray TimingCalculatorDialog::chosenRegisters() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return {};
    const int row = selected.front()->row();
    return row < m_result.candidates.size() ? m_result.candidates.at(row).registers : QByteArray();
}

// A wheel over a box that has not been given the focus scrolls the dialog,
// not the value.
bool TimingCalculatorDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* box = qobject_cast<QWidget*>(watched);
        if (box && !box->hasFocus()) {
            event->ignore();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
