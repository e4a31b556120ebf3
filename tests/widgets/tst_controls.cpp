#include <QtTest>

#include "widgets/CheckButton.h"
#include "widgets/CustomProgressIndicator.h"
#include "widgets/PushButton.h"
#include "widgets/SwitchButton.h"

Q_DECLARE_METATYPE(SwitchButton::ButtonStyle)

namespace {

// Pixels of the grabbed widget in which green, or red, clearly leads.
struct Tint {
    int green = 0;
    int red = 0;
};

Tint tintOf(QWidget& widget)
{
    const QImage image = widget.grab().toImage();
    Tint tint;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() < 128) {
                continue;
            }
            tint.green += c.green() > c.red() + 60 ? 1 : 0;
            tint.red += c.red() > c.green() + 60 ? 1 : 0;
        }
    }
    return tint;
}

void tick(SwitchButton& button, int times)
{
    for (int i = 0; i < times; ++i) {
        button.updateValue();
    }
}

}  // namespace

class TestControls : public QObject {
    Q_OBJECT
private slots:
    void switchKnobEnd_data();
    void switchKnobEnd();
    void switchAnimation_data();
    void switchAnimation();
    void switchResizeJumpsToEnd();
    void switchSetCheckedLeavesKnob();
    void checkButtonClicks();
    void checkButtonSharesPictures();
    void spokeGeometry_data();
    void spokeGeometry();
    void progressText_data();
    void progressText();
    void indicatorStopsAtFullProgress();
    void indicatorDelayKeepsAngle();
    void pushButtonClicks();
};

// A 100 x 30 switch with the gap 2.
void TestControls::switchKnobEnd_data()
{
    QTest::addColumn<SwitchButton::ButtonStyle>("style");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("end");
    QTest::newRow("rounded rect on") << SwitchButton::RoundedRect << true << 50;
    QTest::newRow("inner knob on") << SwitchButton::InnerKnob << true << 70;
    QTest::newRow("outer knob on") << SwitchButton::OuterKnob << true << 72;
    QTest::newRow("picture keeps position") << SwitchButton::Picture << true << 13;
    QTest::newRow("outer knob off") << SwitchButton::OuterKnob << false << 0;
    QTest::newRow("picture off") << SwitchButton::Picture << false << 0;
}

void TestControls::switchKnobEnd()
{
    QFETCH(SwitchButton::ButtonStyle, style);
    QFETCH(bool, checked);
    QFETCH(int, end);
    QCOMPARE(SwitchButton::knobEnd(style, checked, QSize(100, 30), 2, 13), end);
}

void TestControls::switchAnimation_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("ticks");
    QTest::newRow("100 wide") << 100 << 2 << 50 << 25;
    QTest::newRow("narrower than 50 still moves") << 30 << 1 << 15 << 15;
}

void TestControls::switchAnimation()
{
    QFETCH(int, width);
    QFETCH(int, step);
    QFETCH(int, end);
    QFETCH(int, ticks);
    SwitchButton button(nullptr);
    button.resize(width, 30);
    button.show();
    QSignalSpy changed(&button, &SwitchButton::checkedChanged);

    QTest::mousePress(&button, Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toBool(), true);
    QCOMPARE(button.step(), step);
    QCOMPARE(button.endX(), end);
    QVERIFY(button.isAnimating());

    tick(button, ticks - 1);
    QCOMPARE(button.startX(), end - step);
    tick(button, 1);
    QCOMPARE(button.startX(), end);
    tick(button, 1);
    QVERIFY(!button.isAnimating());

    // A press in mid-way turns back from where the knob is.
    QTest::mousePress(&button, Qt::LeftButton);
    tick(button, 2);
    QCOMPARE(button.startX(), end - 2 * step);
    QCOMPARE(button.endX(), 0);
}

void TestControls::switchResizeJumpsToEnd()
{
    SwitchButton button(nullptr);
    button.resize(100, 30);
    button.show();
    QTest::mousePress(&button, Qt::LeftButton);
    tick(button, 3);

    button.resize(160, 30);
    QCOMPARE(button.startX(), 80);
    // The animation still running ends where the knob now is.
    tick(button, 1);
    QCOMPARE(button.startX(), 80);
    QVERIFY(!button.isAnimating());
}

void TestControls::switchSetCheckedLeavesKnob()
{
    SwitchButton button(nullptr);
    button.resize(100, 30);
    button.show();
    QSignalSpy changed(&button, &SwitchButton::checkedChanged);

    button.setChecked(true);
    button.setChecked(true);
    QCOMPARE(changed.count(), 1);
    QVERIFY(button.isChecked());
    QCOMPARE(button.startX(), 0);
    QVERIFY(!button.isAnimating());

    button.setChecked(false);
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toBool(), false);
}

