#include "pasteinto.h"

#include <thread>
#include <vector>

namespace pasteinto {
namespace {

bool othersSinceStart = false; // another program's window was in front since this one started
HWND previous = nullptr; // the other program's window this one was last activated from

bool otherProgram(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return window && process != GetCurrentProcessId();
}

// The first window under this program's in the stacking order that a person could have been
// typing in: activating a window raises it, so it is the one last in front.
HWND windowBelow()
{
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        const LONG_PTR extended = GetWindowLongPtrW(window, GWL_EXSTYLE);
        wchar_t kind[32] = {};
        GetClassNameW(window, kind, 32);
        if (otherProgram(window) && IsWindowVisible(window) && !IsIconic(window)
            && !(extended & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE)) && lstrcmpW(kind, L"Progman") != 0
            && lstrcmpW(kind, L"WorkerW") != 0 && lstrcmpW(kind, L"Shell_TrayWnd") != 0)
            return window;
    }
    return nullptr;
}

} // namespace

void activated(HWND other)
{
    othersSinceStart = othersSinceStart || otherProgram(other);
    // Where the system does not say which window was left, it is the one just in front before
    // this one, found now: later it may have gone and another taken its place.
    if (otherProgram(other))
        previous = other;
    else if (!other)
        previous = othersSinceStart ? windowBelow() : nullptr;
}

void left(HWND other)
{
    if (otherProgram(other) || !other)
        othersSinceStart = true;
}

void typeIntoPrevious(std::u16string_view face)
{
    // Never into a window chosen by chance: none until another program's window was in front.
    // Only the window this one was activated from: when it has gone, no other takes its place.
    const HWND target = othersSinceStart && previous && IsWindow(previous) ? previous : nullptr;
    if (!target)
        return;
    SetForegroundWindow(target);
    for (int i = 0; i < 100 && GetForegroundWindow() != target; ++i) // a second at the most
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (GetForegroundWindow() != target)
        return;
    // Each UTF-16 unit pressed and let go; a surrogate pair's halves in turn make one character.
    std::vector<INPUT> keys;
    for (const char16_t unit : face) {
        for (const DWORD up : { DWORD(0), DWORD(KEYEVENTF_KEYUP) }) {
            INPUT key {};
            key.type = INPUT_KEYBOARD;
            key.ki.wScan = unit;
            key.ki.dwFlags = KEYEVENTF_UNICODE | up;
            keys.push_back(key);
        }
    }
    SendInput(UINT(keys.size()), keys.data(), sizeof(INPUT));
}

} // namespace pasteinto
