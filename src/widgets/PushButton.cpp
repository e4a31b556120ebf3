#include "widgets/PushButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

PushButton::PushButton(QWidget* parent) : QPushButton(parent)
{
}

QString PushButton::pictureFor(const QString& picName, Status status)
{
    switch (status) {
        case Hover:
            return picName + QStringLiteral("_hover");
        case Pressed:
            return picName + QStringLiteral("_pressed");
        case Normal:
            break;
    }
    return picName;
}

void PushButton::setPicName(QString picName)
{
    m_picName = picName;
    setFixedSize(QPixmap(m_picName).size());
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
void PushButton::enterEvent(QEnterEvent*)
#else
void PushButton::enterEvent(QEvent*)
#endif
{
    m_status = Hover;
    update();
}

void PushButton::leaveEvent(QEvent*)
{
    m_status = Normal;
    update();
}

void PushButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_bPressed = true;
    m_status = Pressed;
    update();
}

void PushButton::mouseReleaseEvent(QMouseEvent* event)
{
    // A press released outside leaves the flag set; only the left button may
    // complete it, so a later right click cannot.
    if (!m_bPressed || event->button() != Qt::LeftButton) {
        return;
    }
    if (!rect().contains(event->pos())) {
        return;  // the pressed picture stays until the cursor leaves
    }
    m_bPressed = false;
    m_status = Hover;
    update();
    emit clicked(false);
}

void PushButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap picture(pictureFor(m_picName, m_status));
    painter.drawPixmap(rect(), picture);
}
