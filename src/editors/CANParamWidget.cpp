#include "editors/CANParamWidget.h"

#include "ui_CANParamWidget.h"

#include "editors/TimingCalculatorDialog.h"
#include "operations/BitTiming.h"
#include "operations/RegisterText.h"

#include <QComboBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidgetItem>

#include <algorithm>

namespace {

// Hardware types above this one can run their channels in CAN FD mode.
constexpr int kLastClassicOnlyHardwareType = 0x12;
constexpr int kRowHeight = 24;
constexpr int kIdColumn = 2;
constexpr int kMaskColumn = 3;
// The filter table keeps room for this many rows however small the window.
constexpr int kVisibleFilterRows = 3;
constexpr int kModeCan = 0;
const QString kEmptyRegister = QStringLiteral("00 00 00 00");

void fillRateList(QComboBox* combo, can::RateList list)
{
    const can::RateTable table = can::rateTable(list);
    for (int i = 0; i < table.count; ++i) {
        const can::RateEntry& e = table.entries[i];
        const QString text = e.translated ? CANParamWidget::tr(e.text) : QString::fromLatin1(e.text);
        combo->addItem(text, QByteArray::fromHex(e.registerHex));
    }
}

int comboIndex(const QTableWidget* table, int row, int column)
{
    const auto* combo = qobject_cast<const QComboBox*>(table->cellWidget(row, column));
    return combo ? combo->currentIndex() : -1;
}

// The entries are translated texts of any length: the column grows to show them whole.
void widenToShow(QTableWidget* table, int column, const QWidget* cell)
{
    table->setColumnWidth(column, std::max(table->columnWidth(column), cell->sizeHint().width()));
}

// The classic all-zero code asks the device to detect the bus's rate.
bool isSelfAdaption(const QString& text, can::RateList list)
{
    return list == can::RateList::Classic && can::isFourByteRateText(text) &&
           can::rateTextToBytes(text) == QByteArray(4, '\0');
}

QString cellText(const QTableWidget* table, int row, int column)
{
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}

}  // namespace

CANParamWidget::CANParamWidget(QWidget* parent, int drive_type, int hardwareType)
    : QWidget(parent), ui(std::make_unique<Ui::CANParamWidget>()), drive_type(drive_type)
{
    ui->setupUi(this);
    // A scroll area fills the widget it scrolls; the editor sits on its page's background.
    ui->scrollAreaWidgetContents->setAutoFillBackground(false);
    connect(ui->lineEditBautRate, &QLineEdit::textChanged, this,
            [this] { updateHint(ui->lineEditBautRate, ui->labelBautRateHint, bitRateList()); });
    connect(ui->lineEditdatarate, &QLineEdit::textChanged, this,
            [this] { updateHint(ui->lineEditdatarate, ui->labeldatarateHint, can::RateList::Data); });
    addTimingCalculatorButton(ui->comboBoxBautRate, ui->lineEditBautRate, "pushButtonBautRateTiming");
    addTimingCalculatorButton(ui->comboBoxdatarate, ui->lineEditdatarate, "pushButtonDatarateTiming");
    if (isCanFd())
        setUpCanFd(hardwareType);
    else
        setUpClassic();
    keepFilterRowsVisible();
    setUpAccess();
    for (const QComboBox* combo :
         {ui->comboBoxBautRate, ui->comboBoxdatarate, ui->comboBoxMode, ui->comboBoxFD})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CANParamWidget::edited);
    for (const QLineEdit* edit : {ui->lineEditBautRate, ui->lineEditdatarate})
        connect(edit, &QLineEdit::textChanged, this, &CANParamWidget::edited);
    const QAbstractItemModel* rows = ui->tableWidgetDatalist->model();
    connect(rows, &QAbstractItemModel::dataChanged, this, &CANParamWidget::edited);
    connect(rows, &QAbstractItemModel::rowsInserted, this, &CANParamWidget::edited);
    connect(rows, &QAbstractItemModel::rowsRemoved, this, &CANParamWidget::edited);
}

CANParamWidget::~CANParamWidget() = default;

