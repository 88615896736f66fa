#pragma once

// The program's modal boxes on the Windows API, in Japanese whatever the system's language, each
// owned by the window it belongs to so that it is never hidden behind a window kept on top.

#include <windows.h>

#include <optional>
#include <string>

namespace dialogs {

// A message box with "OK", titled "Nikomaru", without icon.
void message(HWND owner, const std::u16string& text);
// A message box with "はい" and "いいえ"; true for Yes.
bool askYesNo(HWND owner, const std::u16string& text);
// The input box: a prompt, an empty one-line field, "OK" and "キャンセル"; nothing on Cancel or
// when closed.
std::optional<std::u16string> input(HWND owner, const std::u16string& prompt);
// The system's open-file dialog over a filter of description and pattern pairs (each ended by a
// NUL, one more NUL at the end); the chosen file, or empty.
std::wstring openFile(HWND owner, const std::wstring& filter, const std::wstring& initialFolder);

} // namespace dialogs
