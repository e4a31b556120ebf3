#include "UserDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

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
    bool question(QWidget* parent, const QString& title, const QString& text) override
    {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
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

UserDialogs& userDialogs()
{
    return g_dialogs ? *g_dialogs : g_qtDialogs;
}

void setUserDialogs(UserDialogs* dialogs)
{
    g_dialogs = dialogs;
}