void CANParamWidget::setUpCanFd(int hardwareType)
{
    ui->comboBoxMode->addItem(QStringLiteral("CAN"));
    if (hardwareType > kLastClassicOnlyHardwareType)
        ui->comboBoxMode->addItem(QStringLiteral("CANFD"));
    const QStringList headers{tr("Type"), tr("Mode"), tr("ID Register"), tr("Mask Register")};
    ui->tableWidgetDatalist->setColumnCount(headers.size());
    ui->tableWidgetDatalist->setHorizontalHeaderLabels(headers);
    fillRateList(ui->comboBoxBautRate, can::RateList::Arbitration);
    fillRateList(ui->comboBoxdatarate, can::RateList::Data);
    ui->labeldata->setText(tr("Data BautRate:"));
    ui->labelArbit->setText(tr("Arbitrate BauteRate:"));
}

void CANParamWidget::setUpClassic()
{
    ui->labelArbit->setText(tr("BauteRate:"));
    ui->widget_datarate->hide();
    ui->widget_mode->hide();
    const QStringList headers{tr("Work Mode"), tr("Bit"), tr("ID Register"), tr("Mask Register")};
    QTableWidget* table = ui->tableWidgetDatalist;
    table->setColumnCount(headers.size());
    table->setHorizontalHeaderLabels(headers);
    fillRateList(ui->comboBoxBautRate, can::RateList::Classic);
    table->setColumnWidth(0, 100);
    table->setColumnWidth(1, 80);
    table->setColumnWidth(2, 100);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
}

can::RateList CANParamWidget::bitRateList() const
{
    return isCanFd() ? can::RateList::Arbitration : can::RateList::Classic;
}

// --- bit rates ---

void CANParamWidget::on_comboBoxBautRate_currentIndexChanged(int index)
{
    const bool custom =
        index == can::kClassicCustomIndex || (isCanFd() && index == can::kArbitrationCustomIndex);
    showSelection(ui->comboBoxBautRate, ui->lineEditBautRate, index, custom);
}

void CANParamWidget::on_comboBoxdatarate_currentIndexChanged(int index)
{
    showSelection(ui->comboBoxdatarate, ui->lineEditdatarate, index, index == can::kDataCustomIndex);
}

void CANParamWidget::on_comboBoxMode_currentTextChanged(const QString&)
{
    // Any place but "CAN"'s, none included, shows the CAN FD settings.
    const bool canFd = ui->comboBoxMode->currentIndex() != kModeCan;
    ui->label_FD->setVisible(canFd);
    ui->comboBoxFD->setVisible(canFd);
    ui->widget_datarate->setVisible(canFd);
}

void CANParamWidget::showSelection(QComboBox* combo, QLineEdit* edit, int index, bool editable)
{
    // No selection has no item data: the text becomes a bare "0x".
    edit->setText(can::rateSelectionText(combo->itemData(index).toByteArray()));
    edit->setReadOnly(!editable);
}

bool CANParamWidget::selectMatchingRate(QComboBox* combo, QLineEdit* edit, can::RateList list,
                                        const QByteArray& bytes)
{
    for (int i = 0; i < combo->count(); ++i) {
        const QVariant data = combo->itemData(i);
        if (data.isValid() && data.toByteArray() == bytes) {
            combo->setCurrentIndex(i);
            // When the entry was already current no signal refreshes the text, and
            // "custom" may still show an older typed value.
            showSelection(combo, edit, i, i == can::rateTable(list).customIndex);
            return true;
        }
    }
    return false;
}

void CANParamWidget::selectRate(QComboBox* combo, QLineEdit* edit, can::RateList list,
                                const QByteArray& bytes)
{
    if (selectMatchingRate(combo, edit, list, bytes))
        return;
    // "custom" first: selecting it afterwards would overwrite the text with its seed.
    combo->setCurrentIndex(can::rateTable(list).customIndex);
    edit->setText(can::customRateText(bytes));
}

