// Nikomaru for Windows: the two windows on the Windows API over the face list core.
#include "ids.h"
#include "mainwindow.h"

#include <commctrl.h>

namespace {

// Ctrl+C on a list box goes to its window, which decides what it copies.
bool isCopyKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN || message.wParam != 'C' || GetKeyState(VK_CONTROL) >= 0)
        return false;
    wchar_t kind[16] = {};
    GetClassNameW(message.hwnd, kind, 16);
    return lstrcmpiW(kind, L"ListBox") == 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const INITCOMMONCONTROLSEX controls { sizeof controls, ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&controls);
    MainWindow mainWindow({ faces::applicationFolder(), faces::userDataFolder() });
    if (!mainWindow.load())
        return 1;
    // The program runs while a window is loaded: it ends once a handler has returned and none
    // is; the editor's OK closes both and loads the main window again within one handler.
    MSG message;
    while (mainWindow.running() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (isCopyKey(message)) {
            SendMessageW(GetParent(message.hwnd), kCopyKey, 0, LPARAM(message.hwnd));
            continue;
        }
        // Tab, Enter and Escape as in a dialog, in whichever window is active.
        const HWND window = GetAncestor(message.hwnd, GA_ROOT);
        if (window && IsDialogMessageW(window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return mainWindow.failed() ? 1 : 0;
}
