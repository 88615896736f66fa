#pragma once

// The desktop services the windows use: clipboard, the stored setting, always on top.

#include <windows.h>

#include <string>
#include <string_view>

namespace desktop {

// Puts the text on the clipboard as Unicode text; empty text leaves the clipboard empty.
void setClipboardText(HWND owner, std::u16string_view text);

// The stored setting: HKEY_CURRENT_USER\Software\<application>\<application>\<section>, a string
// value named key; empty when it is missing or no string.
std::wstring readSetting(const wchar_t* application, const wchar_t* section, const wchar_t* key);
void writeSetting(const wchar_t* application, const wchar_t* section, const wchar_t* key, const std::wstring& value);

// Keeps the window above all others or not, at once, without moving or activating it.
void setAlwaysOnTop(HWND window, bool on);

} // namespace desktop
