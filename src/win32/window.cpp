#include "window.h"

#include "fontfit.h"
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

// A Japanese face as the system lists it, and whether its glyphs are proportional.
struct JapaneseFace {
    std::wstring name;
    bool proportional;
};

// The faces that have Japanese, all of them or those of one name (English or localized: the
// system lists them by the localized one in a Japanese locale). All of them took wine 20 ms with
// the Noto CJK families installed, one name well under one.
std::vector<JapaneseFace> japaneseFaces(const wchar_t* name = L"")
{
    std::vector<JapaneseFace> faces;
    LOGFONTW wanted {};
    wanted.lfCharSet = SHIFTJIS_CHARSET;
    lstrcpynW(wanted.lfFaceName, name, LF_FACESIZE);
    const HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(
        dc, &wanted,
        [](const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM found) -> int {
            if (font->lfFaceName[0] != L'@') // the vertical-writing twins
                reinterpret_cast<std::vector<JapaneseFace>*>(found)->push_back(
                    { font->lfFaceName, (metrics->tmPitchAndFamily & TMPF_FIXED_PITCH) != 0 }); // set: variable
            return 1;
        },
        LPARAM(&faces), 0);
    ReleaseDC(nullptr, dc);
    return faces;
}

// The faces worth trying, best first: the system's message font where it is Japanese, then the
// Japanese interface faces of Windows and of the free font sets, asked for by name; where none is
// installed, whatever Japanese face there is, proportional ones first. A fixed-width face crams
// ASCII faces such as (^_^) and is too wide for the layouts.
std::vector<std::wstring> candidateFaces(const LOGFONTW& messageFont)
{
    static constexpr const wchar_t* kPreferred[] = { L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic", L"IPAPGothic",
        L"IPAexGothic", L"Noto Sans CJK JP", L"Source Han Sans JP" };
    std::vector<std::wstring> faces;
    const auto add = [&](const std::vector<JapaneseFace>& found, bool proportionalOnly) {
        for (const JapaneseFace& face : found)
            if ((face.proportional || !proportionalOnly) && std::ranges::find(faces, face.name) == faces.end())
                faces.push_back(face.name);
    };
    add(japaneseFaces(messageFont.lfFaceName), true);
    for (const wchar_t* name : kPreferred)
        add(japaneseFaces(name), true);
    if (faces.empty()) {
        const std::vector<JapaneseFace> available = japaneseFaces();
        add(available, true);
        add(available, false);
    }
    if (faces.empty()) // no Japanese face at all: the system's, to show what it can
        faces.push_back(messageFont.lfFaceName);
    return faces;
}

// A face at an em height in pixels, made once for the run.
HFONT fontOf(const LOGFONTW& like, const std::wstring& face, int em)
{
    static std::map<std::pair<std::wstring, int>, HFONT> made;
    HFONT& font = made[{ face, em }];
    if (!font) {
        LOGFONTW wanted = like;
        wanted.lfHeight = -em;
        wanted.lfWidth = 0;
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
        font = CreateFontIndirectW(&wanted);
    }
    return font;
}

// A caption's width and its line's height in the font.
app::TextSize measure(HDC dc, HFONT font, std::u16string_view text)
{
    SelectObject(dc, font);
    TEXTMETRICW metrics {};
    GetTextMetricsW(dc, &metrics);
    RECT size {};
    DrawTextW(dc, wide(text), int(text.size()), &size, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    return { int(size.right), int(std::max<LONG>(size.bottom, metrics.tmHeight)) };
}

// The fonts of a window and of each of its controls, chosen once for each window and DPI (the
// captions never change), again when the system's fonts change.
struct Choice {
    HFONT window;
    std::vector<HFONT> controls;
};
std::map<std::pair<std::wstring, UINT>, Choice> chosenFonts;

} // namespace

