#pragma once

// What the windows' models ask of the front end that shows them: a small interface per window,
// implemented once by each front end and by the tests' fake.

#include "facefile.h"

#include <optional>
#include <string>
#include <string_view>

namespace app {

// Every list scrolls sideways over this many pixels at 96 DPI.
inline constexpr int kHorizontalExtent = 200;

// What every window of the program can ask of the person and the system.
class View {
public:
    virtual ~View() = default;
    // A modal box with the text and OK, owned by this window.
    virtual void message(const std::u16string& text) = 0;
    // A modal box with はい and いいえ; true for はい.
    virtual bool askYesNo(const std::u16string& text) = 0;
    // Plain text on the system's clipboard, replacing what was there; an empty text too.
    virtual void setClipboardText(std::u16string_view text) = 0;
};

// The per-user settings store, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // A missing or unreadable value reads as the empty string.
    virtual std::u16string read(std::u16string_view application, std::u16string_view section, std::u16string_view key)
        = 0;
    virtual void write(std::u16string_view application, std::u16string_view section, std::u16string_view key,
        std::u16string_view value)
        = 0;
};

// How a list's faces changed, for the list box that shows them.
enum class Change {
    Reset, // every face is new
    Appended, // faces were added at the end, from `row` on
    Removed, // the face at `row` is gone; nothing is selected
    Replaced, // the face at `row` is another one
};

class MainWindowModel;
class ListEditorModel;

class MainWindowView : public View {
public:
    // Makes the window with its controls, not shown yet; a window made before is made anew.
    virtual void createWindow() = 0;
    virtual void showWindow() = 0;
    // Closes the window and lets its native window go.
    virtual void closeWindow() = 0;
    // The list shows the model's faces, changed as said.
    virtual void listChanged(Change change, int row) = 0;
    // The selected row; -1 when none is.
    virtual int selection() const = 0;
    virtual void setChecked(bool checked) = 0;
    virtual bool isChecked() const = 0;
    // Keeps the window above all others, or not, at once, without moving or hiding it.
    virtual void setAlwaysOnTop(bool on) = 0;
    // Puts the text into the window that was in front before this program's, where there is one
    // still; the text is on the clipboard already.
    virtual void pasteIntoPrevious(std::u16string_view text) = 0;
    // Opens the list editor over the model, or brings the open one forward.
    virtual void openEditor() = 0;
    virtual bool isEditorOpen() const = 0;
    virtual void raiseEditor() = 0;
    // A face list could not be read and the person has been told: the program ends with a failure.
    virtual void fail() = 0;
};

class ListEditorView : public View {
public:
    enum class List { Current, Pool };
    virtual void listChanged(List list, Change change, int row) = 0;
    virtual int selection(List list) const = 0;
    virtual void select(List list, int row) = 0; // -1: none
    virtual void enableMoveButtons(bool up, bool down) = 0;
    // A line of text typed into the input box; nothing on キャンセル or when it was closed.
    virtual std::optional<std::u16string> askText(const std::u16string& prompt) = 0;
    // The system's open-file dialog over the filter (description and pattern pairs, each ended by
    // a NUL, one more NUL at the end), the first pair chosen; an existing file, or an empty path.
    virtual faces::Path chooseFile(std::u16string_view filter, const faces::Path& initialFolder) = 0;
    virtual void showWindow() = 0;
    // Closes the editor; the model may go with it once the current event has been handled.
    virtual void closeWindow() = 0;
};

} // namespace app
