#pragma once

#include "facefile.h"
#include "window.h"

#include <string>

class MainWindow;

// The list editor: moves faces between the current list and the pool, creates, erases,
// reorders and imports faces. Edits stay in memory until OK writes both face list files.
// Modeless and without owner.
class ListEditor final : public Window {
public:
    ListEditor(MainWindow& mainWindow, const faces::ListFolders& folders);

    // Reads both face lists and shows the editor. When one cannot be read the user is told and
    // false is returned: the program must end with a failure.
    bool load();
    bool failed() const { return failed_; }

private:
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void moveSelected(FaceListBox& from, FaceListBox& to, const char16_t* noSelectionMessage);
    void swapSelected(int step);
    bool hasRoom(const FaceListBox& list);
    void createFace();
    void eraseFromPool();
    void commit();
    bool save();
    void importFaces();
    void updateMoveButtons();
    void message(const std::u16string& text);

    MainWindow& mainWindow_;
    const faces::ListFolders folders_;
    faces::Path saveFolder_; // chosen when the lists are read
    faces::Digest poolDigest_; // the files OK replaces, as they were when the lists were read
    faces::Digest currentDigest_;
    FaceListBox currentList_;
    FaceListBox poolList_;
    bool failed_ = false;
};
