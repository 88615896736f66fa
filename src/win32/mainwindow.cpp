#include "mainwindow.h"

#include "buildinfo.h"
#include "desktop.h"
#include "dialogs.h"
#include "dragout.h"
#include "ids.h"
#include "listeditor.h"
#include "pasteinto.h"
#include "textcodec.h"

#include <windowsx.h>

namespace {

constexpr wchar_t kSettingApplication[] = L"Nikomaru";
constexpr wchar_t kSettingSection[] = L"Setting";
constexpr wchar_t kSettingKey[] = L"Check";
constexpr wchar_t kSettingOn[] = L"True";
constexpr int kHorizontalExtent = 200;

} // namespace

bool readFaceList(
    FaceListBox& list, const faces::ListFolders& folders, const char* fileName, HWND owner, faces::Digest* digest)
{
    folders.finishInterruptedSaves();
    const faces::Path path = folders.readPath(fileName);
    std::u16string reason;
    auto read = faces::readFaceText(path, &reason, digest);
    if (!read) {
        dialogs::message(
            owner, u"顔文字のリストを読み込めないため、終了します。\r\n" + faces::displayPath(path) + u"\r\n" + reason);
        return false;
    }
    list.addFaces(std::move(*read));
    return true;
}

MainWindow::MainWindow(const faces::ListFolders& folders)
    : folders_(folders)
{
}

MainWindow::~MainWindow() = default;

bool MainWindow::load()
{
    if (exists())
        return true;
    create(L"Nikomaru", { 1590, 4500 });
    // Created in tab order.
    faceList_.attach(addList(kFaceList, L"顔文字", { 0, 0, 1575, 2220 }), scale(kHorizontalExtent * 15));
    enableDragOut(faceList_, GetDlgItem(handle(), kFaceList)); // quicker hands drag a face into another program
    addButton(kCopyButton, L"コピー", { 0, 2280, 1575, 645 }, BS_DEFPUSHBUTTON);
    addButton(kEditButton, L"編集", { 0, 2910, 1575, 645 });
    addButton(kAboutButton, L"About", { 0, 3540, 1575, 645 });
    alwaysOnTopBox_ = addButton(kAlwaysOnTopBox, L"常に手前に表示", { 0, 4260, 1575, 180 }, BS_AUTOCHECKBOX);
    if (!readFaceList(faceList_, folders_, faces::kCurrentFileName, nullptr)) { // no window is shown yet
        failed_ = true;
        destroy();
        return false;
    }
    const bool onTop = desktop::readSetting(kSettingApplication, kSettingSection, kSettingKey) == kSettingOn;
    SendMessageW(alwaysOnTopBox_, BM_SETCHECK, onTop ? BST_CHECKED : BST_UNCHECKED, 0);
    desktop::setAlwaysOnTop(handle(), onTop);
    ShowWindow(handle(), SW_SHOWNORMAL);
    SetFocus(GetDlgItem(handle(), kFaceList));
    return true;
}

void MainWindow::unload()
{
    if (!exists())
        return;
    const bool onTop = SendMessageW(alwaysOnTopBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    desktop::writeSetting(kSettingApplication, kSettingSection, kSettingKey, onTop ? kSettingOn : L"");
    destroy();
}

bool MainWindow::running()
{
    if (editor_ && !editor_->exists())
        editor_.reset();
    if (editor_ && editor_->failed())
        failed_ = true;
    return !failed_ && (exists() || editor_);
}

void MainWindow::copySelectedFace()
{
    const int index = faceList_.selection();
    desktop::setClipboardText(handle(), index < 0 ? std::u16string_view() : faceList_.face(index));
}

void MainWindow::pasteSelectedFace()
{
    const int index = faceList_.selection();
    if (index < 0)
        return;
    copySelectedFace(); // on the clipboard too, to paste again
    pasteinto::typeIntoPrevious(faceList_.face(index));
}

void MainWindow::showFaceMenu(LPARAM at)
{
    const HWND list = GetDlgItem(handle(), kFaceList);
    POINT point { GET_X_LPARAM(at), GET_Y_LPARAM(at) };
    if (point.x == -1 && point.y == -1) { // from the keyboard: at the list
        RECT place {};
        GetWindowRect(list, &place);
        point = { place.left, place.top };
    } else { // the face under the pointer
        POINT inList = point;
        ScreenToClient(list, &inList);
        const LRESULT item = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(inList.x, inList.y));
        if (HIWORD(item) == 0)
            faceList_.select(LOWORD(item));
    }
    if (faceList_.selection() < 0)
        return;
    const HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, kCopyCommand, L"コピー");
    AppendMenuW(menu, MF_STRING, kPasteCommand, L"前のウィンドウに貼り付け\tShift+Enter");
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, handle(), nullptr);
    DestroyMenu(menu);
}

void MainWindow::openEditor()
{
    if (editor_) { // already open: only brought forward, with its unsaved edits
        SetForegroundWindow(editor_->handle());
        return;
    }
    editor_ = std::make_unique<ListEditor>(*this, folders_);
    if (!editor_->load())
        failed_ = true;
}

int MainWindow::defaultButton() const
{
    return kCopyButton; // Enter copies
}

bool MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    switch (message) {
    case kCopyKey:
        copySelectedFace();
        return true;
    case kPasteKey:
        pasteSelectedFace();
        return true;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(handle(), kFaceList))
            showFaceMenu(lParam);
        return true;
    case WM_CLOSE:
        unload();
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kCopyButton:
            copySelectedFace();
            break;
        case kFaceList: // quicker hands: a double-click copies the face too, with Shift it pastes it
            if (HIWORD(wParam) == LBN_DBLCLK)
                GetKeyState(VK_SHIFT) < 0 ? pasteSelectedFace() : copySelectedFace();
            break;
        case kCopyCommand:
            copySelectedFace();
            break;
        case kPasteCommand:
            pasteSelectedFace();
            break;
        case kEditButton:
            openEditor();
            break;
        case kAboutButton:
            dialogs::message(handle(), u"Nikomaru Ver1.02\r\n制作：" + faces::fromUtf8(buildinfo::kMakerName));
            break;
        case kAlwaysOnTopBox:
            desktop::setAlwaysOnTop(handle(), SendMessageW(alwaysOnTopBox_, BM_GETCHECK, 0, 0) == BST_CHECKED);
            break;
        }
        return true; // Escape's IDCANCEL does nothing
    }
    return false;
}
