#include "editors/RouteMatrix.h"

#include "widgets/CheckButton.h"
#include "widgets/SlashWidget.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
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
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->hide();
    m_table->setRowCount(n + 1);
    m_table->setColumnCount(n + 2);
    for (int c = 0; c < n + 2; ++c)
        m_table->setColumnWidth(c, kColumnWidth);

    addHeaderRow();
    addPortRows();

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
    m_table->setItem(0, 0, fixedItem(QCoreApplication::translate("CorvelleRepeater", "ON/OFF")));
    m_table->setCellWidget(0, 1, new SlashWidget(m_table));
    for (int p = 1; p <= m_ports.count(); ++p) {
        const QString name = p <= m_ports.nCAN ? QStringLiteral("CAN%1").arg(p)
                                               : QStringLiteral("Fiber%1").arg(p - m_ports.nCAN);
        m_table->setItem(0, p + 1, portNameItem(name));
        m_table->setItem(p, 1, portNameItem(name));
    }
}

void RouteMatrix::addPortRows() const
{
    const int n = m_ports.count();
    for (int p = 1; p <= n; ++p) {
        auto* onOff = new CheckButton(m_table);
        if (m_mapper) {
            QObject::connect(onOff, &CheckButton::clicked, m_mapper, qOverload<>(&QSignalMapper::map));
            m_mapper->setMapping(onOff, p);
        }
        m_table->setCellWidget(p, 0, onOff);
        for (int q = 1; q <= n; ++q) {
            auto* cell = new CheckButton(m_table);
            if (q == p) {
                cell->setOn(false);
                cell->setEnabled(false);
            }
            m_table->setCellWidget(p, q + 1, cell);
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
    return qobject_cast<CheckButton*>(m_table->cellWidget(source + 1, destination + 2));
}

route::Row RouteMatrix::row(int source) const
{
    route::Row states(m_ports.count(), false);
    for (int d = 0; d < m_ports.count(); ++d) {
        if (const CheckButton* cell = routeCell(source, d))
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
    for (int d = 0; d < m_ports.count() && d < states.size(); ++d) {
        if (d == source && !includeSamePort)
            continue;
        if (CheckButton* cell = routeCell(source, d))
            cell->setOn(states[d]);
    }
}
