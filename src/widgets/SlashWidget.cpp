#include "widgets/SlashWidget.h"

#include <QPainter>
#include <QVBoxLayout>

SlashWidget::SlashWidget(QWidget* parent) : QWidget(parent)
{
    new QVBoxLayout(this);
}

void SlashWidget::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.setPen(QPen(QBrush(Qt::gray), 1.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.drawLine(0, 0, w, h);
    painter.drawText(QPoint(w / 8, 5 * h / 6), QStringLiteral("RX"));
    painter.drawText(QPoint(5 * w / 8, h / 2), QStringLiteral("TX"));
}
