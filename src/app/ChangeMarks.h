#pragma once
// The marks of the fields that differ from what the device holds: a frame
// painted over each such field, its tooltip naming the device's value
// ("device: 500K"), and a dot on every tab that holds a marked field. A mark
// is a child of its field, so a rebuild that deletes the field deletes it too.

#include <QHash>
#include <QPointer>
#include <QString>
#include <QVector>

class QTabWidget;
class QWidget;

class ChangeMarks {
public:
    struct Mark {
        QWidget* field;
        QString deviceValue;
    };

    // Marks these fields and no others; the tabs around them follow.
    void show(const QVector<Mark>& marks);
    int count() const;

private:
    QHash<QWidget*, QPointer<QWidget>> m_frames;  // field -> its frame
    struct Page {
        QPointer<QTabWidget> tabs;
        QPointer<QWidget> page;
    };
    QHash<QWidget*, Page> m_markedPages;  // by page
};
