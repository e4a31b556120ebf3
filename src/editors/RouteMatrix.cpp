#include "editors/RouteMatrix.h"

#include "widgets/CheckButton.h"
#include "widgets/SlashWidget.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QSignalMapper>
#include <QTableWidget>

namespace {

constexpr int kColumnWidth = 90;
// Room beside a port name in its cell, so that the name is never elided.
constexpr int kNamePadding = 16;

QTableWidgetItem* fixedItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);  // neither selectable nor editable
    return item;
}

QTableWidgetItem* portNameItem(const QString& text)
{
    QTableWidgetItem* item = fixedItem(text);
    item->setTextAlignment(Qt::AlignCenter);
    return item;
}

// The header bars hold the port names, so that they stay in place while the
// cells scroll; they are tall and wide enough for the RX/TX corner.
constexpr int kHeaderHeight = 36;
constexpr int kHeaderMinimumWidth = 64;

QString onOffText()
{
    return QCoreApplication::translate("CorvelleRepeater", "ON/OFF");
}

// The keyboard in the matrix: the arrow keys move between the cells, and Tab
// enters the matrix at one cell (the last one focused) and leaves it with the
// next press, instead of stopping at each of several hundred cells.
class RouteCellKeys : public QObject {
public:
    explicit RouteCellKeys(QTableWidget* table) : QObject(table), m_table(table)
    {
        setObjectName(QStringLiteral("routeCellKeys"));
    }

    void adopt(CheckButton* cell)
    {
        cell->installEventFilter(this);
        cell->setFocusPolicy(m_tabStop ? Qt::ClickFocus : Qt::StrongFocus);
        if (!m_tabStop && cell->isEnabled())
            m_tabStop = cell;
    }

    void forget()
    {
        m_tabStop = nullptr;
        m_cells.clear();
        m_ports = 0;
    }

    // The cells by place: the table finds a cell widget by a model index,
    // which a read or a snapshot of an 18-port matrix does hundreds of times.
    void place(int source, int destination, int ports, CheckButton* cell)
    {
        if (ports != m_ports) {
            m_cells = QVector<QPointer<CheckButton>>(ports * ports);
            m_ports = ports;
        }
        m_cells[source * ports + destination] = cell;
    }

    CheckButton* cell(int source, int destination) const
    {
        const bool inside = source >= 0 && source < m_ports && destination >= 0 && destination < m_ports;
        return inside ? m_cells.at(source * m_ports + destination).data() : nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* cell = qobject_cast<CheckButton*>(watched);
        if (!cell)
            return false;
        if (event->type() == QEvent::FocusIn) {
            makeTabStop(cell);
            m_table->scrollTo(indexOf(cell));
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const QPoint step = key == Qt::Key_Left    ? QPoint(-1, 0)
                                : key == Qt::Key_Right ? QPoint(1, 0)
                                : key == Qt::Key_Up    ? QPoint(0, -1)
                                : key == Qt::Key_Down  ? QPoint(0, 1)
                                                       : QPoint();
            if (step.isNull())
                return false;
            move(cell, step);
            return true;
        }
        return false;
    }

private:
    QModelIndex indexOf(const QWidget* cell) const { return m_table->indexAt(cell->geometry().center()); }

    void makeTabStop(CheckButton* cell)
    {
        if (m_tabStop == cell)
            return;
        if (m_tabStop)
            m_tabStop->setFocusPolicy(Qt::ClickFocus);
        cell->setFocusPolicy(Qt::StrongFocus);
        m_tabStop = cell;
    }