// As selectRate, but "custom" shows the text as it was given.
void CANParamWidget::selectRateText(QComboBox* combo, QLineEdit* edit, can::RateList list,
                                    const QString& text)
{
    if (selectMatchingRate(combo, edit, list, can::rateTextToBytes(text)))
        return;
    combo->setCurrentIndex(can::rateTable(list).customIndex);
    edit->setText(text);
}

void CANParamWidget::setBaudRateBytes(const QByteArray& bytes)
{
    selectRate(ui->comboBoxBautRate, ui->lineEditBautRate, bitRateList(), bytes);
}

int CANParamWidget::modeIndex() const
{
    return ui->comboBoxMode->currentIndex();
}

int CANParamWidget::fdIndex() const
{
    return ui->comboBoxFD->currentIndex();
}

void CANParamWidget::updateHint(const QLineEdit* edit, QLabel* hint, can::RateList list)
{
    const QByteArray bytes = can::rateTextToBytes(edit->text());
    if (isSelfAdaption(edit->text(), list)) {
        hint->setText(tr("bit rate detected by the device"));
        return;
    }
    // Text that is not eight digits would not be sent, whatever it decodes to.
    can::BitTiming timing = can::decodeBitTiming(bytes, list);
    timing.valid = timing.valid && can::isFourByteRateText(edit->text());
    hint->setText(can::bitTimingHint(timing));
    alignRateRows();
}

// The two rate rows are layouts of their own: hints of one width keep their
// register fields and calculator buttons one under the other.
void CANParamWidget::alignRateRows()
{
    const int width =
        std::max(ui->labelBautRateHint->sizeHint().width(), ui->labeldatarateHint->sizeHint().width());
    ui->labelBautRateHint->setMinimumWidth(width);
    ui->labeldatarateHint->setMinimumWidth(width);
}

void nameTimingCalculatorButton(QPushButton* button)
{
    button->setText(CANParamWidget::tr("Calculator…"));
    button->setToolTip(CANParamWidget::tr("Compute the register from a bit rate and a sample point"));
    button->setAccessibleName(CANParamWidget::tr("Bit-timing calculator"));
}

// Beside the register text: computes it from a rate and a sample point.
void CANParamWidget::addTimingCalculatorButton(QComboBox* combo, QLineEdit* edit, const char* objectName)
{
    auto* row = qobject_cast<QBoxLayout*>(edit->parentWidget()->layout());
    auto* button = new QPushButton(edit->parentWidget());
    button->setAutoDefault(false);
    button->setObjectName(QLatin1String(objectName));
    nameTimingCalculatorButton(button);
    row->insertWidget(row->indexOf(edit) + 1, button);
    QWidget::setTabOrder(edit, button);
    connect(button, &QPushButton::clicked, this, [this, combo, edit] { openTimingCalculator(combo, edit); });
}

// The chosen timing selects its entry when a list has it, else "custom" with its text.
void CANParamWidget::openTimingCalculator(QComboBox* combo, QLineEdit* edit)
{
    const can::RateList list = combo == ui->comboBoxdatarate ? can::RateList::Data : bitRateList();
    auto* dialog = new TimingCalculatorDialog(list, can::rateTextToBytes(edit->text()), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, combo, edit, list] {
        const QByteArray registers = dialog->chosenRegisters();
        if (!registers.isEmpty())
            selectRate(combo, edit, list, registers);
    });
    dialog->open();
}

// --- filter table ---

void CANParamWidget::on_pushButtonAdd_clicked()
{
    QTableWidget* table = ui->tableWidgetDatalist;
    const int r = table->rowCount();
    table->setRowCount(r + 1);
    auto* kind = new QComboBox(table);
    auto* mode = new QComboBox(table);
    if (isCanFd()) {
        kind->addItems({tr("standard frame"), tr("extended frame")});
        mode->addItems({tr("range ID"), tr("clear ID"), tr("mask ID")});
    } else {
        kind->addItems({tr("mask Mode"), tr("list Mode")});
        mode->addItems({QStringLiteral("16"), QStringLiteral("32")});
        mode->setCurrentIndex(1);
    }
    table->setCellWidget(r, 0, kind);
    table->setCellWidget(r, 1, mode);
    for (const QComboBox* combo : {kind, mode})
        connect(combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &CANParamWidget::edited);
    widenToShow(table, 0, kind);
    widenToShow(table, 1, mode);
    table->setItem(r, kIdColumn, new QTableWidgetItem(kEmptyRegister));
    table->setItem(r, kMaskColumn, new QTableWidgetItem(kEmptyRegister));
    table->setRowHeight(r, kRowHeight);
    updateFilterButtons();
}

