#pragma once

#include "dialogs.h"

#include <QQueue>
#include <QStringList>

// Answers the windows' boxes from queues and records every text shown.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown; // every message and question, in order
    QQueue<bool> yesNoAnswers; // empty: answers No
    QQueue<std::optional<QString>> inputs; // empty: Cancel
    QQueue<QString> files; // empty: the dialog is cancelled
    QString lastFilter;
    QString lastInitialDir;

    void message(QWidget*, const QString& text) override { shown.append(text); }
    bool askYesNo(QWidget*, const QString& text) override
    {
        shown.append(text);
        return !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
    }
    std::optional<QString> input(QWidget*, const QString& prompt) override
    {
        shown.append(prompt);
        return inputs.isEmpty() ? std::nullopt : inputs.dequeue();
    }
    QString openFile(QWidget*, const QString& filter, const QString& initialDir) override
    {
        lastFilter = filter;
        lastInitialDir = initialDir;
        return files.isEmpty() ? QString() : files.dequeue();
    }
};
