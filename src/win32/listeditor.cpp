#include "listeditor.h"

#include "buildinfo.h"
#include "desktop.h"
#include "dialogs.h"
#include "ids.h"
#include "mainwindow.h"
#include "textcodec.h"

namespace {

constexpr int kHorizontalExtent = 200;
constexpr UINT_PTR kMoveButtonTimer = 1;

constexpr char16_t kSelectFromCurrent[] = u"「只今のリスト」から、顔文字を選択してください";
constexpr char16_t kSelectFromPool[] = u"「リストに追加できる顔文字」から、顔文字を選択してください";
constexpr char16_t kSelectFromCurrentToMove[] = u"「只今のリスト」から、顔文字を選択してください。";
constexpr char16_t kChangedElsewhere[]
    = u"この画面を開いた後に、顔文字のリストがほかで変更されています。\r\n上書きして保存してよろしいですか？";

std::u16string number(int n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

} // namespace

ListEditor::ListEditor(MainWindow& mainWindow, const faces::ListFolders& folders)
    : mainWindow_(mainWindow)
    , folders_(folders)
{
    create(L"Nikomaru リスト編集", { 5295, 5625 });
    // Created in tab order; the labels never take the focus.
    currentList_.attach(addList(kCurrentList, L"只今のリスト", { 0, 330, 1875, 4560 }), scale(kHorizontalExtent * 15));
    poolList_.attach(
        addList(kPoolList, L"リストに追加できる顔文字", { 3450, 330, 1875, 4560 }), scale(kHorizontalExtent * 15));
    addLabel(L"只今のリスト：", { 150, 120, 1185, 165 });
    addLabel(L"リストに追加できる顔文字：", { 3210, 90, 2115, 195 });
    addButton(kMoveToPoolButton, L"削除>>", { 1920, 360, 1455, 375 });
    addButton(kMoveToCurrentButton, L"<<追加", { 1920, 900, 1455, 375 });
    addButton(kCreateButton, L"新しく作る", { 1920, 1470, 1455, 375 });
    addButton(kUpButton, L"上に", { 1920, 2640, 1455, 375 });
    addButton(kDownButton, L"下に", { 1920, 3210, 1455, 375 });
    addButton(kEraseButton, L"リストから抹消", { 1920, 2040, 1455, 375 });
    addButton(kOkButton, L"OK", { 1110, 5130, 1605, 465 });
    addButton(kCancelButton, L"キャンセル", { 2700, 5130, 1605, 465 });
    addButton(kImportButton, L"インポート", { 1920, 3810, 1455, 375 });
    addButton(kVersionButton, L"バージョン情報", { 1890, 4380, 1455, 375 });
}

bool ListEditor::load()
{
    saveFolder_ = folders_.saveFolder();
    // Not shown yet: a failure belongs to the main window, which may be kept on top.
    if (!readFaceList(poolList_, folders_, faces::kPoolFileName, mainWindow_.handle(), &poolDigest_)
        || !readFaceList(currentList_, folders_, faces::kCurrentFileName, mainWindow_.handle(), &currentDigest_)) {
        failed_ = true;
        destroy();
        return false;
    }
    // A list saved elsewhere than it was read from replaces what is there now.
    for (const auto& [name, digest] :
        { std::pair { faces::kPoolFileName, &poolDigest_ }, std::pair { faces::kCurrentFileName, &currentDigest_ } }) {
        const faces::Path target = faces::faceFilePath(saveFolder_, name);
        if (folders_.readPath(name) != target)
            *digest = faces::fileDigest(target);
    }
    // Polled, as the selection may change by mouse, keyboard or any of the operations.
    SetTimer(handle(), kMoveButtonTimer, 10, nullptr);
    ShowWindow(handle(), SW_SHOWNORMAL);
    SetFocus(GetDlgItem(handle(), kCurrentList));
    return true;
}

void ListEditor::message(const std::u16string& text)
{
    dialogs::message(handle(), text);
}

bool ListEditor::hasRoom(const FaceListBox& list)
{
    if (list.count() < faces::kMaxFaces)
        return true;
    message(u"リストがいっぱいのため、これ以上追加できません。\r\n一つのリストに入れられる顔文字は "
        + number(faces::kMaxFaces) + u" 個までです。");
    return false;
}

void ListEditor::moveSelected(FaceListBox& from, FaceListBox& to, const char16_t* noSelectionMessage)
{
    const int row = from.selection();
    if (row < 0) {
        message(noSelectionMessage);
        return;
    }
    if (!hasRoom(to))
        return;
    to.add(from.face(row));
    from.remove(row);
}

void ListEditor::swapSelected(int step)
{
    const int k = currentList_.selection();
    const int other = k + step;
    if (k < 0 || other < 0 || other >= currentList_.count()) {
        message(kSelectFromCurrentToMove);
        return;
    }
    const std::u16string face(currentList_.face(k));
    currentList_.set(k, std::u16string(currentList_.face(other)));
    currentList_.set(other, face);
    currentList_.select(other);
}

void ListEditor::createFace()
{
    std::optional<std::u16string> face = dialogs::input(handle(), u"顔文字を入力してください");
    if (!face)
        return; // Cancel adds nothing
    // A face is one line: pasted line breaks must not split it when the list is written.
    std::erase(*face, u'\r');
    std::erase(*face, u'\n');
    if (hasRoom(poolList_))
        poolList_.add(*face);
}

void ListEditor::eraseFromPool()
{
    const int row = poolList_.selection();
    const std::u16string face(row < 0 ? std::u16string_view() : poolList_.face(row));
    if (face.empty()) {
        message(u"「リストに追加できる顔文字」から、顔文字を選択してください。\r\n"
                u"「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。");
        return;
    }
    if (dialogs::askYesNo(handle(), u"顔文字「" + face + u"」をリストから抹消してよろしいですか？"))
        poolList_.remove(row);
}

bool ListEditor::save()
{
    const auto failure
        = faces::saveLists({ saveFolder_, poolList_.faces(), currentList_.faces(), poolDigest_, currentDigest_ },
            [this] { return dialogs::askYesNo(handle(), kChangedElsewhere); });
    if (failure && !failure->reason.empty()) {
        // Nothing was replaced; the edits stay here so the user can fix the cause and try again.
        message(u"顔文字のリストを保存できませんでした。\r\n" + faces::displayPath(failure->path) + u"\r\n"
            + failure->reason + u"\r\nどちらのファイルも変更していません。");
    }
    return !failure;
}

void ListEditor::commit()
{
    if (!save())
        return;
    destroy();
    mainWindow_.unload();
    mainWindow_.load();
}

void ListEditor::importFaces()
{
    message(u"「リストに追加できる顔文字」にインポートします。");
    // Description and pattern pairs, each ended by a NUL, and the literal's own NUL at the end.
    static constexpr wchar_t kFilter[] = L"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0";
    const std::wstring filter(kFilter, std::size(kFilter));
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetCurrentDirectoryW(DWORD(folder.size()), folder.data()));
    // From here on any failure ends the import silently, keeping what was appended.
    const std::wstring path = dialogs::openFile(handle(), filter, folder);
    if (path.empty())
        return;
    if (auto faces = faces::readTextFile(faces::Path(path), size_t(faces::kMaxFaces - poolList_.count())))
        poolList_.addFaces(std::move(*faces));
}

