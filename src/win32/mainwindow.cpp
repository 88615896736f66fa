#include "mainwindow.h"

#include "dialogs.h"
#include "dragout.h"
#include "ids.h"
#include "listeditor.h"
#include "pasteinto.h"
#include "texts.h"

#include <windowsx.h>

MainWindow::MainWindow(const faces::ListFolders& folders)
    : model_(*this, folders, settings_)
{
}

MainWindow::~MainWindow() = default;

void MainWindow::createWindow()
{
    destroy();
    create(wide(texts::kApplicationTitle), { 1590, 4500 });
    // Created in tab order.
    faceList_.attach(
        addList(kFaceList, wide(texts::kFaceList), { 0, 0, 1575, 2220 }), scale(app::kHorizontalExtent * 15));
    enableDragOut(faceList_, GetDlgItem(handle(), kFaceList)); // quicker hands drag a face into another program
    addButton(kCopyButton, wide(texts::kCopy), { 0, 2280, 1575, 645 }, BS_DEFPUSHBUTTON);
    addButton(kEditButton, wide(texts::kEdit), { 0, 2910, 1575, 645 });
    addButton(kAboutButton, wide(texts::kAbout), { 0, 3540, 1575, 645 });
    alwaysOnTopBox_ = addButton(kAlwaysOnTopBox, wide(texts::kAlwaysOnTop), { 0, 4260, 1575, 180 }, BS_AUTOCHECKBOX);
    fitFonts();
}

void MainWindow::showWindow()
{
    ShowWindow(handle(), SW_SHOWNORMAL);
    SetFocus(GetDlgItem(handle(), kFaceList));
}

bool MainWindow::running()
{
    if (editor_ && !editor_->exists())
        editor_.reset();
    return !failed_ && (exists() || editor_);
}

void MainWindow::message(const std::u16string& text)
{
    // Before the window is shown (a list that cannot be read at start) the box stands alone.
    dialogs::message(IsWindowVisible(handle()) ? handle() : nullptr, text);
}

bool MainWindow::askYesNo(const std::u16string& text)
{
    return dialogs::askYesNo(handle(), text);
}

void MainWindow::setClipboardText(std::u16string_view text)
{
    desktop::setClipboardText(handle(), text);
}

void MainWindow::setChecked(bool checked)
{
    SendMessageW(alwaysOnTopBox_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool MainWindow::isChecked() const
{
    return SendMessageW(alwaysOnTopBox_, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setAlwaysOnTop(bool on)
{
    desktop::setAlwaysOnTop(handle(), on);
}

void MainWindow::pasteIntoPrevious(std::u16string_view text)
{
    pasteinto::typeIntoPrevious(text);
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
    AppendMenuW(menu, MF_STRING, kCopyCommand, wide(texts::kCopy));
    AppendMenuW(
        menu, MF_STRING, kPasteCommand, (wide(texts::kPasteIntoPrevious) + std::wstring(L"\tShift+Enter")).c_str());
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, point.x, point.y, 0, handle(), nullptr);
    DestroyMenu(menu);
}

void MainWindow::openEditor()
{
    editor_ = std::make_unique<ListEditor>(model_);
    editor_->load();
}

bool MainWindow::isEditorOpen() const
{
    return editor_ && editor_->exists();
}

void MainWindow::raiseEditor()
{
    SetForegroundWindow(editor_->handle());
}

int MainWindow::defaultButton() const
{
    return kCopyButton; // Enter copies
}

bool MainWindow::onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    switch (message) {
    case kCopyKey:
        model_.copy();
        return true;
    case kPasteKey:
        model_.pasteIntoPrevious();
        return true;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(handle(), kFaceList))
            showFaceMenu(lParam);
        return true;
    case WM_CLOSE:
        model_.unload();
        return true;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kCopyButton:
        case kCopyCommand:
            model_.copy();
            break;
        case kFaceList: // quicker hands: a double-click copies the face too, with Shift it pastes it
            if (HIWORD(wParam) == LBN_DBLCLK)
                GetKeyState(VK_SHIFT) < 0 ? model_.pasteIntoPrevious() : model_.copy();
            break;
        case kPasteCommand:
            model_.pasteIntoPrevious();
            break;
        case kEditButton:
            model_.edit();
            break;
        case kAboutButton:
            model_.showAbout();
            break;
        case kAlwaysOnTopBox:
            model_.alwaysOnTopClicked();
            break;
        }
        return true; // Escape's IDCANCEL does nothing
    }
    return false;
}
