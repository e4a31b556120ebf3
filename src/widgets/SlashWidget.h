#pragma once
// The top-left header cell of the route matrix: a diagonal with "RX" below it
// (the rows) and "TX" above it (the columns).

#include <QWidget>

class SlashWidget : public QWidget {
    Q_OBJECT
public:
    explicit SlashWidget(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};
