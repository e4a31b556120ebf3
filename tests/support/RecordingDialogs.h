#pragma once
// Dialogs for tests: every box is recorded instead of shown, and file dialogs
// answer with the names queued beforehand (an empty name is a cancel).

#include "widgets/UserDialogs.h"

#include <QPointer>
#include <QStringList>
#include <QVector>
#include <QWidget>

class RecordingDialogs final : public UserDialogs {
public:
    struct Box {
        enum Kind { Information, Warning, Question } kind;
        QPointer<QWidget> parent;
        QString title;
        QString text;
    };

    RecordingDialogs();            // installs itself
    ~RecordingDialogs() override;  // goes back to the Qt dialogs

    void information(QWidget* parent, const QString& title, const QString& text) override;
    void warning(QWidget* parent, const QString& title, const QString& text) override;
    // Recorded in boxes, its button in actionTexts; answered from actionAnswers, false when none is queued.
    bool informationWithAction(QWidget* parent, const QString& title, const QString& text,
                               const QString& actionText) override;
    // Recorded in questions; answered from questionAnswers, Yes when none is queued.
    bool question(QWidget* parent, const QString& title, const QString& text) override;
    // Recorded in choices; answered with the button named first in
    // choiceAnswers, else the one that lets the action go on without more:
    // "Discard" where offered, else the first.
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& details,
               const QStringList& buttons, int defaultButton) override;
    // Recorded in itemChoices; answered with the item named first in
    // itemAnswers (an empty name or one not listed is a cancel), else the current one.
    int chooseItem(QWidget* parent, const QString& title, const QString& text, const QStringList& items,
                   int current) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                         const QString& filter) override;

    QVector<Box> boxes;         // messages: information and warning boxes
    QVector<Box> questions;     // the questions asked, each a Box of kind Question
    QStringList texts() const;  // the texts of every box, in order
    struct Choice {
        QString title;
        QString text;
        QStringList details;
        QStringList buttons;
        int defaultButton;
    };
    QVector<Choice> choices;      // the choices offered
    QStringList choiceAnswers;    // the buttons to choose next, first first
    QStringList fileAnswers;      // answers for the next file dialogs, first first
    QList<bool> questionAnswers;  // answers for the next questions, first first
    QStringList actionTexts;      // the extra button of each information box that offered one
    QList<bool> actionAnswers;    // whether that button is chosen, first first
    QStringList fileCaptions;     // captions of the file dialogs asked
    QStringList fileFilters;      // their filters

    struct ItemChoice {
        QString title;
        QString text;
        QStringList items;
        int current;
    };
    QVector<ItemChoice> itemChoices;  // the lists offered to choose one item from
    QStringList itemAnswers;          // the items to choose next, first first
    void clear();
};
