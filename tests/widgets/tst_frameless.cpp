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
    void pressBand_data();
    void pressBand();
    void resize_data();
    void resize();
    void pressesSetMoveAndResize();
};

// A 100 x 50 window with the border width 1.
void TestFrameless::regionOfPoint_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<Region>("region");
    QTest::addColumn<Qt::CursorShape>("cursor");
    QTest::newRow("x 0") << QPoint(0, 25) << Left << Qt::SizeHorCursor;
    QTest::newRow("x 1") << QPoint(1, 25) << None << Qt::ArrowCursor;
    QTest::newRow("x w-1") << QPoint(99, 25) << Right << Qt::SizeHorCursor;
    QTest::newRow("x w-2") << QPoint(98, 25) << None << Qt::ArrowCursor;
    QTest::newRow("y 0") << QPoint(50, 0) << Top << Qt::SizeVerCursor;
    QTest::newRow("y h-1") << QPoint(50, 49) << Bottom << Qt::SizeVerCursor;
    QTest::newRow("left edge at y 1") << QPoint(0, 1) << None << Qt::ArrowCursor;
    QTest::newRow("top edge at x 1") << QPoint(1, 0) << None << Qt::ArrowCursor;
    QTest::newRow("left edge at y h-2") << QPoint(0, 48) << Left << Qt::SizeHorCursor;
    QTest::newRow("top-left") << QPoint(0, 0) << TopLeft << Qt::SizeFDiagCursor;
    QTest::newRow("top-right") << QPoint(99, 0) << TopRight << Qt::SizeBDiagCursor;
    QTest::newRow("bottom-right") << QPoint(99, 49) << BottomRight << Qt::SizeFDiagCursor;
    QTest::newRow("bottom-left") << QPoint(0, 49) << BottomLeft << Qt::SizeBDiagCursor;
    QTest::newRow("body") << QPoint(50, 25) << None << Qt::ArrowCursor;
}

void TestFrameless::regionOfPoint()
{
    QFETCH(QPoint, point);
    QFETCH(Region, region);
    QFETCH(Qt::CursorShape, cursor);
    QCOMPARE(regionAt(point, QSize(100, 50), 1), region);
    QCOMPARE(cursorFor(region), cursor);
}

void TestFrameless::pressBand_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("border");
    QTest::newRow("x 1") << QPoint(1, 25) << true;
    QTest::newRow("x 2") << QPoint(2, 25) << false;
    QTest::newRow("x w-3") << QPoint(97, 25) << false;
    QTest::newRow("x w-2") << QPoint(98, 25) << true;
    QTest::newRow("y 1") << QPoint(50, 1) << true;
    QTest::newRow("y 2") << QPoint(50, 2) << false;
    QTest::newRow("y h-3") << QPoint(50, 47) << false;
    QTest::newRow("y h-2") << QPoint(50, 48) << true;
}

void TestFrameless::pressBand()
{
    QFETCH(QPoint, point);
    QFETCH(bool, border);
    QCOMPARE(isBorderPress(point, QSize(100, 50), 1), border);
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
    QTest::newRow("right above maximum ignored") << Right << QPoint(950, 0) << QRect(100, 100, 300, 200);
    QTest::newRow("left keeps right edge") << Left << QPoint(50, 0) << QRect(50, 100, 350, 200);
    QTest::newRow("bottom") << Bottom << QPoint(0, 350) << QRect(100, 100, 300, 250);
    QTest::newRow("top below minimum ignored") << Top << QPoint(0, 200) << QRect(100, 100, 300, 200);
    QTest::newRow("top keeps bottom edge") << Top << QPoint(0, 60) << QRect(100, 60, 300, 240);
    QTest::newRow("top-left") << TopLeft << QPoint(80, 90) << QRect(80, 90, 320, 210);
    QTest::newRow("top-left past minimum") << TopLeft << QPoint(350, 280) << QRect(200, 150, 200, 150);
    QTest::newRow("top-left past maximum") << TopLeft << QPoint(-500, -500) << QRect(-400, -300, 800, 600);
    QTest::newRow("top-right past minimum") << TopRight << QPoint(450, 280) << QRect(100, 150, 350, 150);
    QTest::newRow("bottom-right") << BottomRight << QPoint(500, 400) << QRect(100, 100, 400, 300);
    QTest::newRow("bottom-right bounded") << BottomRight << QPoint(1000, 900) << QRect(100, 100, 800, 600);
    QTest::newRow("bottom-left") << BottomLeft << QPoint(50, 350) << QRect(50, 100, 350, 250);
    QTest::newRow("bottom-left past minimum") << BottomLeft << QPoint(390, 350) << QRect(200, 100, 200, 250);
    QTest::newRow("no region") << None << QPoint(500, 500) << QRect(100, 100, 300, 200);
}

void TestFrameless::resize()
{
    QFETCH(Region, region);
    QFETCH(QPoint, cursor);
    QFETCH(QRect, geometry);
    const QRect start(100, 100, 300, 200);
    const PressState press{start.topLeft(), start.size()};
    QCOMPARE(resizedGeometry(region, cursor, start, press, QSize(200, 150), QSize(800, 600)), geometry);
}

void TestFrameless::pressesSetMoveAndResize()
{
    AbsFrameLessAutoSize window(nullptr);
    window.resize(300, 200);
    window.show();

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(1, 100));
    QVERIFY(window.isResizing());
    QVERIFY(!window.isMoving());
    QCOMPARE(window.pressSize(), QSize(300, 200));

    window.resize(320, 220);
    QTest::mousePress(&window, Qt::RightButton, {}, QPoint(150, 100));
    QVERIFY(!window.isResizing());
    QVERIFY(!window.isMoving());
    QCOMPARE(window.pressSize(), QSize(320, 220));
    QTest::mouseRelease(&window, Qt::RightButton, {}, QPoint(150, 100));

    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(window.isMoving());
    QVERIFY(!window.isResizing());
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(150, 100));
    QVERIFY(!window.isMoving());
}

QTEST_MAIN(TestFrameless)
#include "tst_frameless.moc"
