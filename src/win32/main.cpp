// Nikomaru for Windows: the two windows on the Windows API over the face list core.
#include "ids.h"
#include "mainwindow.h"

#include <commctrl.h>

namespace {

// Ctrl+C and Shift+Enter on a list box go to its window, which decides what they do.
UINT listKey(const MSG& message)
{
    if (message.message != WM_KEYDOWN)
        return 0;
    wchar_t kind[16] = {};
    GetClassNameW(message.hwnd, kind, 16);
    if (lstrcmpiW(kind, L"ListBox") != 0)
        return 0;
    if (message.wParam == 'C' && GetKeyState(VK_CONTROL) < 0)
        return kCopyKey;
    return message.wParam == VK_RETURN && GetKeyState(VK_SHIFT) < 0 ? kPasteKey : 0;
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
        if (const UINT key = listKey(message)) {
            SendMessageW(GetParent(message.hwnd), key, 0, LPARAM(message.hwnd));
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
