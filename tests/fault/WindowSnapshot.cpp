#include "WindowSnapshot.h"

#include "E2e.h"

#include <QLabel>

namespace fault {
namespace {

int fibreCount(const QWidget& window)
{
    int n = 0;
    while (e2e::fibreSelector(window, n))
        ++n;
    return n;
}

void addCanPage(const QWidget& window, int i, QStringList* lines)
{
    CANParamWidget* editor = e2e::canEditor(window, i);
    if (!editor) {
        *lines << QStringLiteral("can %1 no editor").arg(i);
        return;
    }
    // Only the named controls: the filter table's cell combos are read as rows.
    for (const QComboBox* combo : editor->findChildren<QComboBox*>()) {
        if (!combo->objectName().isEmpty())
            *lines << QStringLiteral("can %1 %2 %3 of %4")
                          .arg(i)
                          .arg(combo->objectName())
                          .arg(combo->currentIndex())
                          .arg(combo->count());
    }
    for (const QLineEdit* edit : editor->findChildren<QLineEdit*>()) {
        if (!edit->objectName().isEmpty())
            *lines << QStringLiteral("can %1 %2 '%3'").arg(i).arg(edit->objectName(), edit->text());
    }
    for (const can::FilterRow& row : editor->filterRows())
        *lines << QStringLiteral("can %1 filter %2 %3 '%4' '%5'")
                      .arg(i)
                      .arg(row.kind)
                      .arg(row.mode)
                      .arg(row.idText, row.maskText);
}

void addFibre(const QWidget& window, int i, QStringList* lines)
{
    const QComboBox* selector = e2e::fibreSelector(window, i);
    *lines << QStringLiteral("fibre %1 %2 '%3'")
                  .arg(i)
                  .arg(selector->currentIndex())
                  .arg(selector->currentText());
    // A rate typed for "custom" stays in its hidden edit when a listed rate
    // is chosen, and counts only while "custom" is.
    const QLineEdit* edit = e2e::fibreCustomEdit(window, i);
    if (edit && !edit->isHidden())
        *lines << QStringLiteral("fibre %1 custom '%2'").arg(i).arg(edit->text());
}

void addRoutes(const QWidget& window, QStringList* lines)
{
    const auto* table = e2e::child<QTableWidget>(window, "tableWidgetRoute");
    *lines << QStringLiteral("route %1 x %2").arg(table->rowCount()).arg(table->columnCount());
    for (int r = 0; r < table->rowCount(); ++r) {
        for (int c = 0; c < table->columnCount(); ++c) {
            if (const auto* cell = qobject_cast<const CheckButton*>(table->cellWidget(r, c)))
                *lines << QStringLiteral("route %1 %2 %3%4")
                              .arg(r)
                              .arg(c)
                              .arg(cell->isOn() ? "on" : "off")
                              .arg(cell->isEnabled() ? "" : " disabled");
        }
    }
}

}  // namespace

EditorShape editorShape(const QWidget& window)
{
    EditorShape shape;
    shape.canPages = e2e::child<QTabWidget>(window, "tabWidget")->count();
    shape.fibres = fibreCount(window);
    shape.routeRows = e2e::child<QTableWidget>(window, "tableWidgetRoute")->rowCount();
    return shape;
}

QStringList editorSnapshot(const QWidget& window)
{
    QStringList lines;
    lines << QStringLiteral("name '%1'").arg(e2e::child<QLineEdit>(window, "m_pLineEditDevName")->text());
    lines << QStringLiteral("bootloader '%1' firmware '%2'")
                 .arg(e2e::child<QLabel>(window, "label_Bootloader")->text(),
                      e2e::child<QLabel>(window, "label_Firmware")->text());
    const EditorShape shape = editorShape(window);
    for (int i = 0; i < shape.canPages; ++i)
        addCanPage(window, i, &lines);
    for (int i = 0; i < shape.fibres; ++i)
        addFibre(window, i, &lines);
    addRoutes(window, &lines);
    return lines;
}

QString wholenessProblem(const QWidget& window)
{
    const EditorShape shape = editorShape(window);
    if (shape.isEmpty())
        return QString();
    for (int i = 0; i < shape.canPages; ++i) {
        if (!e2e::canEditor(window, i))
            return QStringLiteral("CAN page %1 has no editor").arg(i);
    }
    const int ports = shape.canPages + shape.fibres;
    if (shape.routeRows != ports + 1)
        return QStringLiteral("%1 route rows for %2 ports").arg(shape.routeRows).arg(ports);
    for (int s = 0; s < ports; ++s) {
        for (int d = 0; d < ports; ++d) {
            if (!e2e::routeCell(window, s, d))
                return QStringLiteral("no route cell %1 to %2").arg(s).arg(d);
        }
    }
    return QString();
}

QString snapshotDifference(const QStringList& expected, const QStringList& actual)
{
    QStringList out;
    for (int i = 0; i < qMax(expected.size(), actual.size()) && out.size() < 3; ++i) {
        const QString e = expected.value(i, QStringLiteral("(none)"));
        const QString a = actual.value(i, QStringLiteral("(none)"));
        if (e != a)
            out << QStringLiteral("expected %1, got %2").arg(e, a);
    }
    return out.join(QLatin1String("; "));
}

}  // namespace fault