void Window::fitFonts()
{
    auto [at, isNew] = chosenFonts.try_emplace({ title_, dpi_ });
    Choice& choice = at->second;
    if (isNew) {
        NONCLIENTMETRICSW metrics { sizeof metrics };
        SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
        const LOGFONTW& like = metrics.lfMessageFont;
        const int em = std::abs(like.lfHeight);
        // What each caption has room for: its control within the client area, less a button's
        // edges and focus frame, or a check box's box and gap.
        const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi_);
        std::vector<std::wstring> texts;
        texts.reserve(controls_.size()); // the captions look into them
        std::vector<app::Caption> captions;
        for (const auto& [control, place, kind] : controls_) {
            const int right = std::min<int>(place.left + place.width, size_.cx);
            SIZE room { scale(right) - scale(place.left), scale(place.height) };
            if (kind == Kind::Button)
                room = { room.cx - 4 * edge, room.cy - 2 * edge };
            else if (kind == Kind::CheckBox)
                room.cx -= GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi_) + edge;
            std::wstring& text = texts.emplace_back(size_t(GetWindowTextLengthW(control)), L'\0');
            GetWindowTextW(control, text.data(), int(text.size()) + 1);
            captions.push_back({ kind == Kind::List ? u"" : u16(text), int(kind), int(room.cx), int(room.cy) });
        }
        const std::vector<std::wstring> faces = candidateFaces(like);
        const HDC dc = CreateCompatibleDC(nullptr);
        const HGDIOBJ original = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
        const app::FontChoice fit = app::chooseFonts(faces.size(), em, MulDiv(6, int(dpi_), USER_DEFAULT_SCREEN_DPI),
            captions, [&](size_t face, int size, std::u16string_view text) {
                return measure(dc, fontOf(like, faces[face], size), text);
            });
        SelectObject(dc, original);
        DeleteDC(dc);
        choice.window = fontOf(like, faces[fit.face], em);
        for (const int size : fit.ems)
            choice.controls.push_back(fontOf(like, faces[fit.face], size));
    }
    font_ = choice.window;
    for (size_t i = 0; i < controls_.size(); ++i)
        SendMessageW(controls_[i].control, WM_SETFONT, WPARAM(choice.controls[i]), FALSE);
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
    title_ = title;
    dpi_ = GetDpiForWindow(hwnd_);
    fitFrame();
}

void Window::destroy()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
}

HWND Window::addControl(
    Kind kind, DWORD extended, const wchar_t* className, const wchar_t* caption, DWORD style, int id, Twips place)
{
    // Placed as it is made: moving each control again cost wine milliseconds.
    const HWND control = CreateWindowExW(extended, className, caption, WS_CHILD | WS_VISIBLE | style, scale(place.left),
        scale(place.top), scale(place.width), scale(place.height), hwnd_, reinterpret_cast<HMENU>(INT_PTR(id)),
        GetModuleHandleW(nullptr), nullptr);
    controls_.push_back({ control, place, kind });
    return control;
}

HWND Window::addButton(int id, const wchar_t* caption, Twips place, DWORD style)
{
    return addControl((style & BS_TYPEMASK) == BS_AUTOCHECKBOX ? Kind::CheckBox : Kind::Button, 0, L"BUTTON", caption,
        WS_TABSTOP | style, id, place);
}

HWND Window::addLabel(const wchar_t* caption, Twips place)
{
    return addControl(Kind::Label, 0, L"STATIC", caption, SS_NOPREFIX, 0, place);
}

HWND Window::addList(int id, const wchar_t* name, Twips place)
{
    return addControl(Kind::List, WS_EX_CLIENTEDGE, L"LISTBOX", name,
        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, id, place);
}

void Window::layOut()
{
    fitFonts();
    for (const auto& [control, place, kind] : controls_)
        MoveWindow(control, scale(place.left), scale(place.top), scale(place.width), scale(place.height), FALSE);
    fitFrame();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
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
    case WM_SETTINGCHANGE: // the system's interface font or its size may have changed
        if (wParam == SPI_SETNONCLIENTMETRICS) {
            chosenFonts.clear();
            self->layOut();
        }
        break;
    case WM_GETFONT: // the window's own boxes take its face
        return LRESULT(self->font_);
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
