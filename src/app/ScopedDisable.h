#pragma once
// Keeps the button that started an operation disabled until the slot returns,
// by whatever path it leaves.

#include <QPointer>
#include <QWidget>

class ScopedDisable {
public:
    explicit ScopedDisable(QWidget* widget) : m_widget(widget)
    {
        if (m_widget)
            m_widget->setEnabled(false);
    }
    ~ScopedDisable() noexcept
    {
        if (m_widget)
            m_widget->setEnabled(true);
    }
    ScopedDisable(const ScopedDisable&) = delete;
    ScopedDisable& operator=(const ScopedDisable&) = delete;

private:
    // A guarded pointer: a slot that rebuilds the page may delete the button.
    QPointer<QWidget> m_widget;
};