void ListEditor::updateMoveButtons()
{
    const int k = currentList_.selection();
    EnableWindow(GetDlgItem(handle(), kUpButton), k != 0);
    EnableWindow(GetDlgItem(handle(), kDownButton), k != currentList_.count() - 1);
}

bool ListEditor::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    switch (msg) {
    case WM_TIMER:
        updateMoveButtons();
        return true;
    case kCopyKey: {
        FaceListBox& list
            = reinterpret_cast<HWND>(lParam) == GetDlgItem(handle(), kPoolList) ? poolList_ : currentList_;
        if (list.selection() >= 0)
            desktop::setClipboardText(handle(), list.face(list.selection()));
        return true;
    }
    case WM_CLOSE:
        destroy();
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kMoveToPoolButton:
            moveSelected(currentList_, poolList_, kSelectFromCurrent);
            break;
        case kMoveToCurrentButton:
            moveSelected(poolList_, currentList_, kSelectFromPool);
            break;
        case kCreateButton:
            createFace();
            break;
        case kUpButton:
            swapSelected(-1);
            break;
        case kDownButton:
            swapSelected(+1);
            break;
        case kEraseButton:
            eraseFromPool();
            break;
        case kOkButton:
            commit();
            break;
        case kCancelButton:
            destroy();
            break;
        case kImportButton:
            importFaces();
            break;
        case kVersionButton:
            message(u"Nikomaru Ver1.10\r\n制作：" + faces::fromUtf8(buildinfo::kMakerName) + u"\r\nE-Mail："
                + faces::fromUtf8(buildinfo::kMakerEmail) + u"\r\nURL：" + faces::fromUtf8(buildinfo::kMakerUrl));
            break;
        }
        return true; // IDOK and IDCANCEL (Enter on a list, Escape) do nothing
    }
    return false;
}
