#include <QtTest>

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/FrameGeometry.h"

using namespace FrameGeometry;

Q_DECLARE_METATYPE(FrameGeometry::Region)
Q_DECLARE_METATYPE(Qt::CursorShape)

class TestFrameless : public QObject {
    Q_OBJECT
private slots:
    void regionOfPoint_data();
    void regionOfPoint();
    void resize_data();
    void resize();
};

// A 100 x 50 window with the border width 1; a press one pixel inside the
// edge still grabs the border.
void TestFrameless::regionOfPoint_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Region>("region");
    QTest::addColumn<Qt::CursorShape>("cursor");
    QTest::addColumn<bool>("border");
    QTest::newRow("x 0") << QPoint(0, 25) << Left << Qt::SizeHorCursor << true;
    QTest::newRow("x 1") << QPoint(1, 25) << None << Qt::ArrowCursor << true;
    QTest::newRow("x w-1") << QPoint(99, 25) << Right << Qt::SizeHorCursor << true;
    QTest::newRow("x w-2") << QPoint(98, 25) << None << Qt::ArrowCursor << true;
    QTest::newRow("y h-1") << QPoint(50, 49) << Bottom << Qt::SizeVerCursor << true;
    QTest::newRow("left edge at y h-2") << QPoint(0, 48) << Left << Qt::SizeHorCursor << true;
}

void TestFrameless::regionOfPoint()
{
    QFETCH(QPoint, point);
    QTEST(regionAt(point, QSize(100, 50), 1), "region");
    QTEST(cursorFor(regionAt(point, QSize(100, 50), 1)), "cursor");
    QTEST(isBorderPress(point, QSize(100, 50), 1), "border");
}

// Window at (100, 100), 300 x 200, limits 200 x 150 to 800 x 600, pressed
// where it stands.
void TestFrameless::resize_data()
{
    QTest::addColumn<Region>("region");
    QTest::addColumn<QPoint>("cursor");
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("right") << Right << QPoint(450, 0) << QRect(100, 100, 350, 200);
    QTest::newRow("right below minimum ignored") << Right << QPoint(250, 0) << QRect(100, 100, 300, 200);
    QTest::newRow("left keeps right edge") << Left << QPoint(50, 0) << QRect(50, 100, 350, 200);
    QTest::newRow("top-left past minimum") << TopLeft << QPoint(350, 280) << QRect(200, 150, 200, 150);
    QTest::newRow("top-left past maximum") << TopLeft << QPoint(-500, -500) << QRect(-400, -300, 800, 600);
    QTest::newRow("bottom-right bounded") << BottomRight << QPoint(1000, 900) << QRect(100, 100, 800, 600);
}

void TestFrameless::resize()
{
    QFETCH(Region, region);
    QFETCH(QPoint, cursor);
    const QRect start(100, 100, 300, 200);
    const PressState press{start.topLeft(), start.size()};
    QTEST(resizedGeometry(region, cursor, start, press, QSize(200, 150), QSize(800, 600)), "geometry");
}

QTEST_MAIN(TestFrameless)
#include "tst_frameless.moc"
