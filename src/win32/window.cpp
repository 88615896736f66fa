#include "window.h"

#include "textcodec.h"

#include "pasteinto.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

constexpr wchar_t kClassName[] = L"NikomaruWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr size_t kMaxShown = 512;
constexpr size_t kFirstScreenRows = 64;

// What a row shows of a face: at most its first 512 characters, never half a surrogate pair, and
// bytes the list file kept as they were as U+FFFD.
std::wstring shown(std::u16string_view face)
{
    size_t length = std::min(face.size(), kMaxShown);
    if (length < face.size() && length > 0 && face[length - 1] >= 0xD800 && face[length - 1] <= 0xDBFF)
        --length;
    face = face.substr(0, length);
    if (std::none_of(face.begin(), face.end(), [](char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }))
        return std::wstring(face.begin(), face.end()); // the common case, without a copy to look at
    const std::u16string text = faces::displayText(face);
    return std::wstring(text.begin(), text.end());
}

// The faces that show kana in proportional glyphs (a fixed-width Japanese font crams ASCII and is
// too wide for the layouts): one enumeration, where realizing each candidate font cost wine
// milliseconds apiece at start.
std::vector<std::wstring> japaneseFaces()
{
    std::vector<std::wstring> faces;
    LOGFONTW wanted {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    const HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM found) -> int {
            if (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH) // the bit means variable pitch
                reinterpret_cast<std::vector<std::wstring>*>(found)->push_back(font->lfFaceName);
            return 1;
        },
        LPARAM(&faces), 0);
    ReleaseDC(nullptr, dc);
    return faces;
}

// The system's message font at the DPI; where it cannot show Japanese, a Japanese interface font
// of the same size takes its place.
HFONT chooseMessageFont(UINT dpi)
{
    NONCLIENTMETRICSW metrics { sizeof metrics };
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    LOGFONTW font = metrics.lfMessageFont;
    const std::vector<std::wstring> available = japaneseFaces();
    const auto has = [&](const wchar_t* face) { return std::ranges::find(available, face) != available.end(); };
    if (!has(font.lfFaceName)) {
        for (const wchar_t* face :
            { L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"IPAPGothic", L"Noto Sans CJK JP" }) {
            if (has(face)) {
                lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
                font.lfCharSet = SHIFTJIS_CHARSET;
                break;
            }
        }
    }
    return CreateFontIndirectW(&font);
}

} // namespace

HFONT messageFont(UINT dpi)
{
    // Chosen once per DPI for every window and box.
    static std::map<UINT, HFONT> chosen;
    HFONT& font = chosen[dpi];
    if (!font)
        font = chooseMessageFont(dpi);
    return font;
}

Window::~Window()
{
    destroy();
}

void Window::create(const wchar_t* title, SIZE size)
{
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass { sizeof windowClass };
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hIcon = LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(1));
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    size_ = size;
    dpi_ = GetDpiForSystem();
    // Created at its size for the system's DPI, so that on one screen nothing is moved after.
    RECT frame { 0, 0, scale(size_.cx), scale(size_.cy) };
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT, dpi_);
    frame_ = { frame.right - frame.left, frame.bottom - frame.top };
    CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, title, kStyle, CW_USEDEFAULT, CW_USEDEFAULT, frame_.cx, frame_.cy,
        nullptr, nullptr, GetModuleHandleW(nullptr), this);
    dpi_ = GetDpiForWindow(hwnd_);
    font_ = messageFont(dpi_);
    fitFrame();
}

void Window::destroy()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

HWND Window::addControl(DWORD extended, const wchar_t* kind, const wchar_t* caption, DWORD style, int id, Twips place)
{
    // Placed and given its font as it is made: moving each control again cost wine milliseconds.
    const HWND control = CreateWindowExW(extended, kind, caption, WS_CHILD | WS_VISIBLE | style, scale(place.left),
        scale(place.top), scale(place.width), scale(place.height), hwnd_, reinterpret_cast<HMENU>(INT_PTR(id)),
        GetModuleHandleW(nullptr), nullptr);
    SendMessageW(control, WM_SETFONT, WPARAM(font_), FALSE);
    controls_.push_back({ control, place });
    return control;
}

HWND Window::addButton(int id, const wchar_t* caption, Twips place, DWORD style)
{
    return addControl(0, L"BUTTON", caption, WS_TABSTOP | style, id, place);
}

HWND Window::addLabel(const wchar_t* caption, Twips place)
{
    return addControl(0, L"STATIC", caption, SS_NOPREFIX, 0, place);
}

HWND Window::addList(int id, const wchar_t* name, Twips place)
{
    return addControl(WS_EX_CLIENTEDGE, L"LISTBOX", name,
        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, id, place);
}

void Window::layOut()
{
    font_ = messageFont(dpi_);
    for (const auto& [control, place] : controls_) {
        MoveWindow(control, scale(place.left), scale(place.top), scale(place.width), scale(place.height), TRUE);
        SendMessageW(control, WM_SETFONT, WPARAM(font_), TRUE);
    }
    fitFrame();
}

