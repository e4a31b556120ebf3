#include "widgets/FrameGeometry.h"

namespace FrameGeometry {

namespace {

// One axis of a corner drag that keeps the opposite edge where it was at the
// press: a length at or past a limit is set to the limit, measured from there.
void clampCornerAxis(int& start, int& length, int cursor, int pressEnd, int minimum, int maximum)
{
    const int measured = pressEnd - cursor;
    if (measured >= maximum) {
        length = maximum;
        start = pressEnd - maximum;
    } else if (measured <= minimum) {
        length = minimum;
        start = pressEnd - minimum;
    }
}

bool within(int value, int minimum, int maximum)
{
    return value >= minimum && value <= maximum;
}

}  // namespace

Region regionAt(const QPoint& point, const QSize& window, int border)
{
    const int x = point.x();
    const int y = point.y();
    const int w = window.width();
    const int h = window.height();
    const bool innerX = border < x && x < w - border;
    const bool innerY = border < y && y < h - border;
    const bool right = x >= w - border;
    const bool left = x < border;
    const bool bottom = y >= h - border;
    const bool top = y < border;
    if (right && innerY) {
        return Right;
    }
    if (left && innerY) {
        return Left;
    }
    if (bottom && innerX) {
        return Bottom;
    }
    if (top && innerX) {
        return Top;
    }
    if (top && right) {
        return TopRight;
    }
    if (top && left) {
        return TopLeft;
    }
    if (bottom && right) {
        return BottomRight;
    }
    if (bottom && left) {
        return BottomLeft;
    }
    return None;
}

Qt::CursorShape cursorFor(Region region)
{
    switch (region) {
        case Right:
        case Left:
            return Qt::SizeHorCursor;
        case Bottom:
        case Top:
            return Qt::SizeVerCursor;
        case TopRight:
        case BottomLeft:
            return Qt::SizeBDiagCursor;
        case TopLeft:
        case BottomRight:
            return Qt::SizeFDiagCursor;
        case None:
            break;
    }
    return Qt::ArrowCursor;
}

Qt::Edges edgesOf(Region region)
{
    switch (region) {
        case Right:
            return Qt::RightEdge;
        case Left:
            return Qt::LeftEdge;
        case Bottom:
            return Qt::BottomEdge;
        case Top:
            return Qt::TopEdge;
        case TopRight:
            return Qt::TopEdge | Qt::RightEdge;
        case TopLeft:
            return Qt::TopEdge | Qt::LeftEdge;
        case BottomRight:
            return Qt::BottomEdge | Qt::RightEdge;
        case BottomLeft:
            return Qt::BottomEdge | Qt::LeftEdge;
        case None:
            break;
    }
    return {};
}

bool isBorderPress(const QPoint& point, const QSize& window, int border)
{
    const int band = border + 1;
    const QRect inner(QPoint(band, band), QPoint(window.width() - 1 - band, window.height() - 1 - band));
    return !inner.contains(point);
}

QRect resizedGeometry(Region region, const QPoint& cursor, const QRect& geometry, const PressState& press,
                      const QSize& minimum, const QSize& maximum)
{
    const int x = geometry.x();
    const int y = geometry.y();
    const int w = geometry.width();
    const int h = geometry.height();
    const int pressRight = press.position.x() + press.size.width();
    const int pressBottom = press.position.y() + press.size.height();
    QRect result = geometry;

    switch (region) {
        case Right: {
            const int width = cursor.x() - x;
            if (within(width, minimum.width(), maximum.width())) {
                result.setRect(x, y, width, h);
            }
            break;
        }
        case Left: {
            const int width = x + w - cursor.x();
            if (within(width, minimum.width(), maximum.width())) {
                result.setRect(cursor.x(), y, width, h);
            }
            break;
        }
        case Bottom: {
            const int height = cursor.y() - y;
            if (within(height, minimum.height(), maximum.height())) {
                result.setRect(x, y, w, height);
            }
            break;
        }
        case Top: {
            const int height = y + h - cursor.y();
            if (within(height, minimum.height(), maximum.height())) {
                result.setRect(x, cursor.y(), w, height);
            }
            break;
        }
        case TopRight: {
            int top = cursor.y();
            int height = y + h - cursor.y();
            if (height >= maximum.height() || height <= minimum.height()) {
                height = height >= maximum.height() ? maximum.height() : minimum.height();
                top = pressBottom - height;
            }
            result.setRect(press.position.x(), top, cursor.x() - x, height);
            break;
        }
        case TopLeft: {
            int left = cursor.x();
            int width = x + w - cursor.x();
            int top = cursor.y();
            int height = y + h - cursor.y();
            clampCornerAxis(left, width, cursor.x(), pressRight, minimum.width(), maximum.width());
            clampCornerAxis(top, height, cursor.y(), pressBottom, minimum.height(), maximum.height());
            result.setRect(left, top, width, height);
            break;
        }
        case BottomRight:
            result.setRect(press.position.x(), press.position.y(), cursor.x() - x, cursor.y() - y);
            break;
        case BottomLeft: {
            int left = cursor.x();
            int width = x + w - cursor.x();
            clampCornerAxis(left, width, cursor.x(), pressRight, minimum.width(), maximum.width());
            result.setRect(left, press.position.y(), width, cursor.y() - press.position.y());
            break;
        }
        case None:
            break;
    }
    result.setSize(result.size().expandedTo(minimum).boundedTo(maximum));
    return result;
}

}  // namespace FrameGeometry
