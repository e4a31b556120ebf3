#include "RecordingDialogs.h"

RecordingDialogs::RecordingDialogs()
{
    setUserDialogs(this);
}

RecordingDialogs::~RecordingDialogs()
{
    setUserDialogs(nullptr);
}

void RecordingDialogs::information(QWidget* parent, const QString& title, const QString& text)
{
    boxes.push_back({Box::Information, parent, title, text});
}

void RecordingDialogs::warning(QWidget* parent, const QString& title, const QString& text)
{
    boxes.push_back({Box::Warning, parent, title, text});
}

bool RecordingDialogs::informationWithAction(QWidget* parent, const QString& title, const QString& text,
                                             const QString& actionText)
{
    boxes.push_back({Box::Information, parent, title, text});
    actionTexts << actionText;
    return !actionAnswers.isEmpty() && actionAnswers.takeFirst();
}

bool RecordingDialogs::question(QWidget* parent, const QString& title, const QString& text)
{
    questions.push_back({Box::Question, parent, title, text});
    return questionAnswers.isEmpty() || questionAnswers.takeFirst();
}

int RecordingDialogs::choose(QWidget*, const QString& title, const QString& text, const QStringList& details,
                             const QStringList& buttons, int defaultButton)
{
    choices.push_back({title, text, details, buttons, defaultButton});
    if (!choiceAnswers.isEmpty())
        return buttons.indexOf(choiceAnswers.takeFirst());
    const int discard = buttons.indexOf(QStringLiteral("Discard"));
    return discard >= 0 ? discard : 0;
}

int RecordingDialogs::chooseItem(QWidget*, const QString& title, const QString& text,
                                 const QStringList& items, int current)
{
    itemChoices.push_back({title, text, items, current});
    return itemAnswers.isEmpty() ? current : int(items.indexOf(itemAnswers.takeFirst()));
}

QString RecordingDialogs::openFileName(QWidget*, const QString& caption, const QString&,
                                       const QString& filter)
{
    fileCaptions << caption;
    fileFilters << filter;
    return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
}

QString RecordingDialogs::saveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                       const QString& filter)
{
    return openFileName(parent, caption, dir, filter);
}

QStringList RecordingDialogs::texts() const
{
    QStringList out;
    for (const Box& b : boxes)
        out << b.text;
    return out;
}

void RecordingDialogs::clear()
{
    boxes.clear();
    questions.clear();
    fileCaptions.clear();
    fileFilters.clear();
    questionAnswers.clear();
    actionTexts.clear();
    actionAnswers.clear();
    choices.clear();
    choiceAnswers.clear();
    itemChoices.clear();
    itemAnswers.clear();
}
