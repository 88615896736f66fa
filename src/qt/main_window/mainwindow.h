#pragma once

#include "fixedwindow.h"
#include "mainwindowmodel.h"

#include <QPointer>

class Dialogs;
class ListEditor;
class QCheckBox;
class ListBox;
class QPushButton;

// The settings store on Qt's: ~/.config/<application>/<application>.conf on Linux.
class QtSettingsStore final : public app::SettingsStore {
public:
    std::u16string read(std::u16string_view application, std::u16string_view section, std::u16string_view key) override;
    void write(std::u16string_view application, std::u16string_view section, std::u16string_view key,
        std::u16string_view value) override;
};

// The main window: the current list of faces, Copy, Edit, About and the always-on-top option,
// shown for its model. One object for the whole run; load() and unload() may be repeated.
class MainWindow : public FixedWindow, private app::MainWindowView {
    Q_OBJECT

public:
    MainWindow(const faces::ListFolders& folders, Dialogs& dialogs);
    ~MainWindow() override;

    // Reads the current list, restores the option and shows the window. When the face list
    // cannot be read the user is told, fatalError() is emitted and false is returned.
    bool load() { return model_.load(); }
    // The same with the current list already read (at start, while the toolkit loaded).
    bool load(app::FaceListRead&& current) { return model_.load(std::move(current)); }
    // Stores the option, closes the window and releases its native window, so that the next
    // load() reads the list again and the window system places the window anew.
    void unload() { model_.unload(); }
    bool isLoaded() const { return model_.isLoaded(); }

    // The list editor while it is open.
    ListEditor* editor() const;

signals:
    // Emitted once an event handler has returned and neither window is loaded any more.
    void allWindowsUnloaded();
    // A face list file could not be read in either window; the user has been told. The program
    // must end with a failure status.
    void fatalError();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void message(const std::u16string& text) override;
    bool askYesNo(const std::u16string& text) override;
    void setClipboardText(std::u16string_view text) override;
    void createWindow() override { } // the window object lasts the whole run, left empty when closed
    void showWindow() override;
    void closeWindow() override;
    void listChanged(app::Change change, int row) override;
    int selection() const override;
    void setChecked(bool checked) override;
    bool isChecked() const override;
    void setAlwaysOnTop(bool on) override;
    void pasteIntoPrevious(std::u16string_view text) override;
    void openEditor() override;
    bool isEditorOpen() const override;
    void raiseEditor() override;
    void fail() override { emit fatalError(); }

    // "コピー" and "前のウィンドウに貼り付け" for the face at the point.
    void showFaceMenu(const QPoint& at);
    void checkProgramEnd();

    Dialogs& dialogs_;
    QtSettingsStore settings_;
    app::MainWindowModel model_;
    ListBox* faceList_;
    QCheckBox* alwaysOnTopBox_;
    QPointer<ListEditor> editor_;
};
