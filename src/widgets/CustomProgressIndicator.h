#pragma once
// The spinning busy indicator: twelve spokes fading round a centre, turned by
// 30 degrees on every timer tick, with an optional percentage in the middle.

#include <QColor>
#include <QPixmap>
#include <QWidget>

// The spoke geometry for a widget size, in pixels.
struct SpokeGeometry {
    int outer = 0;  // distance of a spoke's outer end from the centre
    int inner = 0;  // distance of its inner end
    int length = 0;
    int thickness = 0;
    int radius = 0;  // corner radius of the spoke
};
SpokeGeometry spokeGeometry(const QSize& size);
// The text shown for a progress: "42%" between 1 and 99, nothing otherwise.
QString progressText(short progress);

class CustomProgressIndicator : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int delay READ animationDelay WRITE setAnimationDelay)
    Q_PROPERTY(bool displayedWhenStopped READ isDisplayedWhenStopped WRITE setDisplayedWhenStopped)
    Q_PROPERTY(QColor color READ color WRITE setColor)
public:
    explicit CustomProgressIndicator(QWidget* parent);

    bool isAnimated() const { return m_timerId != -1; }
    int angle() const { return m_angle; }
    int animationDelay() const { return delay; }
    bool isDisplayedWhenStopped() const { return displayedWhenStopped; }
    QColor color() const { return m_color; }
    short progress() const { return m_progress; }
    QSize sizeHint() const override;

signals:
    void Finished();

public slots:
    void startAnimation();
    void stopAnimation();
    void setAnimationDelay(int delay);
    void setDisplayedWhenStopped(bool state);
    void setColor(QColor color);
    // Shown from the next animation tick on; 100 stops the animation.
    void onProgress(short _progress);

protected:
    void timerEvent(QTimerEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void drawSpokes(QPainter& painter, const SpokeGeometry& spokes);

    int m_angle = 0;
    int m_timerId = -1;
    int delay = 45;
    bool displayedWhenStopped = false;
    QColor m_color{Qt::gray};
    short m_progress = 0;
    QPixmap m_stoppedPicture;
};
