#pragma once

// The Windows side of the desktop services, on the bare Windows API: window handles and plain strings only,
// so they build and are tested without Qt.

#include <windows.h>

#include <commdlg.h>

#include <string>

namespace native {

// SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;
// true when it succeeded.
bool setTopmost(HWND window, bool on);

inline constexpr DWORD kOpenFileFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
inline constexpr DWORD kBufferSize = 256;

// The open-file record in its original, shortest form (76 bytes in a 32-bit program), filled
// with the given ANSI strings and 256-byte buffers; every other field is zero.
void fillOpenFileRecord(OPENFILENAMEA& record, HWND owner, HINSTANCE instance, const char* filter, char* file,
    char* fileTitle, const char* initialDir);

// The system's open-file dialog: the full path of the chosen file, or empty when
// GetOpenFileNameA returns zero (cancelled, or the path does not fit the buffer). The filter is
// description and pattern pairs, each ended by a NUL, with one more NUL at the end.
std::wstring openFileDialog(HWND owner, const std::wstring& filter, const std::wstring& initialDir);

// Between UTF-16 and the system's ANSI code page (code page 932 on a Japanese system).
std::string toAnsi(const std::wstring& text);
std::wstring fromAnsi(const char* text);

} // namespace native
