#include "mainwindowmodel.h"

#include "buildinfo.h"
#include "textcodec.h"
#include "texts.h"

namespace app {

FaceListRead readFaceList(const faces::ListFolders& folders, const char* fileName, bool finishSaves)
{
    FaceListRead read { {}, std::nullopt, {}, {}, finishSaves ? folders.finishInterruptedSaves() : std::nullopt };
    read.path = folders.readPath(fileName);
    read.faces = faces::readFaceText(read.path, &read.reason, &read.digest);
    return read;
}

std::u16string shortenedForBox(std::u16string_view face)
{
    if (face.size() <= kMaxFaceInBox)
        return faces::displayText(face);
    size_t kept = kMaxFaceInBox - 1;
    if (face[kept - 1] >= 0xD800 && face[kept - 1] <= 0xDBFF) // not half a character
        --kept;
    return faces::displayText(face.substr(0, kept)) + u"…";
}

MainWindowModel::MainWindowModel(MainWindowView& view, const faces::ListFolders& folders, SettingsStore& settings)
    : view_(view)
    , folders_(folders)
    , settings_(settings)
{
}

bool MainWindowModel::load()
{
    return loaded_ || load(readFaceList(folders_, faces::kCurrentFileName));
}

bool MainWindowModel::load(FaceListRead&& current)
{
    if (loaded_)
        return true;
    view_.createWindow();
    if (!current.faces) {
        readFailed(current); // no window is shown yet
        view_.closeWindow();
        return false;
    }
    tellUnfinished(current);
    faces_ = std::move(*current.faces);
    view_.listChanged(Change::Reset, 0);
    // Only the exact text turns the option on; the restore acts as a click would.
    if (settings_.read(kSettingApplication, kSettingSection, kSettingKey) == kSettingOn) {
        view_.setChecked(true);
        alwaysOnTopClicked();
    }
    loaded_ = true;
    view_.showWindow();
    return true;
}

void MainWindowModel::unload()
{
    if (!loaded_)
        return;
    settings_.write(kSettingApplication, kSettingSection, kSettingKey, view_.isChecked() ? kSettingOn : u"");
    loaded_ = false;
    view_.closeWindow();
    faces_.clear();
}

void MainWindowModel::readFailed(const FaceListRead& read)
{
    view_.message(std::u16string(texts::kCannotRead) + u"\r\n" + faces::displayPath(read.path) + u"\r\n" + read.reason);
    view_.fail();
}

void MainWindowModel::tellUnfinished(const FaceListRead& read)
{
    if (!read.unfinished || toldUnfinished_)
        return;
    toldUnfinished_ = true;
    view_.message(texts::kUnfinishedSave + (u"\r\n" + faces::displayPath(read.unfinished->path)) + u"\r\n"
        + read.unfinished->reason + u"\r\n" + texts::kUnfinishedSaveKept);
}

void MainWindowModel::copy()
{
    const int row = view_.selection();
    view_.setClipboardText(row < 0 ? std::u16string() : faces::displayText(faces_.at(size_t(row))));
}

void MainWindowModel::pasteIntoPrevious()
{
    const int row = view_.selection();
    if (row < 0)
        return;
    // A control character would be typed as a key (Ctrl+C, Escape, Tab) into the other window.
    std::u16string text;
    for (const char16_t c : faces::displayText(faces_.at(size_t(row))))
        if (c >= 0x20 && !(c >= 0x7F && c <= 0x9F))
            text += c;
    view_.setClipboardText(text); // to paste again
    view_.pasteIntoPrevious(text);
}

void MainWindowModel::showAbout()
{
    view_.message(texts::kAboutText + faces::fromUtf8(buildinfo::kMakerName));
}

void MainWindowModel::alwaysOnTopClicked()
{
    view_.setAlwaysOnTop(view_.isChecked());
}

void MainWindowModel::edit()
{
    // An open editor is only brought forward, with its unsaved edits.
    if (view_.isEditorOpen())
        view_.raiseEditor();
    else
        view_.openEditor();
}

} // namespace app