void TestControls::checkButtonClicks()
{
    CheckButton button(nullptr);
    QSignalSpy clicked(&button, &CheckButton::clicked);
    QVERIFY(button.isOn());

    QTest::mouseClick(&button, Qt::RightButton);
    QVERIFY(button.isOn());
    QCOMPARE(clicked.count(), 0);

    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(!button.isOn());
    QCOMPARE(clicked.count(), 1);
    QTest::mouseClick(&button, Qt::LeftButton);
    QVERIFY(button.isOn());
    QCOMPARE(clicked.count(), 2);

    button.setOn(false);
    QCOMPARE(clicked.count(), 2);
}

void TestControls::checkButtonSharesPictures()
{
    CheckButton first(nullptr);
    CheckButton second(nullptr);
    second.setOn(false);
    QCOMPARE(CheckButton::checkedPicture().size(), QSize(23, 23));
    QCOMPARE(CheckButton::uncheckedPicture().size(), QSize(23, 23));
    const qint64 tick = CheckButton::checkedPicture().cacheKey();
    QVERIFY(tick != CheckButton::uncheckedPicture().cacheKey());

    const Tint on = tintOf(first);
    const Tint off = tintOf(second);
    QVERIFY(on.green > 20 && on.red == 0);
    QVERIFY(off.red > 20 && off.green == 0);
    QCOMPARE(CheckButton::checkedPicture().cacheKey(), tick);
}

void TestControls::spokeGeometry_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("outer");
    QTest::addColumn<int>("inner");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("thickness");
    QTest::addColumn<int>("radius");
    QTest::newRow("20 x 20") << QSize(20, 20) << 9 << 3 << 6 << 2 << 1;
    QTest::newRow("40 x 40") << QSize(40, 40) << 19 << 7 << 12 << 2 << 1;
    QTest::newRow("32 thick spokes") << QSize(32, 50) << 15 << 5 << 10 << 3 << 1;
    QTest::newRow("33 thin spokes") << QSize(33, 33) << 16 << 6 << 10 << 2 << 1;
}

void TestControls::spokeGeometry()
{
    QFETCH(QSize, size);
    const SpokeGeometry g = ::spokeGeometry(size);
    QTEST(g.outer, "outer");
    QTEST(g.inner, "inner");
    QTEST(g.length, "length");
    QTEST(g.thickness, "thickness");
    QTEST(g.radius, "radius");
}

void TestControls::progressText_data()
{
    QTest::addColumn<int>("progress");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << QString();
    QTest::newRow("1") << 1 << QStringLiteral("1%");
    QTest::newRow("99") << 99 << QStringLiteral("99%");
    QTest::newRow("100") << 100 << QString();
    QTest::newRow("101") << 101 << QString();
    QTest::newRow("negative") << -5 << QString();
}

void TestControls::progressText()
{
    QFETCH(int, progress);
    QTEST(::progressText(static_cast<short>(progress)), "text");
}

void TestControls::indicatorStopsAtFullProgress()
{
    CustomProgressIndicator indicator(nullptr);
    indicator.resize(20, 20);
    indicator.startAnimation();
    indicator.onProgress(100);
    QVERIFY(indicator.isAnimated());
    indicator.grab();
    QVERIFY(!indicator.isAnimated());
}

void TestControls::indicatorDelayKeepsAngle()
{
    CustomProgressIndicator indicator(nullptr);
    indicator.startAnimation();
    QTimerEvent timerTick(0);
    QCoreApplication::sendEvent(&indicator, &timerTick);
    QCoreApplication::sendEvent(&indicator, &timerTick);
    QCOMPARE(indicator.angle(), 60);

    indicator.setAnimationDelay(100);
    QCOMPARE(indicator.angle(), 60);
    QVERIFY(indicator.isAnimated());
    QCOMPARE(indicator.property("delay").toInt(), 100);

    indicator.startAnimation();
    QCOMPARE(indicator.angle(), 0);
    QVERIFY(indicator.isAnimated());
    indicator.stopAnimation();
    QVERIFY(!indicator.isAnimated());
}

void TestControls::pushButtonClicks()
{
    PushButton button(nullptr);
    button.setFixedSize(40, 20);
    button.show();
    QSignalSpy clicked(&button, &PushButton::clicked);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&button, &enter);
    QCOMPARE(button.status(), PushButton::Hover);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(button.status(), PushButton::Pressed);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 10));
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(button.status(), PushButton::Pressed);
    // The press left pending outside is not completed by another button.
    QTest::mouseClick(&button, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(clicked.count(), 0);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(12, 12));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(button.status(), PushButton::Hover);

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    QCOMPARE(button.status(), PushButton::Normal);
}

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
