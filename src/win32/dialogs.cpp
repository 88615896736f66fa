#include "dialogs.h"

#include "texts.h"
#include "window.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace dialogs {
namespace {

const wchar_t* const kTitle = wide(texts::kApplicationTitle);
constexpr int kEditId = 100;
constexpr int kPromptId = 101;

constexpr int kMessageBoxTextId = 0xFFFF;

// A message box in its owner's face, which shows Japanese and faces such as (^_^) whole whatever
// the system's message font is: the text's room, and the box, grow where that face needs more.
void showInOwnersFace(HWND box)
{
    const auto font = reinterpret_cast<HFONT>(SendMessageW(GetWindow(box, GW_OWNER), WM_GETFONT, 0, 0));
    const HWND text = GetDlgItem(box, kMessageBoxTextId);
    if (!font || !text)
        return; // no window of ours yet: the system's font
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageW(child, WM_SETFONT, WPARAM(font), FALSE);
    std::wstring said(size_t(GetWindowTextLengthW(text)) + 1, L'\0');
    said.resize(size_t(GetWindowTextW(text, said.data(), int(said.size()))));
    const HDC dc = GetDC(text);
    const HGDIOBJ original = SelectObject(dc, font);
    RECT needed {}, room {};
    DrawTextW(dc, said.c_str(), int(said.size()), &needed, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, original);
    ReleaseDC(text, dc);
    GetClientRect(text, &room);
    const int wider = std::max(0, int(needed.right - room.right)),
              taller = std::max(0, int(needed.bottom - room.bottom));
    if (!wider && !taller)
        return;
    // The text grows right and down, the buttons move down and stay centred, the box stays centred.
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT place {};
        GetWindowRect(child, &place);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&place), 2);
        if (child == text)
            SetWindowPos(child, nullptr, 0, 0, room.right + wider, room.bottom + taller, SWP_NOMOVE | SWP_NOZORDER);
        else
            SetWindowPos(child, nullptr, place.left + wider / 2, place.top + taller, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    }
    RECT frame {};
    GetWindowRect(box, &frame);
    SetWindowPos(box, nullptr, frame.left - wider / 2, frame.top - taller / 2, frame.right - frame.left + wider,
        frame.bottom - frame.top + taller, SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system labels a message box's buttons in its own language: the box is relabelled, and put
// in its owner's face, as it is activated, before it is drawn.
HHOOK relabelHook = nullptr;

LRESULT CALLBACK relabel(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const auto box = reinterpret_cast<HWND>(wParam);
        showInOwnersFace(box);
        SetDlgItemTextW(box, IDOK, wide(texts::kOk));
        SetDlgItemTextW(box, IDYES, wide(texts::kYes));
        SetDlgItemTextW(box, IDNO, wide(texts::kNo));
        UnhookWindowsHookEx(relabelHook);
        relabelHook = nullptr;
    }
    return code < 0 ? CallNextHookEx(nullptr, code, wParam, lParam) : 0;
}

