#include "UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// A message box is as narrow as its text and buttons, and the window
// manager cuts a title that does not fit beside its own buttons down to
// "…": a CJK title in a short box shows nothing else. The box keeps room
// for the whole title.
constexpr int kTitleBarButtonsRoom = 120;

void roomForTitle(QMessageBox& box)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    QFont titleFont = box.font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtonsRoom;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0,
                  1, grid->columnCount());
}

int exec(QMessageBox& box)
{
    roomForTitle(box);
    return box.exec();
}

class QtDialogs final : public UserDialogs {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        exec(box);
    }
    void dismissInformation(const QString& text) override
    {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (box && box->isVisible() && box->text() == text)
                box->done(QMessageBox::Ok);
        }
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes, parent);
        exec(box);
    }
    bool informationWithAction(QWidget* parent, const QString& title, const QString& text,
                               const QString& actionText) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        QAbstractButton* action = box.addButton(actionText, QMessageBox::ActionRole);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        exec(box);
        return box.clickedButton() == action;
    }
    bool question(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        // The answers in the interface's language, for which Qt's own catalogue is not loaded.
        box.button(QMessageBox::Yes)->setText(QCoreApplication::translate("UserDialogs", "&Yes"));
        box.button(QMessageBox::No)->setText(QCoreApplication::translate("UserDialogs", "&No"));
        return exec(box) == QMessageBox::Yes;
    }
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& details,
               const QStringList& buttons, int defaultButton) override
    {
        QDialog box(parent);
        box.setObjectName(QStringLiteral("choiceBox"));
        box.setWindowTitle(title);
        auto* layout = new QVBoxLayout(&box);
        auto* top = new QHBoxLayout;
        auto* icon = new QLabel(&box);
        const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
        icon->setPixmap(
            box.style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, &box).pixmap(side, side));
        icon->setAlignment(Qt::AlignTop);
        top->addWidget(icon);
        auto* label = new QLabel(text, &box);
        label->setWordWrap(true);
        label->setTextFormat(Qt::PlainText);
        top->addWidget(label, 1);
        layout->addLayout(top);
        if (!details.isEmpty()) {
            auto* list = new QListWidget(&box);
            list->setObjectName(QStringLiteral("choiceDetails"));
            list->addItems(details);
            list->setSelectionMode(QAbstractItemView::NoSelection);
            list->setMinimumWidth(480);
            list->setMinimumHeight(qMin(details.size(), 12) * list->fontMetrics().height() + 12);
            layout->addWidget(list, 1);
        }
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        for (int i = 0; i < buttons.size(); ++i) {
            auto* button = new QPushButton(buttons.at(i), &box);
            button->setAutoDefault(true);
            QObject::connect(button, &QPushButton::clicked, &box, [&box, i] { box.done(i + 1); });
            row->addWidget(button);
            if (i == defaultButton) {
                button->setDefault(true);
                button->setFocus();
            }
        }
        layout->addLayout(row);
        const int result = box.exec();
        // Escape and the title bar's close button reject: the last choice.
        return result >= 1 ? result - 1 : int(buttons.size()) - 1;
    }
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, dir, filter);
    }
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);
    }
};

QtDialogs g_qtDialogs;
UserDialogs* g_dialogs = nullptr;

}  // namespace

bool UserDialogs::informationWithAction(QWidget* parent, const QString& title, const QString& text,
                                        const QString&)
{
    information(parent, title, text);
    return false;
}

int UserDialogs::chooseItem(QWidget* parent, const QString& title, const QString& text,
                            const QStringList& items, int current)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(text);
    dialog.setComboBoxItems(items);
    dialog.setComboBoxEditable(false);
    if (current >= 0 && current < items.size())
        dialog.setTextValue(items.at(current));
    dialog.setOkButtonText(QCoreApplication::translate("UserDialogs", "OK"));
    dialog.setCancelButtonText(QCoreApplication::translate("UserDialogs", "Cancel"));
    if (dialog.exec() != QDialog::Accepted)
        return -1;
    return int(items.indexOf(dialog.textValue()));
}

UserDialogs& userDialogs()
{
    return g_dialogs ? *g_dialogs : g_qtDialogs;
}

void setUserDialogs(UserDialogs* dialogs)
{
    g_dialogs = dialogs;
}
