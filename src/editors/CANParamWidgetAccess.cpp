// The CAN editor by keyboard and by screen reader, its texts in the language
// installed now, and the filter-row buttons that follow the rows' limit.

#include "editors/CANParamWidget.h"

#include "ui_CANParamWidget.h"

#include "device/Protocol.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>

namespace {

constexpr int kFamily1FilterRows = protocol::f1::kFilterBanks;

// Left and Right on a row's combo box move to the neighbouring cell, as they
// do between the text cells: the table does not know which cell its cell
// widgets sit in, and would move from wherever its current cell was.
class FilterCellKeys : public QObject {
public:
    explicit FilterCellKeys(QTableWidget* table) : QObject(table), m_table(table)
    {
        setObjectName(QStringLiteral("filterCellKeys"));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Left && key != Qt::Key_Right)
            return false;
        const QModelIndex from = m_table->indexAt(static_cast<QWidget*>(watched)->geometry().center());
        const int column = from.column() + (key == Qt::Key_Left ? -1 : 1);
        if (!from.isValid() || column < 0 || column >= m_table->columnCount())
            return true;
        m_table->setCurrentCell(from.row(), column);
        if (QWidget* cell = m_table->cellWidget(from.row(), column))
            cell->setFocus(Qt::TabFocusReason);
        else
            m_table->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    QTableWidget* m_table;
};

QString withoutColon(QString text)
{
    text.remove(QLatin1Char(':')).remove(QChar(0xFF1A));
    return text.trimmed();
}

}  // namespace

void CANParamWidget::setUpAccess()
{
    QTableWidget* table = ui->tableWidgetDatalist;
    // Tab leaves the table for "+" and "-"; the arrow keys move between cells.
    table->setTabKeyNavigation(false);
    // The scroll area is no stop of its own: it follows the focused control.
    ui->scrollArea->setFocusPolicy(Qt::NoFocus);
    ui->labelArbit->setBuddy(ui->comboBoxBautRate);
    ui->labeldata->setBuddy(ui->comboBoxdatarate);
    ui->label->setBuddy(ui->comboBoxMode);
    ui->label_FD->setBuddy(ui->comboBoxFD);
    connect(table->model(), &QAbstractItemModel::rowsRemoved, this, [this] { updateFilterButtons(); });
    nameControls();
    updateFilterButtons();
}

void CANParamWidget::nameControls()
{
    for (const char* name : {"pushButtonBautRateTiming", "pushButtonDatarateTiming"}) {
        if (auto* button = findChild<QPushButton*>(QLatin1String(name)))
            nameTimingCalculatorButton(button);
    }
    ui->comboBoxBautRate->setAccessibleName(withoutColon(ui->labelArbit->text()));
    ui->lineEditBautRate->setAccessibleName(tr("%1 register").arg(withoutColon(ui->labelArbit->text())));
    ui->comboBoxdatarate->setAccessibleName(withoutColon(ui->labeldata->text()));
    ui->lineEditdatarate->setAccessibleName(tr("%1 register").arg(withoutColon(ui->labeldata->text())));
    ui->comboBoxMode->setAccessibleName(withoutColon(ui->label->text()));
    ui->comboBoxFD->setAccessibleName(withoutColon(ui->label_FD->text()));
    ui->tableWidgetDatalist->setAccessibleName(tr("Filters"));
    ui->pushButtonAdd->setAccessibleName(tr("Add a filter row"));
    ui->pushButtonDown->setAccessibleName(tr("Remove the selected filter rows"));
    ui->pushButtonDown->setToolTip(ui->pushButtonDown->accessibleName());
    // The table's top-left corner selects every row.
    if (auto* corner =
            ui->tableWidgetDatalist->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly))
        corner->setAccessibleName(tr("Select all filter rows"));
}

