#include "widgets/CustomProgressIndicator.h"

#include <QPainter>

namespace {

constexpr int kSpokeCount = 12;
constexpr int kSpokeAngle = 360 / kSpokeCount;
constexpr short kProgressDone = 100;

}  // namespace

SpokeGeometry spokeGeometry(const QSize& size)
{
    SpokeGeometry g;
    const int side = qMin(size.width(), size.height());
    g.outer = (side - 1) / 2;
    g.inner = static_cast<int>(g.outer * 0.38);
    g.length = g.outer - g.inner;
    // Large indicators get relatively thinner spokes.
    g.thickness = static_cast<int>(g.length * (side <= 32 ? 0.35 : 0.23));
    g.radius = g.thickness / 2;
    return g;
}

QString progressText(short progress)
{
    if (progress < 1 || progress >= kProgressDone) {
        return QString();
    }
    return QStringLiteral("%1%").arg(progress);
}

CustomProgressIndicator::CustomProgressIndicator(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus);
}

QSize CustomProgressIndicator::sizeHint() const
{
    return QSize(25, 25);
}

void CustomProgressIndicator::startAnimation()
{
    m_angle = 0;
    if (m_timerId == -1) {
        m_timerId = startTimer(delay, Qt::CoarseTimer);
    }
}

void CustomProgressIndicator::stopAnimation()
{
    if (m_timerId != -1) {
        killTimer(m_timerId);
    }
    m_timerId = -1;
    update();
}

void CustomProgressIndicator::setAnimationDelay(int value)
{
    if (m_timerId != -1) {
        killTimer(m_timerId);
        delay = value;
        m_timerId = startTimer(delay, Qt::CoarseTimer);
    } else {
        delay = value;
    }
}

void CustomProgressIndicator::setDisplayedWhenStopped(bool state)
{
    displayedWhenStopped = state;
    update();
}

void CustomProgressIndicator::setColor(QColor value)
{
    m_color = value;
    update();
}

void CustomProgressIndicator::onProgress(short value)
{
    m_progress = value;
}

void CustomProgressIndicator::timerEvent(QTimerEvent*)
{
    m_angle = (m_angle + kSpokeAngle) % 360;
    update();
}

void CustomProgressIndicator::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!displayedWhenStopped && !isAnimated()) {
        painter.drawPixmap(rect(), m_stoppedPicture);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    const QString text = progressText(m_progress);
    if (!text.isEmpty()) {
        painter.setPen(m_color);
        painter.drawText(rect(), Qt::AlignCenter, text);
    } else if (m_progress == kProgressDone) {
        stopAnimation();  // this paint still shows the spokes
    }
    drawSpokes(painter, spokeGeometry(size()));
}

void CustomProgressIndicator::drawSpokes(QPainter& painter, const SpokeGeometry& spokes)
{
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < kSpokeCount; ++i) {
        QColor shade = m_color;
        shade.setAlphaF(1.0 - i / double(kSpokeCount));
        painter.setBrush(shade);
        painter.save();
        painter.translate((width() - 1) / 2, (height() - 1) / 2);
        painter.rotate(m_angle - kSpokeAngle * i);
        painter.drawRoundedRect(
            QRect(-(spokes.thickness >> 1), -spokes.outer, spokes.thickness, spokes.length), spokes.radius,
            spokes.radius);
        painter.restore();
    }
}
