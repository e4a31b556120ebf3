#include "widgets/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWheelEvent>
#include <QWidget>

namespace {

// Offers the notch to each scrolling area around the control, innermost
// first, until one scrolls by it: a filter table at its end passes it on to
// the page. Done here rather than by the event's own propagation, which
// does not run for synthesised events on Qt 6.
void passToScrollingParent(QWidget* widget, QWheelEvent* event)
{
    for (QWidget* w = widget->parentWidget(); w; w = w->parentWidget()) {
        auto* area = qobject_cast<QAbstractScrollArea*>(w);
        if (!area)
            continue;
        QWidget* viewport = area->viewport();
        const QPointF global = event->globalPosition();
        QWheelEvent pass(viewport->mapFromGlobal(global.toPoint()), global, event->pixelDelta(),
                         event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                         event->inverted());
        pass.ignore();
        QCoreApplication::sendEvent(viewport, &pass);
        if (pass.isAccepted())
            return;
    }
}

}  // namespace

WheelGuard::WheelGuard(QObject* parent) : QObject(parent)
{
}

bool WheelGuard::guards(const QWidget* widget)
{
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

void WheelGuard::settle(QWidget* widget)
{
    if (!widget)
        return;
    const auto strongFocus = [](QWidget* w) {
        if (guards(w) && (w->focusPolicy() & Qt::WheelFocus) == Qt::WheelFocus)
            w->setFocusPolicy(Qt::StrongFocus);
    };
    strongFocus(widget);
    for (QWidget* child : widget->findChildren<QWidget*>())
        strongFocus(child);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::Polish:
            // Before the first wheel event: the wheel gives the focus ahead of any filter.
            if (guards(widget))
                settle(widget);
            return false;
        case QEvent::Wheel:
            if (!guards(widget) || widget->hasFocus())
                return false;
            passToScrollingParent(widget, static_cast<QWheelEvent*>(event));
            return true;
        default:
            return false;
    }
}
