// What the Windows program's drivers share: they drive it from outside through the Windows API,
// as an automation tool would: find windows by title and controls by caption or class, press
// buttons, select rows, read list boxes, the clipboard, window styles and the registry, and
// answer boxes by their buttons.
#pragma once
#include "facefile.h"
#include "texts.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <source_location>
#include <string>
#include <thread>
#include <vector>

namespace driver {

using Faces = std::vector<std::wstring>;
inline int passed = 0, failed = 0;
inline faces::Path folder;
inline PROCESS_INFORMATION program {};

inline void check(bool ok, const char* what)
{
    (ok ? passed : failed)++;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    std::fflush(stdout);
}

// Waits for a state, at most 10 seconds; says where a wait ran out.
inline bool eventually(const std::function<bool()>& state, std::source_location at = std::source_location::current())
{
    for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (state())
            return true;
    std::fprintf(stderr, "line %u: the state waited for did not come\n", unsigned(at.line()));
    return false;
}

inline const wchar_t* wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

inline std::wstring text(HWND window)
{
    std::wstring value(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    value.resize(size_t(GetWindowTextW(window, value.data(), int(value.size()))));
    return value;
}

// A visible top-level window of this title (and class), other than `besides`.
inline HWND window(const std::wstring& title, const wchar_t* kind = nullptr, HWND besides = nullptr)
{
    HWND found = nullptr;
    eventually([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, kind, title.c_str()); w;
             w = FindWindowExW(nullptr, w, kind, title.c_str()))
            if (w != besides && IsWindowVisible(w))
                return (found = w) != nullptr;
        return false;
    });
    return found;
}

// A control of the window (the first of its class with no caption given).
inline HWND control(HWND parent, const std::wstring& caption, const wchar_t* kind = L"Button")
{
    for (HWND child = FindWindowExW(parent, nullptr, kind, nullptr); child;
         child = FindWindowExW(parent, child, kind, nullptr))
        if (caption.empty() || text(child) == caption)
            return child;
    return nullptr;
}

inline void press(HWND parent, const std::wstring& caption)
{
    PostMessageW(control(parent, caption), BM_CLICK, 0, 0);
}

inline HWND list(HWND parent, int which) // 0: the first list box, 1: the second
{
    HWND found = control(parent, L"", L"ListBox");
    return which == 0 ? found : FindWindowExW(parent, found, L"ListBox", nullptr);
}

inline Faces rows(HWND list)
{
    Faces all;
    const int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0);
        if (length < 0)
            break;
        // The program may refill the list between the two messages: a row gone is LB_ERR.
        std::wstring row(std::max<size_t>(size_t(length), 512) + 1, L'\0'); // rows show 512 at most
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(row.data()));
        if (copied < 0 || copied > length)
            break;
        row.resize(size_t(copied));
        all.push_back(row);
    }
    return all;
}

// OK closes the editor, then the main window, and opens the main window anew: the new one.
inline HWND afterOk(HWND editor, HWND main)
{
    return eventually([&] { return !IsWindow(editor) && !IsWindow(main); }) ? window(L"Nikomaru", L"NikomaruWindow")
                                                                            : nullptr;
}

// What a window's thread holds active and focused: it has taken in a switch once these change.
inline GUITHREADINFO threadState(HWND window)
{
    GUITHREADINFO thread { sizeof thread };
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread;
}

// Brings a window in front as a person's click would, until its program has taken that in. Wine
// may give the front back for a late window manager event: then it asks again.
inline bool bringToFront(HWND window, const std::function<bool()>& takenIn)
{
    return eventually([&] {
        if (GetForegroundWindow() != window)
            SetForegroundWindow(window);
        return GetForegroundWindow() == window && takenIn();
    });
}

inline void select(HWND list, int row)
{
    SendMessageW(list, LB_SETCURSEL, WPARAM(row), 0);
}

inline std::wstring clipboard()
{
    std::wstring value = L"<empty>";
    if (!OpenClipboard(nullptr))
        return L"<busy>";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        value = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return value;
}

// The message box that is up: its text; it is answered with the button of that caption.
inline std::wstring answer(const std::wstring& button, HWND besides = nullptr)
{
    const HWND box = window(L"Nikomaru", L"#32770", besides);
    const std::wstring said = box ? text(GetDlgItem(box, 0xFFFF)) : L"<no box>";
    if (box) {
        press(box, button);
        eventually([&] { return !IsWindow(box); });
    }
    return said;
}

inline std::string file(const char* name)
{
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline std::string bytes(const Faces& list)
{
    faces::FaceText text;
    for (const auto& face : list)
        text.append(std::u16string(face.begin(), face.end()));
    return faces::serialize(text);
}

inline DWORD start(const faces::Path& workingFolder)
{
    const std::wstring exe = (folder / L"nikomaru.exe").wstring();
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW startup { sizeof startup };
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
        workingFolder.wstring().c_str(), &startup, &program);
}

inline bool ended()
{
    DWORD code = 1;
    const bool done = WaitForSingleObject(program.hProcess, 10000) == WAIT_OBJECT_0
        && GetExitCodeProcess(program.hProcess, &code) && code == 0;
    CloseHandle(program.hProcess);
    CloseHandle(program.hThread);
    return done;
}

inline std::wstring setting()
{
    wchar_t value[16] = L"<missing>";
    DWORD size = sizeof value;
    RegGetValueW(
        HKEY_CURRENT_USER, L"Software\\Nikomaru\\Nikomaru\\Setting", L"Check", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

inline bool onTop(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

inline double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace driver
