#pragma once
// A message an operation wants shown to the user: the English source text with
// its translation context, and the values for its %1, %2 … Operations return
// one instead of showing it; the window that ran the operation shows it.

#include <QCoreApplication>
#include <QStringList>

struct UserMessage {
    const char* context = nullptr;  // translation context, such as "CorvelleRepeater"
    const char* text = nullptr;     // English source text; nullptr: nothing to show
    QStringList args;

    bool isEmpty() const { return text == nullptr; }
    QString translated() const
    {
        QString s = QCoreApplication::translate(context, text);
        for (const QString& a : args)
            s = s.arg(a);
        return s;
    }
};
