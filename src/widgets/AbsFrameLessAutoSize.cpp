#include "widgets/AbsFrameLessAutoSize.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

enum Shadow { Left, Right, Top, Bottom, LeftTop, RightTop, LeftBottom, RightBottom, ShadowCount };

constexpr const char* kShadowFiles[ShadowCount] = {
    ":/shadow/Resources/shadow/shadow_left.png",        ":/shadow/Resources/shadow/shadow_right.png",
    ":/shadow/Resources/shadow/shadow_top.png",         ":/shadow/Resources/shadow/shadow_bottom.png",
    ":/shadow/Resources/shadow/shadow_left_top.png",    ":/shadow/Resources/shadow/shadow_right_top.png",
    ":/shadow/Resources/shadow/shadow_left_bottom.png", ":/shadow/Resources/shadow/shadow_right_bottom.png",
};

constexpr int kShadowWidth = 2;

// The cursor on the screen when the event happened, in whole pixels.
QPoint screenPoint(const QMouseEvent* event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->globalPosition().toPoint();
#else
    return event->globalPos();
#endif
}
}  // namespace

AbsFrameLessAutoSize::AbsFrameLessAutoSize(QWidget* parent) : QDialog(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setSizeGripEnabled(true);
    setAttribute(Qt::WA_MouseTracking);
    // Qt::Window keeps the dialog a window of its own when it has a parent;
    // without it, the frameless flag alone would embed it in the parent.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    for (const char* file : kShadowFiles) {
        m_shadows.append(QPixmap(QString::fromLatin1(file)));
    }
}

void AbsFrameLessAutoSize::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QWindow* window = windowHandle()) {
        window->removeEventFilter(this);  // a second show installs it once only
        window->installEventFilter(this);
    }
}

bool AbsFrameLessAutoSize::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != windowHandle() || isMaximized() || isFullScreen())
        return QDialog::eventFilter(watched, event);
    const QPoint global = QCursor::pos();
    switch (event->type()) {
        case QEvent::MouseMove:
            if (m_bResizing) {
                borderStep(mapFromGlobal(global), global);
                return true;
            }
            if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton)
                hoverBorder(mapFromGlobal(global));
            break;
        case QEvent::MouseButtonPress:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                pressBorder(mapFromGlobal(global)))
                return true;
            break;
        case QEvent::MouseButtonRelease:
            if (m_bResizing) {
                m_bResizing = false;
                return true;
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void AbsFrameLessAutoSize::hoverBorder(const QPoint& localCursor)
{
    const FrameGeometry::Region hovered = FrameGeometry::regionAt(localCursor, size(), m_nBorderWidth);
    if (hovered != FrameGeometry::None) {
        setCursor(FrameGeometry::cursorFor(hovered));
        m_region = hovered;
    } else if (cursor().shape() != Qt::ArrowCursor) {
        setCursor(Qt::ArrowCursor);
    }
}

// A left press in the border band: the window system resizes the window where
// it can, which also lets it snap and clamp to the screen; elsewhere the
// mouse moves that follow resize it here.
bool AbsFrameLessAutoSize::pressBorder(const QPoint& localCursor)
{
    const FrameGeometry::Region region = FrameGeometry::regionAt(localCursor, size(), m_nBorderWidth);
    if (region == FrameGeometry::None)
        return false;
    m_region = region;
    m_pressSize = size();
    m_pressPosition = pos();
    m_bMoving = false;
    if (!windowHandle()->startSystemResize(FrameGeometry::edgesOf(region)))
        m_bResizing = true;
    return true;
}

void AbsFrameLessAutoSize::mousePressEvent(QMouseEvent* event)
{
    m_bResizing = false;
    m_pressSize = size();
    setFocus(Qt::OtherFocusReason);
    if (event->button() != Qt::LeftButton) {
        return;
    }
    m_pressPosition = pos();
    if (FrameGeometry::isBorderPress(event->pos(), size(), m_nBorderWidth)) {
        m_bResizing = true;
        return;
    }
    m_pressPoint = screenPoint(event);
    m_bMoving = true;
}

void AbsFrameLessAutoSize::mouseReleaseEvent(QMouseEvent* event)
{
    m_bResizing = false;
    if (event->button() == Qt::LeftButton) {
        m_bMoving = false;
    }
}

void AbsFrameLessAutoSize::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint global = QCursor::pos();
    borderStep(mapFromGlobal(global), global);
    if (m_bMoving) {
        move(m_pressPosition + screenPoint(event) - m_pressPoint);
    }
}

void AbsFrameLessAutoSize::borderStep(const QPoint& localCursor, const QPoint& globalCursor)
{
    if (m_bResizing) {
        const QRect next = FrameGeometry::resizedGeometry(
            m_region, globalCursor, geometry(), {m_pressPosition, m_pressSize}, minimumSize(), maximumSize());
        setGeometry(next);
        return;
    }
    const FrameGeometry::Region hovered = FrameGeometry::regionAt(localCursor, size(), m_nBorderWidth);
    setCursor(FrameGeometry::cursorFor(hovered));
    // Hovering the body keeps the last border region; a press in the wider
    // press band resizes by it.
    if (hovered != FrameGeometry::None) {
        m_region = hovered;
    }
}

void AbsFrameLessAutoSize::paintShadow(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const int s = kShadowWidth;
    const auto side = [&](Shadow shadow, int x, int y, int sw, int sh) {
        if (m_shadows[shadow].isNull()) {
            return;  // a missing picture draws nothing
        }
        const QPixmap scaled =
            m_shadows[shadow].scaled(sw, sh, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        painter.drawPixmap(QRect(x, y, sw, sh), scaled, scaled.rect());
    };
    const auto corner = [&](Shadow shadow, int x, int y) {
        painter.drawPixmap(QRect(x, y, s, s), m_shadows[shadow], m_shadows[shadow].rect());
    };
    corner(LeftTop, 0, 0);
    corner(RightTop, w - s, 0);
    corner(LeftBottom, 0, h - s);
    corner(RightBottom, w - s, h - s);
    side(Left, 0, s, s, h - 2 * s);
    side(Right, w - s, s, s, h - 2 * s);
    side(Top, s, 0, w - 2 * s, s);
    side(Bottom, s, h - s, w - 2 * s, s);
}

void AbsFrameLessAutoSize::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintShadow(painter);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(kShadowWidth, kShadowWidth), QPoint(width() - 3, height() - 3)));
}