// "+" stops at the 14 filter banks of a classic device; a CAN FD device's
// limits depend on the rows' frame types and are told by the write.
void CANParamWidget::updateFilterButtons()
{
    QTableWidget* table = ui->tableWidgetDatalist;
    const bool full = !isCanFd() && table->rowCount() >= kFamily1FilterRows;
    ui->pushButtonAdd->setEnabled(!full);
    ui->pushButtonAdd->setToolTip(full ? tr("A channel holds at most %1 filters.").arg(kFamily1FilterRows)
                                       : tr("Add a filter row"));
    // The rows' combo boxes follow the table in the Tab order, row by row, and
    // "+" and "-" follow them: a cell widget joins the chain wherever it was made.
    const QStringList headers = columnHeaders();
    auto* keys =
        table->findChild<FilterCellKeys*>(QStringLiteral("filterCellKeys"), Qt::FindDirectChildrenOnly);
    if (!keys)
        keys = new FilterCellKeys(table);
    QWidget* previous = table;
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < 2; ++c) {
            if (QWidget* cell = table->cellWidget(r, c)) {
                cell->removeEventFilter(keys);
                cell->installEventFilter(keys);
                cell->setAccessibleName(tr("Filter %1: %2").arg(r + 1).arg(headers.value(c)));
                setTabOrder(previous, cell);
                previous = cell;
            }
        }
    }
    setTabOrder(previous, ui->pushButtonAdd);
    setTabOrder(ui->pushButtonAdd, ui->pushButtonDown);
}

QStringList CANParamWidget::columnHeaders() const
{
    if (isCanFd())
        return {tr("Type"), tr("Mode"), tr("ID Register"), tr("Mask Register")};
    return {tr("Work Mode"), tr("Bit"), tr("ID Register"), tr("Mask Register")};
}

void CANParamWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        retranslate();
}

void CANParamWidget::retranslate()
{
    ui->retranslateUi(this);
    if (isCanFd()) {
        ui->labeldata->setText(tr("Data BautRate:"));
        ui->labelArbit->setText(tr("Arbitrate BauteRate:"));
    } else {
        ui->labelArbit->setText(tr("BauteRate:"));
    }
    ui->tableWidgetDatalist->setHorizontalHeaderLabels(columnHeaders());
    retranslateRateList(ui->comboBoxBautRate, bitRateList());
    if (isCanFd())
        retranslateRateList(ui->comboBoxdatarate, can::RateList::Data);

    QTableWidget* table = ui->tableWidgetDatalist;
    const QStringList kinds = isCanFd() ? QStringList{tr("standard frame"), tr("extended frame")}
                                        : QStringList{tr("mask Mode"), tr("list Mode")};
    const QStringList modes = isCanFd() ? QStringList{tr("range ID"), tr("clear ID"), tr("mask ID")}
                                        : QStringList{QStringLiteral("16"), QStringLiteral("32")};
    for (int r = 0; r < table->rowCount(); ++r) {
        if (auto* kind = qobject_cast<QComboBox*>(table->cellWidget(r, 0))) {
            for (int i = 0; i < kind->count() && i < kinds.size(); ++i)
                kind->setItemText(i, kinds[i]);
        }
        if (auto* mode = qobject_cast<QComboBox*>(table->cellWidget(r, 1))) {
            for (int i = 0; i < mode->count() && i < modes.size(); ++i)
                mode->setItemText(i, modes[i]);
        }
        // The entries in the other language may be longer: the columns grow to show them whole.
        for (int c = 0; c < 2; ++c) {
            if (const QWidget* cell = table->cellWidget(r, c))
                table->setColumnWidth(c, qMax(table->columnWidth(c), cell->sizeHint().width()));
        }
    }
    updateHint(ui->lineEditBautRate, ui->labelBautRateHint, bitRateList());
    updateHint(ui->lineEditdatarate, ui->labeldatarateHint, can::RateList::Data);
    nameControls();
    updateFilterButtons();
}

void CANParamWidget::retranslateRateList(QComboBox* combo, can::RateList list)
{
    const can::RateTable table = can::rateTable(list);
    for (int i = 0; i < table.count && i < combo->count(); ++i) {
        if (table.entries[i].translated)
            combo->setItemText(i, tr(table.entries[i].text));
    }
}
