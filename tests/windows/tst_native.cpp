// The Windows-only code, built with mingw-w64 and run under wine: the desktop services, the open
// file record, code page 932 through the system, and the version resource. No Qt.
#include "codepage932.h"
#include "codepage932_cases.h"
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

void codePage932()
{
    for (const cases::Decode& c : cases::kDecode)
        check(codepage932::decode(c.bytes) == c.text, std::string("decode: ") + c.name);
    for (const cases::Encode& c : cases::kEncode) {
        const auto bytes = codepage932::encode(c.text);
        const bool survives = bytes && codepage932::decode(*bytes) == c.text;
        check(survives == c.representable && (!c.representable || *bytes == c.bytes), std::string("encode: ") + c.name);
    }
}

void openFileRecord()
{
    const std::wstring filter
        = std::wstring(L"Text(*.txt)") + L'\0' + L"*.txt" + L'\0' + L"All(*.*)" + L'\0' + L"*.*" + L'\0' + L'\0';
    const std::string ansi = native::toAnsi(filter);
    check(ansi == std::string("Text(*.txt)\0*.txt\0All(*.*)\0*.*\0\0", 32), "the filter keeps its NULs");

    char file[256];
    char title[256];
    std::memset(file, 'x', sizeof file);
    OPENFILENAMEA record;
    std::memset(&record, 0xAB, sizeof record);
    const HWND owner = reinterpret_cast<HWND>(0x1234);
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    native::fillOpenFileRecord(record, owner, instance, ansi.c_str(), file, title, "C:\\faces");
    // 76 bytes in a 32-bit program: the record without the fields later versions appended.
    check(record.lStructSize == OPENFILENAME_SIZE_VERSION_400A, "lStructSize is the original record's size");
    check(sizeof(void*) != 4 || record.lStructSize == 76, "76 bytes in a 32-bit program");
    check(record.hwndOwner == owner && record.hInstance == instance, "owner and instance");
    check(record.lpstrFilter == ansi.c_str() && record.nFilterIndex == 1, "filter, first pair preselected");
    check(record.lpstrFile == file && record.nMaxFile == 256, "file buffer of 256");
    check(record.lpstrFileTitle == title && record.nMaxFileTitle == 256, "title buffer of 256");
    check(std::strcmp(record.lpstrInitialDir, "C:\\faces") == 0, "initial directory");
    check(record.Flags == 0x81804, "flags 0x81804");
    check(record.lpstrCustomFilter == nullptr && record.nMaxCustFilter == 0 && record.lpstrTitle == nullptr
            && record.nFileOffset == 0 && record.nFileExtension == 0 && record.lpstrDefExt == nullptr
            && record.lCustData == 0 && record.lpfnHook == nullptr && record.lpTemplateName == nullptr,
        "every other field is zero");
    check(native::fromAnsi("C:\\faces\\a.txt\0ignored") == L"C:\\faces\\a.txt", "the path ends at its first NUL");
}

void alwaysOnTop()
{
    check(native::setTopmost(nullptr, true) == false, "no window, no success");
    const HWND window = CreateWindowExA(0, "STATIC", "Nikomaru", WS_OVERLAPPEDWINDOW, 10, 20, 112, 325, nullptr,
        nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        std::printf("skipped: SetWindowPos on a real window (no window could be created: no display)\n");
        return;
    }
    RECT before;
    GetWindowRect(window, &before);
    const bool on = native::setTopmost(window, true);
    const bool topmost = GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
    const bool off = native::setTopmost(window, false);
    const bool ordinary = !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT after;
    GetWindowRect(window, &after);
    check(on && topmost, "on makes the window topmost");
    check(off && ordinary, "off makes it ordinary again");
    check(IsWindowVisible(window), "the window is shown");
    check(std::memcmp(&before, &after, sizeof before) == 0, "neither moved nor resized");
    DestroyWindow(window);
}

void versionResource()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> data(size);
    if (!size || !GetFileVersionInfoA(path, 0, size, data.data())) {
        check(false, "the program carries version information");
        return;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length);
    check(info && info->dwFileVersionMS == 0x0001000A && info->dwFileVersionLS == 0
            && info->dwProductVersionMS == 0x0001000A && info->dwProductVersionLS == 0,
        "file and product version 1.10.0.0");
    WORD* translation = nullptr;
    VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length);
    check(translation && length >= 4 && translation[0] == 0x0411, "language Japanese");
    check(LoadIconA(GetModuleHandleA(nullptr), "IDI_ICON1") != nullptr, "the program icon");
}

} // namespace

int main()
{
    codePage932();
    openFileRecord();
    alwaysOnTop();
    versionResource();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
