#pragma once
// Base of the tool's frameless windows: paints a thin shadow and a white body,
// moves when dragged inside the border and resizes when dragged on it.

#include <QDialog>
#include <QPixmap>
#include <QVector>

#include "widgets/FrameGeometry.h"

class AbsFrameLessAutoSize : public QDialog {
    Q_OBJECT
public:
    explicit AbsFrameLessAutoSize(QWidget* parent);

    bool isMoving() const { return m_bMoving; }
    bool isResizing() const { return m_bResizing; }
    QSize pressSize() const { return m_pressSize; }
    int borderWidth() const { return m_nBorderWidth; }
    FrameGeometry::Region region() const { return m_region; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // The window's own mouse events, before any child widget has them: the
    // border band belongs to the window even where a child covers it.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Hover: shows the resize cursor of the region under the cursor.
    // Resizing: applies a drag of the stored region to the cursor.
    void borderStep(const QPoint& localCursor, const QPoint& globalCursor);
    void paintShadow(QPainter& painter);
    void hoverBorder(const QPoint& localCursor);
    bool pressBorder(const QPoint& localCursor);

    bool m_bMoving = false;
    bool m_bResizing = false;
    QPoint m_pressPoint;
    QPoint m_pressPosition;
    QSize m_pressSize{-1, -1};
    // Wide enough to be found with a mouse; the title bar's buttons and the
    // body's widgets start further in.
    int m_nBorderWidth = 5;
    FrameGeometry::Region m_region = FrameGeometry::None;
    QVector<QPixmap> m_shadows;
};
