// The Windows-only desktop services, built with mingw-w64 and run under wine: the open file
// record and always on top. No Qt.
#include "windows/native.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string& what)
{
    (ok ? passed : failed)++;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
}

void openFileRecord()
{
    const std::string ansi = native::toAnsi(std::wstring(L"Text(*.txt)\0*.txt\0All(*.*)\0*.*\0\0", 32));
    check(ansi == std::string("Text(*.txt)\0*.txt\0All(*.*)\0*.*\0\0", 32), "the filter keeps its NULs");
    check(native::fromAnsi("C:\\faces\\a.txt\0ignored") == L"C:\\faces\\a.txt", "the path ends at its first NUL");
    char file[256], title[256];
    const char* folder = "C:\\faces";
    OPENFILENAMEA record;
    std::memset(&record, 0xAB, sizeof record);
    native::fillOpenFileRecord(record, HWND(0x1234), HINSTANCE(0x5678), ansi.c_str(), file, title, folder);
    // 76 bytes in a 32-bit program: the record without the fields later versions appended.
    // In field order: size, owner, instance, filter, no custom filter, filter 1, file buffer, file
    // title buffer, initial directory, no title, flags; the rest zero.
    const OPENFILENAMEA expected { OPENFILENAME_SIZE_VERSION_400A, HWND(0x1234), HINSTANCE(0x5678), ansi.c_str(),
        nullptr, 0, 1, file, 256, title, 256, folder, nullptr, 0x81804 };
    check(std::memcmp(&record, &expected, sizeof record) == 0, "the record: owner, buffers of 256, flags 0x81804");
}

void alwaysOnTop()
{
    const HWND window = CreateWindowExA(0, "STATIC", "Nikomaru", WS_OVERLAPPEDWINDOW, 10, 20, 112, 325, nullptr,
        nullptr, GetModuleHandleA(nullptr), nullptr);
    check(window, "a window on the virtual display");
    RECT before, after;
    GetWindowRect(window, &before);
    check(native::setTopmost(window, true) && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "topmost");
    check(native::setTopmost(window, false) && !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST), "ordinary");
    GetWindowRect(window, &after);
    check(IsWindowVisible(window) && std::memcmp(&before, &after, sizeof before) == 0, "shown, not moved or resized");
    DestroyWindow(window);
}

} // namespace

int main()
{
    openFileRecord();
    alwaysOnTop();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
