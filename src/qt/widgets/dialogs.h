#pragma once

#include <QString>

#include <optional>

class QApplication;
class QWidget;

// The modal boxes the windows ask the user with. Windows take one through their constructor,
// so tests can answer without a person.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Message box: OK only, no icon, the application title as caption.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // Message box with "はい" and "いいえ"; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text) = 0;
    // One-line input box with "OK" and "キャンセル"; nothing on Cancel or when closed.
    virtual std::optional<QString> input(QWidget* parent, const QString& prompt) = 0;
    // The system's open-file dialog; the path of an existing file, or empty on cancel.
    virtual QString openFile(QWidget* parent, const QString& filter, const QString& initialDir) = 0;
};

// The real boxes.
class SystemDialogs final : public Dialogs {
public:
    void message(QWidget* parent, const QString& text) override;
    bool askYesNo(QWidget* parent, const QString& text) override;
    std::optional<QString> input(QWidget* parent, const QString& prompt) override;
    QString openFile(QWidget* parent, const QString& filter, const QString& initialDir) override;
};

// Japanese texts for Qt's standard dialogs whatever the locale, buttons without icons, and an
// interface font that can show Japanese.
void installAppearance(QApplication& app);
