#pragma once

#include "desktop.h"
#include "mainwindowmodel.h"
#include "window.h"

#include <memory>

class ListEditor;

// The main window: the current list of faces, Copy, Edit, About and the always-on-top option,
// shown for its model. One object for the whole run; load() and unload() may be repeated, each
// load a new window.
class MainWindow final : public Window, private app::MainWindowView {
public:
    explicit MainWindow(const faces::ListFolders& folders);
    ~MainWindow() override;

    // Reads the current list, restores the option and shows the window. When the list cannot be
    // read the user is told and false is returned: the program must end with a failure.
    bool load() { return model_.load(); }
    // Once a handler has returned: whether any window is still loaded, and whether a face list
    // could not be read. Lets an editor that was closed go.
    bool running();
    bool failed() const { return failed_; }

private:
    int defaultButton() const override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    void message(const std::u16string& text) override;
    bool askYesNo(const std::u16string& text) override;
    void setClipboardText(std::u16string_view text) override;
    void createWindow() override;
    void showWindow() override;
    void closeWindow() override { destroy(); }
    void listChanged(app::Change change, int row) override { faceList_.changed(model_.faces(), change, row); }
    int selection() const override { return faceList_.selection(); }
    void setChecked(bool checked) override;
    bool isChecked() const override;
    void setAlwaysOnTop(bool on) override;
    void pasteIntoPrevious(std::u16string_view text) override;
    void openEditor() override;
    bool isEditorOpen() const override;
    void raiseEditor() override;
    void fail() override { failed_ = true; }

    // "コピー" and "前のウィンドウに貼り付け" for the face under the pointer.
    void showFaceMenu(LPARAM at);

    desktop::RegistrySettings settings_;
    app::MainWindowModel model_;
    FaceListBox faceList_;
    HWND alwaysOnTopBox_ = nullptr;
    std::unique_ptr<ListEditor> editor_;
    bool failed_ = false;
};
