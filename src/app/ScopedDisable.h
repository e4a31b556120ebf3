#pragma once
// Keeps the controls of an operation disabled until the slot returns, by
// whatever path it leaves.

#include <QList>
#include <QPointer>
#include <QWidget>

#include <initializer_list>

class ScopedDisable {
public:
    explicit ScopedDisable(QWidget* widget) : ScopedDisable({widget}) {}
    explicit ScopedDisable(std::initializer_list<QWidget*> widgets)
    {
        for (QWidget* w : widgets) {
            if (w) {
                w->setEnabled(false);
                m_widgets << w;
            }
        }
    }
    ~ScopedDisable() noexcept
    {
        for (const QPointer<QWidget>& w : m_widgets) {
            if (w)
                w->setEnabled(true);
        }
    }
    ScopedDisable(const ScopedDisable&) = delete;
    ScopedDisable& operator=(const ScopedDisable&) = delete;

private:
    // Guarded pointers: a slot that rebuilds the page may delete a button.
    QList<QPointer<QWidget>> m_widgets;
};