    // To the next enabled cell that way, over the disabled same-port cells.
    void move(const CheckButton* from, QPoint step)
    {
        const QModelIndex start = indexOf(from);
        int row = start.row() + step.y();
        int column = start.column() + step.x();
        for (; row >= 0 && row < m_table->rowCount() && column >= 0 && column < m_table->columnCount();
             row += step.y(), column += step.x()) {
            auto* next = qobject_cast<CheckButton*>(m_table->cellWidget(row, column));
            if (next && next->isEnabled()) {
                m_table->scrollTo(m_table->model()->index(row, column));
                next->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }

    QTableWidget* m_table;
    QPointer<CheckButton> m_tabStop;
    QVector<QPointer<CheckButton>> m_cells;
    int m_ports = 0;
};

RouteCellKeys* existingCellKeys(const QTableWidget* table)
{
    return table->findChild<RouteCellKeys*>(QStringLiteral("routeCellKeys"), Qt::FindDirectChildrenOnly);
}

RouteCellKeys* cellKeys(QTableWidget* table)
{
    RouteCellKeys* keys = existingCellKeys(table);
    return keys ? keys : new RouteCellKeys(table);
}

QString portName(const route::Ports& ports, int p)
{
    return p <= ports.nCAN ? QStringLiteral("CAN%1").arg(p) : QStringLiteral("Fiber%1").arg(p - ports.nCAN);
}

}  // namespace

RouteMatrix::RouteMatrix(QTableWidget* table, QSignalMapper* mapper, int nCAN, int nFiberOptic)
    : m_table(table), m_mapper(mapper), m_ports{qMax(0, nCAN), qMax(0, nFiberOptic)}
{
}

void RouteMatrix::build() const
{
    if (!m_table)
        return;
    const int n = m_ports.count();
    m_table->setRowCount(n + 1);
    m_table->setColumnCount(n + 2);
    for (int c = 0; c < n + 2; ++c)
        m_table->setColumnWidth(c, kColumnWidth);

    cellKeys(m_table)->forget();
    addHeaderRow();
    addPortRows();
    showNamesInHeaders();

    if (m_mapper) {
        // The connection's context is the table: it ends with it, and a
        // rebuild swaps it instead of stacking a second one.
        QObject::disconnect(m_mapper, &QSignalMapper::mappedInt, m_table, nullptr);
        QObject::connect(m_mapper, &QSignalMapper::mappedInt, m_table,
                         [view = *this](int row) { view.applySwitch(row); });
    }
    // The columns share the table's width down to the width of the longest
    // name; below that the table scrolls.
    m_table->horizontalHeader()->setMinimumSectionSize(widestName() + kNamePadding);
    // Once for all sections: a mode per section costs a relayout each.
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
}

int RouteMatrix::widestName() const
{
    const QFontMetrics metrics(m_table->font());
    int widest = 0;
    for (int c = 0; c < m_table->columnCount(); ++c) {
        if (const QTableWidgetItem* item = m_table->item(0, c))
            widest = qMax(widest, metrics.horizontalAdvance(item->text()));
    }
    return widest;
}

void RouteMatrix::addHeaderRow() const
{
    m_table->setItem(0, 0, fixedItem(onOffText()));
    m_table->setCellWidget(0, 1, new SlashWidget(m_table));
    for (int p = 1; p <= m_ports.count(); ++p) {
        const QString name = portName(m_ports, p);
        m_table->setItem(0, p + 1, portNameItem(name));
        m_table->setItem(p, 1, portNameItem(name));
    }
}

// Row 0 and column 1 keep the names for whoever reads the cells; on screen
// the header bars show them, which stay in place while the cells scroll.
void RouteMatrix::showNamesInHeaders() const
{
    const int n = m_ports.count();
    QStringList columns{onOffText(), QString()};
    QStringList rows{QString()};
    for (int p = 1; p <= n; ++p) {
        columns << portName(m_ports, p);
        rows << portName(m_ports, p);
    }
    m_table->setHorizontalHeaderLabels(columns);
    m_table->setVerticalHeaderLabels(rows);
    m_table->horizontalHeader()->show();
    m_table->verticalHeader()->show();
    m_table->horizontalHeader()->setMinimumHeight(kHeaderHeight);
    m_table->verticalHeader()->setMinimumWidth(kHeaderMinimumWidth);
    m_table->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_table->setRowHidden(0, true);
    m_table->setColumnHidden(1, true);
    // The cells take the focus, the table itself not: Tab goes to a cell,
    // and from it out of the table rather than to the next cell.
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setTabKeyNavigation(false);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    putSlashInCorner();
}

// The RX/TX diagonal goes where the two header bars meet: the table's corner
// button, which the table keeps in place and in size.
void RouteMatrix::putSlashInCorner() const
{
    m_table->setCornerButtonEnabled(false);
    auto* corner = m_table->findChild<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly);
    if (!corner || corner->findChild<SlashWidget*>())
        return;
    corner->setFocusPolicy(Qt::NoFocus);
    corner->setAccessibleName(QStringLiteral("RX \\ TX"));
    auto* layout = new QHBoxLayout(corner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new SlashWidget(corner));
}

