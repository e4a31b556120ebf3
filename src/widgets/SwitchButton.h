#pragma once
// An animated on/off switch: a track with a knob that slides across when the
// switch is clicked, drawn in one of three styles or shown as two pictures.

#include <QColor>
#include <QString>
#include <QWidget>

class QTimer;

class SwitchButton : public QWidget {
    Q_OBJECT
public:
    enum ButtonStyle : int {
        RoundedRect = 0,
        InnerKnob = 1,
        OuterKnob = 2,
        Picture = 3,
    };
    Q_ENUM(ButtonStyle)

    explicit SwitchButton(QWidget* parent);

    bool isChecked() const { return checked; }
    ButtonStyle style() const { return buttonStyle; }
    int step() const { return m_step; }
    int startX() const { return m_startX; }
    int endX() const { return m_endX; }
    bool isAnimating() const;

    // Left position of the knob in the given state; the picture style has no
    // knob, so it keeps `current`.
    static int knobEnd(ButtonStyle style, bool checked, const QSize& size, int space, int current);

signals:
    void checkedChanged(bool checked);

public slots:
    void setChecked(bool checked);
    void setButtonStyle(ButtonStyle buttonStyle);
    void setBgColor(QColor bgColorOff, QColor bgColorOn);
    void setSliderColor(QColor sliderColorOff, QColor sliderColorOn);
    void setTextColor(QColor textColorOff, QColor textColorOn);
    void setText(QString textOff, QString textOn);
    void setImage(QString imageOff, QString imageOn);
    void setSpace(int space);
    void setRectRadius(int rectRadius);
    // One animation tick: moves the knob a step towards its end.
    void updateValue();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void drawTrack(QPainter& painter);
    void drawKnob(QPainter& painter);
    void drawText(QPainter& painter);
    void drawPicture(QPainter& painter);

    bool checked = false;
    ButtonStyle buttonStyle = RoundedRect;
    QColor bgColorOff{225, 225, 225};
    QColor bgColorOn{250, 250, 250};
    QColor sliderColorOff{100, 100, 100};
    QColor sliderColorOn{100, 184, 255};
    QColor textColorOff{255, 255, 255};
    QColor textColorOn{10, 10, 10};
    QString textOff;
    QString textOn;
    QString imageOff{QStringLiteral(":/image/btncheckoff1.png")};
    QString imageOn{QStringLiteral(":/image/btncheckon1.png")};
    int space = 2;
    int rectRadius = 5;
    int m_step = 0;
    int m_startX = 0;
    int m_endX = 0;
    QTimer* m_timer = nullptr;
};
