// The widget gallery: every control of the widget set in each of its states,
// in one frameless window. `--screenshot FILE` saves the window and quits.

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include "widgets/AbsFrameLessAutoSize.h"
#include "widgets/CheckButton.h"
#include "widgets/CustomProgressIndicator.h"
#include "widgets/PushButton.h"
#include "widgets/SlashWidget.h"
#include "widgets/SwitchButton.h"

namespace {

QWidget* captioned(QWidget* control, const QString& caption)
{
    auto* cell = new QWidget;
    auto* layout = new QVBoxLayout(cell);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(control, 0, Qt::AlignHCenter);
    auto* label = new QLabel(caption);
    label->setStyleSheet(QStringLiteral("color: rgb(110, 110, 110);"));
    layout->addWidget(label, 0, Qt::AlignHCenter);
    return cell;
}

class Gallery : public AbsFrameLessAutoSize {
public:
    Gallery() : AbsFrameLessAutoSize(nullptr)
    {
        auto* grid = new QGridLayout(this);
        grid->setContentsMargins(14, 8, 14, 14);
        grid->setHorizontalSpacing(12);
        auto* title = new QLabel(QStringLiteral("Widget gallery"));
        title->setStyleSheet(QStringLiteral(
            "background-color: rgb(40, 119, 192); color: white; padding: 6px; font-weight: bold;"));
        grid->addWidget(title, 0, 0, 1, 2);
        addRow(grid, QStringLiteral("CheckButton"), checkButtons());
        addRow(grid, QStringLiteral("SlashWidget"), slash());
        addRow(grid, QStringLiteral("CustomProgressIndicator"), indicators());
        addRow(grid, QStringLiteral("PushButton"), pushButtons());
        for (int style = SwitchButton::RoundedRect; style <= SwitchButton::Picture; ++style) {
            addRow(grid, QStringLiteral("SwitchButton, style %1").arg(style),
                   switches(static_cast<SwitchButton::ButtonStyle>(style)));
        }
        auto* close = new QPushButton(QStringLiteral("Close"));
        connect(close, &QPushButton::clicked, this, &QDialog::accept);
        grid->addWidget(close, grid->rowCount(), 1, Qt::AlignRight);
    }

private:
    static void addRow(QGridLayout* grid, const QString& name, QList<QWidget*> cells)
    {
        const int row = grid->rowCount();
        grid->addWidget(new QLabel(name), row, 0);
        auto* line = new QHBoxLayout;
        for (QWidget* cell : cells) {
            line->addWidget(cell);
        }
        line->addStretch();
        grid->addLayout(line, row, 1);
    }

    static QList<QWidget*> checkButtons()
    {
        auto* on = new CheckButton(nullptr);
        auto* off = new CheckButton(nullptr);
        off->setOn(false);
        auto* disabled = new CheckButton(nullptr);
        disabled->setOn(false);
        disabled->setEnabled(false);
        return {captioned(on, QStringLiteral("on")), captioned(off, QStringLiteral("off")),
                captioned(disabled, QStringLiteral("off, disabled"))};
    }

    static QList<QWidget*> slash()
    {
        auto* cell = new SlashWidget(nullptr);
        cell->setFixedSize(70, 44);
        cell->setStyleSheet(QStringLiteral("border: none;"));
        return {captioned(cell, QStringLiteral("70 x 44"))};
    }

    static QList<QWidget*> indicators()
    {
        auto* small = new CustomProgressIndicator(nullptr);
        small->setFixedSize(20, 20);
        small->startAnimation();
        auto* large = new CustomProgressIndicator(nullptr);
        large->setFixedSize(40, 40);
        large->setColor(QColor(40, 119, 192));
        large->onProgress(42);
        large->startAnimation();
        auto* stopped = new CustomProgressIndicator(nullptr);
        stopped->setFixedSize(25, 25);
        stopped->setDisplayedWhenStopped(true);
        return {captioned(small, QStringLiteral("running, 20 x 20")),
                captioned(large, QStringLiteral("running, 42%")),
                captioned(stopped, QStringLiteral("stopped, displayed"))};
    }

    static PushButton* pushButton()
    {
        auto* button = new PushButton(nullptr);
        button->setPicName(QStringLiteral(":/gallery/button"));
        return button;
    }

    static QList<QWidget*> pushButtons()
    {
        PushButton* normal = pushButton();
        PushButton* hover = pushButton();
        QEvent enter(QEvent::Enter);
        QCoreApplication::sendEvent(hover, &enter);
        PushButton* pressed = pushButton();
        QCoreApplication::sendEvent(pressed, &enter);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                          QPointF(pressed->mapToGlobal(QPoint(5, 5))), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(pressed, &press);
        return {captioned(normal, QStringLiteral("normal")), captioned(hover, QStringLiteral("hover")),
                captioned(pressed, QStringLiteral("pressed"))};
    }

    static SwitchButton* switchButton(SwitchButton::ButtonStyle style, bool on)
    {
        auto* button = new SwitchButton(nullptr);
        button->setButtonStyle(style);
        button->setFixedSize(style == SwitchButton::Picture ? QSize(70, 32) : QSize(80, 28));
        if (style == SwitchButton::RoundedRect) {
            button->setText(QStringLiteral("OFF"), QStringLiteral("ON"));
            button->setTextColor(QColor(90, 90, 90), QColor(10, 10, 10));
        }
        // Set before the first resize, which puts the knob at its end.
        button->setChecked(on);
        return button;
    }

    static QList<QWidget*> switches(SwitchButton::ButtonStyle style)
    {
        return {captioned(switchButton(style, false), QStringLiteral("off")),
                captioned(switchButton(style, true), QStringLiteral("on"))};
    }
};

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window to <file> and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    Gallery gallery;
    gallery.show();
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        // Let the indicators turn a few times first.
        QTimer::singleShot(400, &gallery, [&gallery, file] {
            const bool saved = gallery.grab().save(file);
            QCoreApplication::exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