void CANParamWidget::on_pushButtonDown_clicked()
{
    // Every row with a selected cell goes: one click, or the arrow keys, mark a row.
    QTableWidget* table = ui->tableWidgetDatalist;
    QVector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedIndexes())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto r = rows.crbegin(); r != rows.crend(); ++r)
        table->removeRow(*r);
}

void CANParamWidget::keepFilterRowsVisible()
{
    QTableWidget* table = ui->tableWidgetDatalist;
    table->setMinimumHeight(table->horizontalHeader()->sizeHint().height() + kVisibleFilterRows * kRowHeight +
                            table->horizontalScrollBar()->sizeHint().height() + 2 * table->frameWidth());
}

void CANParamWidget::clearFilters()
{
    const int n = ui->tableWidgetDatalist->rowCount();
    for (int i = 0; i < n; ++i)
        ui->tableWidgetDatalist->removeRow(0);
}

QVector<can::FilterRow> CANParamWidget::filterRows() const
{
    const QTableWidget* table = ui->tableWidgetDatalist;
    QVector<can::FilterRow> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        rows.push_back({comboIndex(table, r, 0), comboIndex(table, r, 1), cellText(table, r, kIdColumn),
                        cellText(table, r, kMaskColumn)});
    }
    return rows;
}

void CANParamWidget::appendFilterRow(const can::FilterRow& row)
{
    on_pushButtonAdd_clicked();
    showFilterRow(ui->tableWidgetDatalist->rowCount() - 1, row);
}

void CANParamWidget::showFilterRow(int r, const can::FilterRow& row)
{
    QTableWidget* table = ui->tableWidgetDatalist;
    qobject_cast<QComboBox*>(table->cellWidget(r, 0))->setCurrentIndex(row.kind);
    qobject_cast<QComboBox*>(table->cellWidget(r, 1))->setCurrentIndex(row.mode);
    table->item(r, kIdColumn)->setText(row.idText);
    table->item(r, kMaskColumn)->setText(row.maskText);
}

// --- configuration file ---

config::CanChannel CANParamWidget::channelConfig() const
{
    config::CanChannel channel;
    channel.rateText = ui->lineEditBautRate->text();
    if (isCanFd()) {
        channel.dataRateText = ui->lineEditdatarate->text();
        channel.mode = modeIndex();
        channel.fd = fdIndex();
    }
    channel.filters = filterRows();
    return channel;
}

void CANParamWidget::loadChannelConfig(const config::CanChannel& channel, int firstNewRow)
{
    if (isCanFd()) {
        selectRateText(ui->comboBoxBautRate, ui->lineEditBautRate, can::RateList::Arbitration,
                       channel.rateText);
        selectRateText(ui->comboBoxdatarate, ui->lineEditdatarate, can::RateList::Data, channel.dataRateText);
        ui->comboBoxFD->setCurrentIndex(channel.fd);
        ui->comboBoxMode->setCurrentIndex(channel.mode);
    } else {
        setBaudRateBytes(can::rateTextToBytes(channel.rateText));
    }
    for (int r = firstNewRow; r < channel.filters.size(); ++r)
        appendFilterRow(channel.filters.at(r));
}

// The rows shown already are kept and given the new values: building a row's
// two combo boxes anew costs far more than setting them.
void CANParamWidget::setChannelConfig(const config::CanChannel& channel)
{
    QTableWidget* table = ui->tableWidgetDatalist;
    const int kept = std::min(table->rowCount(), int(channel.filters.size()));
    table->setRowCount(kept);
    for (int r = 0; r < kept; ++r)
        showFilterRow(r, channel.filters.at(r));
    loadChannelConfig(channel, kept);
}
