#include "listeditormodel.h"

#include "buildinfo.h"
#include "mainwindowmodel.h"
#include "textcodec.h"
#include "texts.h"

#include <algorithm>
#include <iterator>

namespace app {

static_assert(faces::kMaxFaces == 32767, "the message of a full list names the limit");

ListEditorModel::ListEditorModel(ListEditorView& view, MainWindowModel& mainWindow)
    : view_(view)
    , mainWindow_(mainWindow)
{
}

bool ListEditorModel::load()
{
    const faces::ListFolders& folders = mainWindow_.folders();
    saveFolder_ = folders.saveFolder();
    for (auto [list, name, digest] : { std::tuple { &pool_, faces::kPoolFileName, &poolRead_ },
             std::tuple { &current_, faces::kCurrentFileName, &currentRead_ } }) {
        FaceListRead read = readFaceList(folders, name, list == &pool_); // one completion for both
        if (!read.faces) {
            mainWindow_.readFailed(read); // the editor is not shown yet
            view_.closeWindow();
            return false;
        }
        mainWindow_.tellUnfinished(read);
        *list = std::move(*read.faces);
        // A list saved elsewhere than it was read from replaces what is there now.
        *digest = folders.folderOf(name) == saveFolder_ ? read.digest
                                                        : faces::fileDigest(faces::faceFilePath(saveFolder_, name));
    }
    view_.listChanged(List::Current, Change::Reset, 0);
    view_.listChanged(List::Pool, Change::Reset, 0);
    view_.showWindow();
    return true;
}

bool ListEditorModel::hasRoom(List which)
{
    if (list(which).size() < size_t(faces::kMaxFaces))
        return true;
    view_.message(texts::kListFull);
    return false;
}

void ListEditorModel::append(List which, std::u16string_view face)
{
    list(which).append(face);
    view_.listChanged(which, Change::Appended, int(list(which).size()) - 1);
}

void ListEditorModel::moveSelected(List from, List to, const char16_t* noSelection)
{
    const int row = view_.selection(from);
    if (row < 0) {
        view_.message(noSelection);
        return;
    }
    if (!hasRoom(to))
        return;
    append(to, list(from).at(size_t(row)));
    list(from).remove(size_t(row));
    view_.listChanged(from, Change::Removed, row);
}

void ListEditorModel::moveToPool()
{
    moveSelected(List::Current, List::Pool, texts::kSelectFromCurrent);
}

void ListEditorModel::moveToCurrent()
{
    moveSelected(List::Pool, List::Current, texts::kSelectFromPool);
}

void ListEditorModel::create()
{
    std::optional<std::u16string> face = view_.askText(texts::kCreatePrompt);
    if (!face)
        return; // キャンセル adds nothing
    // A face is one line: pasted line breaks must not split it when the list is written.
    std::erase(*face, u'\r');
    std::erase(*face, u'\n');
    if (hasRoom(List::Pool))
        append(List::Pool, *face);
}

void ListEditorModel::swapSelected(int step)
{
    const int k = view_.selection(List::Current);
    const int other = k + step;
    if (k < 0 || other < 0 || other >= int(current_.size())) {
        view_.message(texts::kSelectFromCurrentToMove);
        return;
    }
    const std::u16string face(current_.at(size_t(k)));
    current_.replace(size_t(k), std::u16string(current_.at(size_t(other))));
    current_.replace(size_t(other), face);
    view_.listChanged(List::Current, Change::Replaced, k);
    view_.listChanged(List::Current, Change::Replaced, other);
    view_.select(List::Current, other); // the moved face stays selected
}

void ListEditorModel::moveUp()
{
    swapSelected(-1);
}

void ListEditorModel::moveDown()
{
    swapSelected(+1);
}

void ListEditorModel::erase()
{
    const int row = view_.selection(List::Pool);
    const std::u16string_view face = row < 0 ? std::u16string_view() : pool_.at(size_t(row));
    if (face.empty()) {
        view_.message(texts::kEraseNothing);
        return;
    }
    if (view_.askYesNo(texts::kEraseQuestion + shortenedForBox(face) + texts::kEraseQuestionEnd)) {
        pool_.remove(size_t(row));
        view_.listChanged(List::Pool, Change::Removed, row);
    }
}

void ListEditorModel::ok()
{
    const auto failure = faces::saveLists({ saveFolder_, pool_, current_, poolRead_, currentRead_ },
        [this] { return view_.askYesNo(texts::kChangedElsewhere); });
    if (failure) {
        // Nothing was replaced; the edits stay here so the person can mend the cause and try again.
        if (!failure->reason.empty())
            view_.message(texts::kCannotSave + (u"\r\n" + faces::displayPath(failure->path)) + u"\r\n" + failure->reason
                + u"\r\n" + texts::kNothingChanged);
        return;
    }
    view_.closeWindow();
    mainWindow_.unload();
    mainWindow_.load();
}

void ListEditorModel::cancel()
{
    view_.closeWindow();
}

void ListEditorModel::importFaces()
{
    view_.message(texts::kImportNotice);
    std::error_code error;
    const faces::Path folder = std::filesystem::current_path(error);
    // From here on any failure ends the import silently, keeping what was appended.
    const faces::Path path
        = view_.chooseFile(std::u16string_view(texts::kImportFilter, std::size(texts::kImportFilter)), folder);
    if (path.empty())
        return;
    const size_t before = pool_.size();
    auto read = faces::readTextFile(path, size_t(faces::kMaxFaces) - before);
    if (!read || read->size() == 0)
        return;
    for (size_t i = 0; i < read->size(); ++i)
        pool_.append(read->at(i));
    view_.listChanged(List::Pool, Change::Appended, int(before));
}

void ListEditorModel::showVersion()
{
    view_.message(texts::kVersionText + faces::fromUtf8(buildinfo::kMakerName) + texts::kVersionEmail
        + faces::fromUtf8(buildinfo::kMakerEmail) + texts::kVersionUrl + faces::fromUtf8(buildinfo::kMakerUrl));
}

void ListEditorModel::tick()
{
    const int k = view_.selection(List::Current);
    view_.enableMoveButtons(k != 0, k != int(current_.size()) - 1);
}

void ListEditorModel::copy(List which)
{
    if (const int row = view_.selection(which); row >= 0)
        view_.setClipboardText(faces::displayText(list(which).at(size_t(row))));
}

} // namespace app
