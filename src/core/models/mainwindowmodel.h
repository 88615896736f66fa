#pragma once

#include "facefile.h"
#include "views.h"

#include <optional>
#include <string>

namespace app {

// One face list file as read: its faces, or why it could not be read.
struct FaceListRead {
    faces::Path path;
    std::optional<faces::FaceText> faces;
    std::u16string reason;
    faces::Digest digest; // what was read, to tell later whether someone changed the file
    std::optional<faces::SaveFailure> unfinished; // a recorded save that could not be completed
};
// Reads one face list file from where the folders keep it, once a save that a crash cut short is
// completed (unless the caller has just done that).
FaceListRead readFaceList(const faces::ListFolders& folders, const char* fileName, bool finishSaves = true);

// Where the stored option lives, and the value that turns it on: the exact text, case included.
inline constexpr char16_t kSettingApplication[] = u"Nikomaru";
inline constexpr char16_t kSettingSection[] = u"Setting";
inline constexpr char16_t kSettingKey[] = u"Check";
inline constexpr char16_t kSettingOn[] = u"True";

// Faces longer than this are shortened with "…" where a box shows them: a box as tall as a face
// of megabytes cannot be answered. The face itself is untouched.
inline constexpr size_t kMaxFaceInBox = 256;
std::u16string shortenedForBox(std::u16string_view face);

// What the main window does: the current list, Copy, Edit, About, the always-on-top option and
// the paste into the window before. One object for the whole run; load() and unload() repeat.
class MainWindowModel {
public:
    MainWindowModel(MainWindowView& view, const faces::ListFolders& folders, SettingsStore& settings);

    // Reads the current list, restores the option and shows the window. When the list cannot be
    // read, the person is told, the view fails and false is returned.
    bool load();
    // The same with the current list already read (at start, while the toolkit loads).
    bool load(FaceListRead&& current);
    // Stores the option and closes the window; the next load() reads the list again.
    void unload();
    bool isLoaded() const { return loaded_; }

    const faces::FaceText& faces() const { return faces_; }
    const faces::ListFolders& folders() const { return folders_; }

    // コピー, Enter, Ctrl+C and a double-click: the selected face, or an empty text, on the clipboard.
    void copy();
    // Shift+Enter, Shift+double-click and the menu: the selected face into the window before,
    // without the control characters that would act there as keys, and on the clipboard.
    void pasteIntoPrevious();
    void showAbout();
    // The check box was clicked, or set by the restore.
    void alwaysOnTopClicked();
    void edit();

    // A face list file could not be read, in either window: the person is told in a box of this
    // window and the program fails.
    void readFailed(const FaceListRead& read);
    // Tells the person, once a run, of a recorded save that could not be completed yet.
    void tellUnfinished(const FaceListRead& read);

private:
    MainWindowView& view_;
    const faces::ListFolders folders_;
    SettingsStore& settings_;
    faces::FaceText faces_;
    bool loaded_ = false;
    bool toldUnfinished_ = false;
};

} // namespace app
