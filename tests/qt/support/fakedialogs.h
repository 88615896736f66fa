#pragma once

#include "dialogs.h"

#include <QQueue>
#include <QStringList>
#include <QVariant>

// Answers the windows' boxes in turn from one queue and records every text shown.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown; // every message and question, in order; a file dialog as its filter and folder
    QList<QWidget*> owners; // the window each box belonged to
    // true: Yes; text: typed into the input box; a path: chosen in the file dialog. Run out: No,
    // Cancel, cancelled.
    QQueue<QVariant> answers;

    void message(QWidget* owner, const QString& text) override
    {
        shown.append(text);
        owners.append(owner);
    }
    bool askYesNo(QWidget* owner, const QString& text) override { return next(owner, text).toBool(); }
    std::optional<QString> input(QWidget* owner, const QString& prompt) override
    {
        const QVariant typed = next(owner, prompt);
        return typed.isValid() ? std::optional(typed.toString()) : std::nullopt;
    }
    QString openFile(QWidget* owner, const QString& filter, const QString& folder) override
    {
        return next(owner, filter + u'|' + folder).toString();
    }

private:
    QVariant next(QWidget* owner, const QString& text)
    {
        message(owner, text);
        return answers.isEmpty() ? QVariant() : answers.dequeue();
    }
};
