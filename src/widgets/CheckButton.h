#pragma once
// The tick/cross cell of the route matrix: a fixed 23 x 23 tool button that
// flips its own flag on a left click and draws one of two pictures.

#include <QPixmap>
#include <QToolButton>

class CheckButton : public QToolButton {
    Q_OBJECT
public:
    explicit CheckButton(QWidget* parent);

    bool isOn() const { return m_bChecked; }
    // Sets the shown state without emitting anything.
    void setOn(bool on);

    // The pictures are loaded once per process and shared by every button.
    static const QPixmap& checkedPicture();
    static const QPixmap& uncheckedPicture();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_bChecked = true;
};
