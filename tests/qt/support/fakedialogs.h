#pragma once

#include "dialogs.h"

#include <QQueue>
#include <QStringList>
#include <QVariant>

// Answers the windows' boxes in turn from one queue and records every text shown.
class FakeDialogs final : public Dialogs {
public:
    QStringList shown; // every message and question, in order; a file dialog as its filter and folder
    // true: Yes; text: typed into the input box; a path: chosen in the file dialog. Run out: No,
    // Cancel, cancelled.
    QQueue<QVariant> answers;

    void message(QWidget*, const QString& text) override { shown.append(text); }
    bool askYesNo(QWidget*, const QString& text) override { return next(text).toBool(); }
    std::optional<QString> input(QWidget*, const QString& prompt) override
    {
        const QVariant typed = next(prompt);
        return typed.isValid() ? std::optional(typed.toString()) : std::nullopt;
    }
    QString openFile(QWidget*, const QString& filter, const QString& folder) override
    {
        return next(filter + u'|' + folder).toString();
    }

private:
    QVariant next(const QString& text)
    {
        shown.append(text);
        return answers.isEmpty() ? QVariant() : answers.dequeue();
    }
};
