#pragma once
// The tick/cross cell of the route matrix: a checkable tool button at least
// 23 x 23 that draws one of two pictures in its middle. It takes the keyboard
// focus and shows it; a left press anywhere on it or Space toggles it. Its
// state is the button's checked state, so assistive technology reads it.

#include <QPixmap>
#include <QString>
#include <QToolButton>

class CheckButton : public QToolButton {
    Q_OBJECT
public:
    explicit CheckButton(QWidget* parent);

    bool isOn() const { return isChecked(); }
    // Sets the shown state without emitting anything.
    void setOn(bool on);

    // What the cell is, for assistive technology ("CAN1 → Fiber2"); its
    // accessible name is this followed by the state ("CAN1 → Fiber2, on").
    void setCellName(const QString& name);
    QString cellName() const { return m_cellName; }

    // The pictures are loaded once per process and shared by every button.
    static const QPixmap& checkedPicture();
    static const QPixmap& uncheckedPicture();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void checkStateSet() override;

private:
    void updateAccessibleName();

    QString m_cellName;
};
