#pragma once
// Keeps the mouse wheel from editing what the pointer merely passes over.
// Installed on the application, it watches every combo box and spin box:
// they no longer take the focus from the wheel, and without the focus they
// hand a wheel event on to their parents, so the page under them scrolls.
// A control changes by the wheel only after a click or Tab has focused it.

#include <QObject>

class QWidget;

class WheelGuard : public QObject {
    Q_OBJECT
public:
    explicit WheelGuard(QObject* parent = nullptr);

    // True for the kinds of control whose value a wheel notch changes.
    static bool guards(const QWidget* widget);
    // Makes widget and its guarded children take the focus only from a
    // click or Tab; controls polished later get it from the filter itself.
    static void settle(QWidget* widget);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
