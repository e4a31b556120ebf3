#pragma once
// The geometry of a frameless window's border: which border region a point is
// in, whether a press starts a resize, and where a resize drag puts the window.
// Plain functions, so the rules can be checked without a window.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <Qt>

namespace FrameGeometry {

// Border region codes; None also stands for "not yet hovered".
enum Region {
    None = 0,
    Right = 1,
    Left = 2,
    Bottom = 3,
    Top = 4,
    TopRight = 5,
    TopLeft = 6,
    BottomRight = 7,
    BottomLeft = 8,
};

// The region of a point in window coordinates, for a band `border` pixels wide.
Region regionAt(const QPoint& point, const QSize& window, int border);
Qt::CursorShape cursorFor(Region region);
// The window edges that a drag of the region moves.
Qt::Edges edgesOf(Region region);

// A press starts a resize when it lands outside the inner rectangle, whose
// band is one pixel wider than the hover band.
bool isBorderPress(const QPoint& point, const QSize& window, int border);

// What the window looked like at the press that started the drag.
struct PressState {
    QPoint position;  // window position
    QSize size;
};

// The geometry after dragging `region` to the global cursor position, from the
// current geometry, bounded by the window's minimum and maximum size as
// setGeometry would bound it.
QRect resizedGeometry(Region region, const QPoint& cursor, const QRect& geometry, const PressState& press,
                      const QSize& minimum, const QSize& maximum);

}  // namespace FrameGeometry
