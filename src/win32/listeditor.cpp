#include "listeditor.h"

#include "desktop.h"
#include "dialogs.h"
#include "ids.h"
#include "texts.h"

namespace {

constexpr UINT_PTR kMoveButtonTimer = 1;

} // namespace

ListEditor::ListEditor(app::MainWindowModel& mainWindow)
    : model_(*this, mainWindow)
{
    create(wide(texts::kEditorTitle), { 5295, 5625 });
    // Created in tab order; the labels never take the focus.
    const int extent = scale(app::kHorizontalExtent * 15);
    currentList_.attach(addList(kCurrentList, wide(texts::kCurrentList), { 0, 330, 1875, 4560 }), extent);
    poolList_.attach(addList(kPoolList, wide(texts::kPoolList), { 3450, 330, 1875, 4560 }), extent);
    addLabel(wide(texts::kCurrentLabel), { 150, 120, 1185, 165 });
    addLabel(wide(texts::kPoolLabel), { 3210, 90, 2115, 195 });
    addButton(kMoveToPoolButton, wide(texts::kMoveToPool), { 1920, 360, 1455, 375 });
    addButton(kMoveToCurrentButton, wide(texts::kMoveToCurrent), { 1920, 900, 1455, 375 });
    addButton(kCreateButton, wide(texts::kCreate), { 1920, 1470, 1455, 375 });
    addButton(kUpButton, wide(texts::kUp), { 1920, 2640, 1455, 375 });
    addButton(kDownButton, wide(texts::kDown), { 1920, 3210, 1455, 375 });
    addButton(kEraseButton, wide(texts::kErase), { 1920, 2040, 1455, 375 });
    addButton(kOkButton, wide(texts::kOk), { 1110, 5130, 1605, 465 });
    addButton(kCancelButton, wide(texts::kCancel), { 2700, 5130, 1605, 465 });
    addButton(kImportButton, wide(texts::kImport), { 1920, 3810, 1455, 375 });
    addButton(kVersionButton, wide(texts::kVersion), { 1890, 4380, 1455, 375 });
    fitFonts();
}

void ListEditor::showWindow()
{
    SetTimer(handle(), kMoveButtonTimer, UINT(app::kMoveButtonInterval.count()), nullptr);
    ShowWindow(handle(), SW_SHOWNORMAL);
    SetFocus(GetDlgItem(handle(), kCurrentList));
}

void ListEditor::message(const std::u16string& text)
{
    dialogs::message(handle(), text);
}

bool ListEditor::askYesNo(const std::u16string& text)
{
    return dialogs::askYesNo(handle(), text);
}

void ListEditor::setClipboardText(std::u16string_view text)
{
    desktop::setClipboardText(handle(), text);
}

void ListEditor::listChanged(List list, app::Change change, int row)
{
    faceList(list).changed(model_.faces(list), change, row);
}

void ListEditor::enableMoveButtons(bool up, bool down)
{
    EnableWindow(GetDlgItem(handle(), kUpButton), up);
    EnableWindow(GetDlgItem(handle(), kDownButton), down);
}

std::optional<std::u16string> ListEditor::askText(const std::u16string& prompt)
{
    return dialogs::input(handle(), prompt);
}

faces::Path ListEditor::chooseFile(std::u16string_view filter, const faces::Path& initialFolder)
{
    return faces::Path(dialogs::openFile(handle(), std::wstring(wide(filter), filter.size()), initialFolder.wstring()));
}

bool ListEditor::onMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT&)
{
    using Model = app::ListEditorModel;
    switch (msg) {
    case WM_TIMER:
        model_.tick();
        return true;
    case kCopyKey:
        model_.copy(reinterpret_cast<HWND>(lParam) == GetDlgItem(handle(), kPoolList) ? List::Pool : List::Current);
        return true;
    case WM_CLOSE:
        destroy();
        return true;
    case WM_COMMAND: {
        static constexpr std::pair<int, void (Model::*)()> kButtons[]
            = { { kMoveToPoolButton, &Model::moveToPool }, { kMoveToCurrentButton, &Model::moveToCurrent },
                  { kCreateButton, &Model::create }, { kUpButton, &Model::moveUp }, { kDownButton, &Model::moveDown },
                  { kEraseButton, &Model::erase }, { kOkButton, &Model::ok }, { kCancelButton, &Model::cancel },
                  { kImportButton, &Model::importFaces }, { kVersionButton, &Model::showVersion } };
        for (const auto& [id, action] : kButtons)
            if (LOWORD(wParam) == id && HIWORD(wParam) == BN_CLICKED)
                (model_.*action)();
        return true; // IDOK and IDCANCEL (Enter on a list, Escape) do nothing
    }
    }
    return false;
}
