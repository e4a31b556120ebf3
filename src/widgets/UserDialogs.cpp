#include "UserDialogs.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtDialogs final : public UserDialogs {
public:
    void information(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::information(parent, title, text, QMessageBox::Ok);
    }
    void warning(QWidget* parent, const QString& title, const QString& text) override
    {
        QMessageBox::warning(parent, title, text, QMessageBox::Yes);
    }
    bool informationWithAction(QWidget* parent, const QString& title, const QString& text,
                               const QString& actionText) override
    {
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
        QAbstractButton* action = box.addButton(actionText, QMessageBox::ActionRole);
        box.setDefaultButton(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        box.exec();
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
        return box.exec() == QMessageBox::Yes;
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

UserDialogs& userDialogs()
{
    return g_dialogs ? *g_dialogs : g_qtDialogs;
}

void setUserDialogs(UserDialogs* dialogs)
{
    g_dialogs = dialogs;
}
