#pragma once
// What the main window's editors show, one value per line, and whether they
// form a whole set: a CAN page per channel, a selector per fibre and the full
// route matrix over those ports.

#include <QString>
#include <QStringList>
#include <QWidget>

namespace fault {

struct EditorShape {
    int canPages = 0;
    int fibres = 0;
    int routeRows = 0;
    bool isEmpty() const { return canPages == 0 && fibres == 0 && routeRows == 0; }
};

EditorShape editorShape(const QWidget& window);

// Every value the editors, the device name and the firmware labels show.
QStringList editorSnapshot(const QWidget& window);

// What keeps the editors from being a whole set; empty when they are one
// (also when they are all gone, as after a removal).
QString wholenessProblem(const QWidget& window);

// The first lines in which two snapshots differ, for a failure message.
QString snapshotDifference(const QStringList& expected, const QStringList& actual);

}  // namespace fault
