// The desktop services on the Windows API.
#include "native.h"

#include <vector>

namespace native {

bool setTopmost(HWND window, bool on)
{
    return SetWindowPos(
               window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW)
        != 0;
}

void fillOpenFileRecord(OPENFILENAMEA& record, HWND owner, HINSTANCE instance, const char* filter, char* file,
    char* fileTitle, const char* initialDir)
{
    ZeroMemory(&record, sizeof record);
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.hInstance = instance;
    record.lpstrFilter = filter;
    record.nFilterIndex = 1;
    record.lpstrFile = file;
    record.nMaxFile = kBufferSize;
    record.lpstrFileTitle = fileTitle;
    record.nMaxFileTitle = kBufferSize;
    record.lpstrInitialDir = initialDir;
    record.Flags = kOpenFileFlags;
}

std::string toAnsi(const std::wstring& text)
{
    // The filter holds NULs of its own: convert the whole length, not up to the first NUL.
    const int size = static_cast<int>(text.size());
    if (size == 0)
        return {};
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), needed, nullptr, nullptr);
    return out;
}

std::wstring fromAnsi(const char* text)
{
    const int needed = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (needed <= 1)
        return {};
    std::wstring out(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, out.data(), needed);
    out.resize(static_cast<size_t>(needed - 1));
    return out;
}

std::wstring openFileDialog(HWND owner, const std::wstring& filter, const std::wstring& initialDir)
{
    const std::string ansiFilter = toAnsi(filter);
    const std::string ansiDir = toAnsi(initialDir);
    std::vector<char> file(kBufferSize, '\0');
    std::vector<char> fileTitle(kBufferSize, '\0');
    OPENFILENAMEA record;
    fillOpenFileRecord(
        record, owner, GetModuleHandleA(nullptr), ansiFilter.c_str(), file.data(), fileTitle.data(), ansiDir.c_str());
    if (!GetOpenFileNameA(&record))
        return {};
    return fromAnsi(file.data()); // up to its first NUL
}

} // namespace native
