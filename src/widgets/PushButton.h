#pragma once
// An image button: a normal picture, and the same name with "_hover" or
// "_pressed" appended while the cursor is over it or it is pressed.

#include <QPushButton>
#include <QString>

class PushButton : public QPushButton {
    Q_OBJECT
public:
    enum Status { Normal = 0, Hover = 1, Pressed = 2 };

    explicit PushButton(QWidget* parent);

    // Names are given without a file extension; the format is found from the
    // content. The button takes the normal picture's size.
    void setPicName(QString picName);
    QString picName() const { return m_picName; }
    Status status() const { return m_status; }
    // The picture name for a status.
    static QString pictureFor(const QString& picName, Status status);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    void enterEvent(QEnterEvent* event) override;
#else
    void enterEvent(QEvent* event) override;
#endif
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    Status m_status = Normal;
    QString m_picName;
    bool m_bPressed = false;
};