int show(HWND owner, const std::u16string& text, UINT buttons)
{
    relabelHook = SetWindowsHookExW(WH_CBT, relabel, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(owner, wide(text), kTitle, buttons | MB_SETFOREGROUND);
    if (relabelHook)
        UnhookWindowsHookEx(relabelHook);
    relabelHook = nullptr;
    return answer;
}

// A dialog template in memory: the items follow the header, each aligned to a DWORD.
class Template {
public:
    Template(short width, short height, int items)
    {
        DLGTEMPLATE header {};
        header.style = DS_MODALFRAME | DS_SHELLFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
        header.cdit = WORD(items);
        header.cx = width;
        header.cy = height;
        append(&header, sizeof header);
        words({ 0, 0 }); // no menu, the standard class
        text(kTitle);
        words({ 9 }); // the shell font; replaced by the owner's once shown
        text(L"MS Shell Dlg");
    }
    void item(WORD id, WORD kind, DWORD style, short x, short y, short cx, short cy, const wchar_t* caption)
    {
        align();
        DLGITEMTEMPLATE item {};
        item.style = style | WS_CHILD | WS_VISIBLE;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        append(&item, sizeof item);
        words({ 0xFFFF, kind });
        text(caption);
        words({ 0 }); // no creation data
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(data_.data()); }

private:
    void append(const void* bytes, size_t size)
    {
        const size_t at = data_.size();
        data_.resize(at + (size + 1) / 2);
        std::memcpy(data_.data() + at, bytes, size);
    }
    void words(std::initializer_list<WORD> values) { data_.insert(data_.end(), values); }
    void text(const wchar_t* value) { append(value, (wcslen(value) + 1) * sizeof(wchar_t)); }
    void align()
    {
        if (data_.size() % 2 != 0)
            data_.push_back(0);
    }
    std::vector<WORD> data_;
};

struct InputState {
    const std::u16string* prompt;
    std::u16string typed;
};

INT_PTR CALLBACK inputProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* state = reinterpret_cast<InputState*>(GetWindowLongPtrW(box, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        SetWindowLongPtrW(box, DWLP_USER, lParam);
        state = reinterpret_cast<InputState*>(lParam);
        SetDlgItemTextW(box, kPromptId, wide(*state->prompt));
        // In the owner's face, which shows Japanese whatever the system's message font is.
        const HFONT font = reinterpret_cast<HFONT>(SendMessageW(GetParent(box), WM_GETFONT, 0, 0));
        if (font)
            EnumChildWindows(
                box, [](HWND child, LPARAM font) { return SendMessageW(child, WM_SETFONT, WPARAM(font), TRUE), TRUE; },
                LPARAM(font));
        return TRUE; // the focus goes to the first control that takes it: the field
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            const HWND field = GetDlgItem(box, kEditId);
            std::wstring text(size_t(GetWindowTextLengthW(field)) + 1, L'\0');
            text.resize(size_t(GetWindowTextW(field, text.data(), int(text.size()))));
            state->typed = std::u16string(u16(text));
            EndDialog(box, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(box, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

void message(HWND owner, const std::u16string& text)
{
    show(owner, text, MB_OK);
}

bool askYesNo(HWND owner, const std::u16string& text)
{
    return show(owner, text, MB_YESNO) == IDYES;
}

std::optional<std::u16string> input(HWND owner, const std::u16string& prompt)
{
    // As the classic input box: the prompt on the left, OK and キャンセル on the right, the field
    // along the bottom.
    // The field comes first, so that it has the focus and leads the tab order.
    Template form(246, 82, 4);
    form.item(kEditId, 0x0081, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 7, 61, 232, 13, L"");
    form.item(IDOK, 0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 185, 7, 54, 14, wide(texts::kOk));
    form.item(IDCANCEL, 0x0080, BS_PUSHBUTTON | WS_TABSTOP, 185, 25, 54, 14, wide(texts::kCancel));
    form.item(kPromptId, 0x0082, SS_NOPREFIX | SS_EDITCONTROL, 7, 7, 170, 48, L"");
    InputState state { &prompt, {} };
    if (DialogBoxIndirectParamW(GetModuleHandleW(nullptr), form.get(), owner, inputProcedure, LPARAM(&state)) != IDOK)
        return std::nullopt;
    return state.typed;
}

std::wstring openFile(HWND owner, const std::wstring& filter, const std::wstring& initialFolder)
{
    std::wstring file(32768, L'\0');
    OPENFILENAMEW record { sizeof record };
    record.hwndOwner = owner;
    record.lpstrFilter = filter.c_str();
    record.nFilterIndex = 1;
    record.lpstrFile = file.data();
    record.nMaxFile = DWORD(file.size());
    record.lpstrInitialDir = initialFolder.c_str();
    record.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    // Loaded when first needed, so that starting the program does not wait for it.
    using Open = BOOL(WINAPI*)(OPENFILENAMEW*);
    static const auto open = reinterpret_cast<Open>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"comdlg32.dll"), "GetOpenFileNameW")));
    if (!open || !open(&record))
        return {};
    file.resize(wcslen(file.c_str()));
    return file;
}

} // namespace dialogs