void RouteMatrix::retranslate() const
{
    if (!m_table || m_table->columnCount() < 1)
        return;
    if (QTableWidgetItem* item = m_table->item(0, 0))
        item->setText(onOffText());
    if (QTableWidgetItem* header = m_table->horizontalHeaderItem(0))
        header->setText(onOffText());
    for (int p = 1; p <= m_ports.count(); ++p) {
        if (CheckButton* onOff = portSwitch(p))
            onOff->setCellName(QStringLiteral("%1 %2").arg(portName(m_ports, p), onOffText()));
    }
}

void RouteMatrix::addPortRows() const
{
    const int n = m_ports.count();
    RouteCellKeys* keys = cellKeys(m_table);
    for (int p = 1; p <= n; ++p) {
        auto* onOff = new CheckButton(m_table);
        onOff->setCellName(QStringLiteral("%1 %2").arg(portName(m_ports, p), onOffText()));
        if (m_mapper) {
            QObject::connect(onOff, &CheckButton::clicked, m_mapper, qOverload<>(&QSignalMapper::map));
            m_mapper->setMapping(onOff, p);
        }
        m_table->setCellWidget(p, 0, onOff);
        keys->adopt(onOff);
        for (int q = 1; q <= n; ++q) {
            auto* cell = new CheckButton(m_table);
            cell->setCellName(QStringLiteral("%1 → %2").arg(portName(m_ports, p), portName(m_ports, q)));
            if (q == p) {
                cell->setOn(false);
                cell->setEnabled(false);
            }
            m_table->setCellWidget(p, q + 1, cell);
            keys->adopt(cell);
            keys->place(p - 1, q - 1, n, cell);
        }
    }
}

void RouteMatrix::clear() const
{
    if (m_table)
        m_table->setRowCount(0);
}

void RouteMatrix::applySwitch(int row) const
{
    CheckButton* onOff = portSwitch(row);
    if (!onOff)
        return;
    const bool on = onOff->isOn();
    const int port = row - 1;
    for (int other = 0; other < m_ports.count(); ++other) {
        if (CheckButton* cell = routeCell(port, other))
            cell->setOn(on);
        if (CheckButton* cell = routeCell(other, port))
            cell->setOn(on);
    }
    if (CheckButton* samePort = routeCell(port, port))
        samePort->setOn(false);
}

CheckButton* RouteMatrix::portSwitch(int port) const
{
    if (!m_table || port < 1 || port > m_ports.count())
        return nullptr;
    return qobject_cast<CheckButton*>(m_table->cellWidget(port, 0));
}

CheckButton* RouteMatrix::routeCell(int source, int destination) const
{
    const int n = m_ports.count();
    if (!m_table || source < 0 || source >= n || destination < 0 || destination >= n)
        return nullptr;
    const RouteCellKeys* keys = existingCellKeys(m_table);
    return keys ? keys->cell(source, destination) : nullptr;
}

route::Row RouteMatrix::row(int source) const
{
    route::Row states(m_ports.count(), false);
    const RouteCellKeys* keys = m_table ? existingCellKeys(m_table) : nullptr;
    for (int d = 0; keys && d < m_ports.count(); ++d) {
        if (const CheckButton* cell = keys->cell(source, d))
            states[d] = cell->isOn();
    }
    return states;
}

route::Matrix RouteMatrix::matrix() const
{
    route::Matrix rows;
    rows.reserve(m_ports.count());
    for (int s = 0; s < m_ports.count(); ++s)
        rows << row(s);
    return rows;
}

void RouteMatrix::setRow(int source, const route::Row& states, bool includeSamePort) const
{
    const RouteCellKeys* keys = m_table ? existingCellKeys(m_table) : nullptr;
    for (int d = 0; keys && d < m_ports.count() && d < states.size(); ++d) {
        if (d == source && !includeSamePort)
            continue;
        if (CheckButton* cell = keys->cell(source, d))
            cell->setOn(states[d]);
    }
}