void Window::fitFrame()
{
    RECT frame { 0, 0, scale(size_.cx), scale(size_.cy) };
    AdjustWindowRectExForDpi(&frame, kStyle, FALSE, WS_EX_CONTROLPARENT, dpi_);
    frame_ = { frame.right - frame.left, frame.bottom - frame.top };
    RECT now {};
    GetWindowRect(hwnd_, &now);
    if (now.right - now.left != frame_.cx || now.bottom - now.top != frame_.cy)
        SetWindowPos(hwnd_, nullptr, 0, 0, frame_.cx, frame_.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    switch (message) {
    case WM_DPICHANGED: {
        self->dpi_ = HIWORD(wParam);
        self->layOut();
        const RECT* suggested = reinterpret_cast<RECT*>(lParam);
        SetWindowPos(hwnd, nullptr, suggested->left, suggested->top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    case DM_GETDEFID: { // Enter presses the focused button, else the window's default one
        const HWND focus = GetFocus();
        const bool button
            = focus && (SendMessageW(focus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
        const int id = button ? GetDlgCtrlID(focus) : self->defaultButton();
        return id ? MAKELRESULT(id, DC_HASDEFID) : 0;
    }
    case WM_ACTIVATE: // the control that had the focus gets it back, as in a dialog
        (LOWORD(wParam) == WA_INACTIVE ? pasteinto::left : pasteinto::activated)(reinterpret_cast<HWND>(lParam));
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            self->focus_ = focus && IsChild(hwnd, focus) ? focus : self->focus_;
        } else if (!HIWORD(wParam)) {
            SetFocus(self->focus_ && IsWindow(self->focus_) ? self->focus_ : GetNextDlgTabItem(hwnd, nullptr, FALSE));
        }
        return 0;
    case WM_GETMINMAXINFO: // narrower than the system's smallest captioned window, as laid out
        if (self->frame_.cx > 0) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = limits->ptMaxTrackSize = { self->frame_.cx, self->frame_.cy };
        }
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->controls_.clear();
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (self->onMessage(message, wParam, lParam, result))
        return result;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void FaceListBox::attach(HWND list, int horizontalExtent)
{
    list_ = list;
    faces_ = &kNoFaces;
    shown_ = 0;
    rescale(horizontalExtent);
}

void FaceListBox::rescale(int horizontalExtent)
{
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, WPARAM(horizontalExtent), 0);
}

void FaceListBox::showRest()
{
    if (shown_ >= faces_->size())
        return;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list_, LB_INITSTORAGE, WPARAM(faces_->size() - shown_), LPARAM((faces_->size() - shown_) * 16));
    for (; shown_ < faces_->size(); ++shown_)
        SendMessageW(list_, LB_ADDSTRING, 0, LPARAM(shown(faces_->at(shown_)).c_str()));
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void FaceListBox::changed(const faces::FaceText& faces, app::Change change, int row)
{
    switch (change) {
    case app::Change::Reset:
        faces_ = &faces;
        shown_ = 0;
        SendMessageW(list_, LB_RESETCONTENT, 0, 0);
        if (faces_->size() <= kFirstScreenRows)
            break;
        // A long list shows as soon as a short one: the rows a first screen shows now, the others
        // on a timer, which the system delivers only when no other message, painting included, waits.
        for (; shown_ < kFirstScreenRows; ++shown_)
            SendMessageW(list_, LB_ADDSTRING, 0, LPARAM(shown(faces_->at(shown_)).c_str()));
        SetTimer(GetParent(list_), reinterpret_cast<UINT_PTR>(this), USER_TIMER_MINIMUM,
            [](HWND window, UINT, UINT_PTR self, DWORD) {
                KillTimer(window, self);
                reinterpret_cast<FaceListBox*>(self)->showRest();
            });
        return;
    case app::Change::Appended:
        break;
    case app::Change::Removed:
        if (size_t(row) < shown_) {
            SendMessageW(list_, LB_DELETESTRING, WPARAM(row), 0);
            --shown_;
        }
        select(-1);
        break;
    case app::Change::Replaced: {
        showRest();
        const int selected = selection();
        SendMessageW(list_, LB_DELETESTRING, WPARAM(row), 0);
        SendMessageW(list_, LB_INSERTSTRING, WPARAM(row), LPARAM(shown(faces_->at(size_t(row))).c_str()));
        select(selected);
        break;
    }
    }
    showRest();
}

void FaceListBox::clear()
{
    faces_ = &kNoFaces;
    shown_ = 0;
    SendMessageW(list_, LB_RESETCONTENT, 0, 0);
}

int FaceListBox::selection() const
{
    return int(SendMessageW(list_, LB_GETCURSEL, 0, 0));
}

void FaceListBox::select(int index)
{
    showRest();
    SendMessageW(list_, LB_SETCURSEL, WPARAM(index), 0);
}
