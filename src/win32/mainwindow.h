#pragma once

#include "facefile.h"
#include "window.h"

#include <memory>

class ListEditor;

// Reads a face list file from where the folders keep it into the list box; when it cannot be
// read, tells the user which file and why in a box owned by `owner`, and returns false.
bool readFaceList(FaceListBox& list, const faces::ListFolders& folders, const char* fileName, HWND owner,
    faces::Digest* digest = nullptr);

// The main window: the current list of faces, Copy, Edit, About and the always-on-top option.
// One object for the whole run; load() and unload() may be repeated, each load a new window.
class MainWindow final : public Window {
public:
    explicit MainWindow(const faces::ListFolders& folders);
    ~MainWindow() override;

    // Reads the current list, restores the option and shows the window. When the list cannot be
    // read the user is told and false is returned: the program must end with a failure.
    bool load();
    // Stores the option and closes the window.
    void unload();
    // Once a handler has returned: whether any window is still loaded, and whether a face list
    // could not be read. Lets an editor that was closed go.
    bool running();
    bool failed() const { return failed_; }

private:
    int defaultButton() const override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void copySelectedFace();
    // Puts the face into the window that was in front before this program's (and on the clipboard).
    void pasteSelectedFace();
    // "コピー" and "前のウィンドウに貼り付け" for the face under the pointer.
    void showFaceMenu(LPARAM at);
    void openEditor();

    faces::ListFolders folders_;
    FaceListBox faceList_;
    HWND alwaysOnTopBox_ = nullptr;
    std::unique_ptr<ListEditor> editor_;
    bool failed_ = false;
};
