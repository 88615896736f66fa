// Whether what a person sees of the Windows program is whole in the fonts, locale and DPI of this
// wine prefix: every caption fits its control, every list row holds its font's line, and every
// caption, a question's and the input box's included, is in a font with kana of its own (not
// only through the system's font links). The windows run in this process, so that their fonts
// can be measured; a second thread drives and measures them.
// Usage: fit FOLDER [--shots]   (--shots: "<name>.ready" in FOLDER holds the X window of each
// window until it is taken away, for a screenshot)
#include "driver.h"
#include "mainwindow.h"
#include "textcodec.h"

#include <commctrl.h>

#include <thread>

using namespace driver;

namespace {

std::wstring argument;

void measure(HWND window, const std::wstring& name)
{
    const UINT dpi = GetDpiForWindow(window);
    const int edge = GetSystemMetricsForDpi(SM_CXEDGE, dpi);
    RECT client {};
    GetClientRect(window, &client);
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t kind[16] = {};
        GetClassNameW(child, kind, 16);
        const HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics {};
        GetTextMetricsW(dc, &metrics);
        wchar_t face[LF_FACESIZE] = {};
        GetTextFaceW(dc, LF_FACESIZE, face);
        WORD glyphs[4] = {};
        const bool kana = GetGlyphIndicesW(dc, L"はいアー", 4, glyphs, GGI_MARK_NONEXISTING_GLYPHS) == 4
            && std::ranges::find(glyphs, WORD(0xFFFF)) == std::end(glyphs);
        // The room a caption is drawn in: within the window, less a button's edges and focus
        // frame or a check box's box. Buttons draw one line; labels and a box's text wrap.
        RECT room {};
        GetWindowRect(child, &room);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&room), 2);
        IntersectRect(&room, &room, &client);
        const bool label = lstrcmpiW(kind, L"Static") == 0;
        if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX && !label)
            room.left += GetSystemMetricsForDpi(SM_CXMENUCHECK, dpi) + edge;
        else if (!label)
            InflateRect(&room, -2 * edge, -edge);
        const std::wstring caption = text(child);
        RECT needed { 0, 0, room.right - room.left, 0 };
        DrawTextW(dc, caption.c_str(), -1, &needed, DT_CALCRECT | DT_NOPREFIX | (label ? DT_WORDBREAK : DT_SINGLELINE));
        needed.bottom = std::max(needed.bottom, metrics.tmHeight);
        const std::wstring what = name + L": " + caption + L" in " + face + L", " + std::to_wstring(needed.right) + L"x"
            + std::to_wstring(needed.bottom) + L" in " + std::to_wstring(room.right - room.left) + L"x"
            + std::to_wstring(room.bottom - room.top) + L", line " + std::to_wstring(metrics.tmHeight);
        if (lstrcmpiW(kind, L"ListBox") == 0)
            check(LONG(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0)) >= metrics.tmHeight,
                faces::toUtf8(u16(what + L": rows hold it")).c_str());
        else if (!caption.empty())
            check(needed.right <= room.right - room.left && needed.bottom <= room.bottom - room.top && kana,
                faces::toUtf8(u16(what + L": whole, with kana")).c_str());
        DeleteDC(dc);
    }
    if (argument == L"--shots") {
        const faces::Path ready = folder / (name + L".ready");
        std::ofstream(ready) << reinterpret_cast<UINT_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
        eventually([&] { return !std::filesystem::exists(ready); });
    }
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2)
        return 2;
    folder = argv[1];
    argument = argc > 2 ? argv[2] : L"";
    std::ofstream(folder / "kaolist2.txt", std::ios::binary) << "(^_^)\r\nm(_ _)m\r\n\x82\xA0\r\n"; // あ
    std::ofstream(folder / "kaolist1.txt", std::ios::binary) << "(^_^;)\r\n";
    const INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&controls);
    MainWindow program({ folder, folder });
    if (!program.load())
        return 1;
    std::thread driver([] {
        const HWND main = window(L"Nikomaru", L"NikomaruWindow");
        measure(main, L"main-window");
        press(main, L"編集");
        const HWND editor = window(L"Nikomaru リスト編集");
        measure(editor, L"list-editor");
        select(list(editor, 1), 0);
        press(editor, L"リストから抹消");
        measure(window(L"Nikomaru", L"#32770"), L"erase-question");
        answer(L"いいえ");
        press(editor, L"新しく作る");
        measure(window(L"Nikomaru", L"#32770"), L"input-box");
        answer(L"キャンセル");
        PostMessageW(editor, WM_CLOSE, 0, 0);
        PostMessageW(main, WM_CLOSE, 0, 0);
    });
    MSG message;
    while (program.running() && GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!IsDialogMessageW(GetAncestor(message.hwnd, GA_ROOT), &message))
            DispatchMessageW(&message);
    driver.join();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
