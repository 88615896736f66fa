// The yardstick for start-up on Windows: a plain window of the main window's size showing ten
// faces in a list box of the main list's size, nothing else; with visual styles, as every
// current Windows program has.
#include <windows.h>

#include <commctrl.h>

#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&controls);
    WNDCLASSW windowClass {};
    windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    };
    windowClass.hInstance = instance;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"bare";
    RegisterClassW(&windowClass);
    RECT frame { 0, 0, 106, 300 };
    AdjustWindowRect(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, FALSE);
    const HWND window = CreateWindowW(L"bare", L"bare", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, CW_USEDEFAULT,
        CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    const HWND list = CreateWindowW(L"LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0,
        0, 105, 148, window, nullptr, instance, nullptr);
    SendMessageW(list, WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    for (int i = 0; i < 10; ++i)
        SendMessageW(list, LB_ADDSTRING, 0, LPARAM((L"(＾▽＾)ﾉｼ " + std::to_wstring(i)).c_str()));
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
