#pragma once

#include "facefile.h"
#include "views.h"

#include <chrono>

namespace app {

class MainWindowModel;

// How often the editor offers Up and Down anew from the current list's selection.
inline constexpr std::chrono::milliseconds kMoveButtonInterval { 10 };

// What the list editor does: moves faces between the current list and the pool, creates, erases,
// reorders and imports faces. Edits stay in memory until OK writes both face list files.
class ListEditorModel {
public:
    using List = ListEditorView::List;

    ListEditorModel(ListEditorView& view, MainWindowModel& mainWindow);

    // Reads both face lists and shows the editor. When one cannot be read, the main window tells
    // the person, the program fails and false is returned.
    bool load();

    const faces::FaceText& faces(List list) const { return list == List::Current ? current_ : pool_; }

    void moveToPool();
    void moveToCurrent();
    void create();
    void moveUp();
    void moveDown();
    void erase();
    // Saves both lists, closes the editor and loads the main window again; a save that fails
    // keeps the editor and its edits.
    void ok();
    void cancel();
    void importFaces();
    void showVersion();
    // Every kMoveButtonInterval: Up and Down are offered except where they cannot move the face.
    void tick();
    // Ctrl+C on a list: its selected face, if any.
    void copy(List list);

private:
    faces::FaceText& list(List which) { return which == List::Current ? current_ : pool_; }
    // Moves the selected face of one list to the end of the other.
    void moveSelected(List from, List to, const char16_t* noSelection);
    // Swaps the selected face of the current list with its neighbour `step` rows away.
    void swapSelected(int step);
    // True when one more face fits; otherwise tells the person.
    bool hasRoom(List which);
    void append(List which, std::u16string_view face);

    ListEditorView& view_;
    MainWindowModel& mainWindow_;
    faces::FaceText current_;
    faces::FaceText pool_;
    faces::Path saveFolder_; // chosen when the lists are read
    faces::Digest poolRead_; // the files OK replaces, as they were when the lists were read
    faces::Digest currentRead_;
};

} // namespace app
