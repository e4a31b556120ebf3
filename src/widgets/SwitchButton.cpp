#include "widgets/SwitchButton.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace {

constexpr int kTickMs = 5;

// Narrow switches would get a step of 0 and a knob that never arrives.
int stepFor(int width, int divisor)
{
    return qMax(1, width / divisor);
}

}  // namespace

SwitchButton::SwitchButton(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this))
{
    m_step = stepFor(width(), 50);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &SwitchButton::updateValue);
    setFont(QFont(QStringLiteral("Microsoft Yahei"), 10));
}

bool SwitchButton::isAnimating() const
{
    return m_timer->isActive();
}

int SwitchButton::knobEnd(ButtonStyle style, bool checked, const QSize& size, int space, int current)
{
    if (!checked) {
        return 0;
    }
    const int w = size.width();
    const int h = size.height();
    switch (style) {
        case RoundedRect:
            return w - w / 2;
        case InnerKnob:
            return w - h;
        case OuterKnob:
            return w - h + space;
        case Picture:
            break;
    }
    return current;
}

void SwitchButton::setChecked(bool value)
{
    if (checked == value) {
        return;
    }
    checked = value;
    emit checkedChanged(checked);
    update();
}

void SwitchButton::setButtonStyle(ButtonStyle value)
{
    buttonStyle = value;
    update();
}

void SwitchButton::setBgColor(QColor off, QColor on)
{
    bgColorOff = off;
    bgColorOn = on;
    update();
}

void SwitchButton::setSliderColor(QColor off, QColor on)
{
    sliderColorOff = off;
    sliderColorOn = on;
    update();
}

void SwitchButton::setTextColor(QColor off, QColor on)
{
    textColorOff = off;
    textColorOn = on;
    update();
}

void SwitchButton::setText(QString off, QString on)
{
    textOff = off;
    textOn = on;
    update();
}

void SwitchButton::setImage(QString off, QString on)
{
    imageOff = off;
    imageOn = on;
    update();
}

void SwitchButton::setSpace(int value)
{
    space = value;
    update();
}

void SwitchButton::setRectRadius(int value)
{
    rectRadius = value;
    update();
}

void SwitchButton::updateValue()
{
    if (checked && m_endX > m_startX) {
        m_startX += m_step;
    } else if (!checked && m_endX < m_startX) {
        m_startX -= m_step;
    } else {
        // Also lands a step that went past the end.
        m_startX = m_endX;
        m_timer->stop();
    }
    update();
}

void SwitchButton::mousePressEvent(QMouseEvent*)
{
    checked = !checked;
    emit checkedChanged(checked);
    m_step = stepFor(width(), 50);
    m_endX = knobEnd(buttonStyle, checked, size(), space, m_endX);
    m_timer->start();
}

void SwitchButton::resizeEvent(QResizeEvent*)
{
    m_step = stepFor(width(), 30);
    m_startX = knobEnd(buttonStyle, checked, size(), space, m_endX);
    // A running animation would otherwise pull the knob back to the old end.
    m_endX = m_startX;
    update();
}

void SwitchButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (buttonStyle == Picture) {
        drawPicture(painter);
        return;
    }
    drawTrack(painter);
    drawKnob(painter);
    drawText(painter);
}

void SwitchButton::drawTrack(QPainter& painter)
{
    const int w = width();
    const int h = height();
    painter.setPen(Qt::NoPen);
    painter.setBrush(checked ? bgColorOn : bgColorOff);
    switch (buttonStyle) {
        case RoundedRect:
            painter.drawRoundedRect(QRect(0, 0, w, h), rectRadius, rectRadius);
            break;
        case InnerKnob: {
            const int r = h / 2;
            QPainterPath path;
            path.moveTo(r, 0);
            path.arcTo(QRectF(0, 0, h, h), 90, 180);
            path.lineTo(w - r, h);
            path.arcTo(QRectF(w - h, 0, h, h), 270, 180);
            path.lineTo(r, 0);
            painter.drawPath(path);
            break;
        }
        case OuterKnob:
            painter.drawRoundedRect(QRect(space, space, w - 2 * space, h - 2 * space), rectRadius,
                                    rectRadius);
            break;
        case Picture:
            break;
    }
}

void SwitchButton::drawKnob(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const int x0 = m_startX;
    painter.setPen(Qt::NoPen);
    painter.setBrush(checked ? sliderColorOn : sliderColorOff);
    switch (buttonStyle) {
        case RoundedRect:
            painter.drawRoundedRect(QRect(x0 + space, space, w / 2 - 2 * space, h - 2 * space), rectRadius,
                                    rectRadius);
            break;
        case InnerKnob: {
            const int d = h - 2 * space;
            painter.drawEllipse(QRect(x0 + space, space, d, d));
            break;
        }
        case OuterKnob: {
            const int d = h - space;
            painter.drawEllipse(QRect(x0, space / 2, d, d));
            break;
        }
        case Picture:
            break;
    }
}

void SwitchButton::drawText(QPainter& painter)
{
    const int w = width();
    const int h = height();
    if (checked) {
        painter.setPen(textColorOn);
        painter.drawText(QRect(0, 0, w / 2 + 2 * space, h), Qt::AlignCenter, textOn);
    } else {
        painter.setPen(textColorOff);
        painter.drawText(QRect(w / 2, 0, w / 2 - space, h), Qt::AlignCenter, textOff);
    }
}

void SwitchButton::drawPicture(QPainter& painter)
{
    const QPixmap picture(checked ? imageOn : imageOff);
    if (picture.isNull()) {
        return;
    }
    const int x = (width() - 1) / 2 - picture.width() / 2;
    const int y = (height() - 1) / 2 - picture.height() / 2;
    painter.drawPixmap(x, y, picture);
}
