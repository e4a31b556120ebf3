#pragma once
// The one way the tool asks or tells the user anything modal: message boxes
// and file dialogs. The program uses the Qt dialogs; tests install their own
// implementation that records what was shown and answers file dialogs, so no
// test ever waits on a modal loop.

#include <QString>
#include <QStringList>

class QWidget;

class UserDialogs {
public:
    virtual ~UserDialogs() = default;

    // An information box with one OK button.
    virtual void information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning box with one Yes button.
    virtual void warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // An information box with OK and a second button labelled actionText
    // (e.g. one that opens the log's folder): true when that one was chosen.
    // By default an information box that offers nothing more.
    virtual bool informationWithAction(QWidget* parent, const QString& title, const QString& text,
                                       const QString& actionText);
    // A question with Yes and No, No preselected: true for Yes.
    virtual bool question(QWidget* parent, const QString& title, const QString& text) = 0;
    // A choice among the buttons given (their texts, the action that goes on
    // first, the one that changes nothing last), the lines of details listed
    // under the text in a list that scrolls; defaultButton is preselected and
    // Escape or closing the box chooses the last. The index chosen.
    virtual int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& details,
                       const QStringList& buttons, int defaultButton) = 0;
    // One item of a list (a drop-down list under the text), current
    // preselected: the index chosen, -1 when cancelled.
    virtual int chooseItem(QWidget* parent, const QString& title, const QString& text,
                           const QStringList& items, int current);
    // QFileDialog::getOpenFileName / getSaveFileName; empty when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    // Closes an information box still open with this text, once what it
    // tells no longer holds; its information() call then returns.
    virtual void dismissInformation(const QString& text) { (void)text; }
};

// The dialogs in use: the Qt ones until setUserDialogs installs others.
UserDialogs& userDialogs();
// Installs dialogs (not owned); nullptr goes back to the Qt dialogs.
void setUserDialogs(UserDialogs* dialogs);
