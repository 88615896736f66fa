#pragma once

// The desktop services the windows use: clipboard, the stored setting, always on top.

#include "views.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace desktop {

// Puts the text on the clipboard as Unicode text, an empty text too.
void setClipboardText(HWND owner, std::u16string_view text);

// The stored setting: HKEY_CURRENT_USER\Software\<application>\<application>\<section>, a string
// value named key; empty when it is missing or no string.
class RegistrySettings final : public app::SettingsStore {
public:
    std::u16string read(std::u16string_view application, std::u16string_view section, std::u16string_view key) override;
    void write(std::u16string_view application, std::u16string_view section, std::u16string_view key,
        std::u16string_view value) override;
};

// Keeps the window above all others or not, at once, without moving or activating it.
void setAlwaysOnTop(HWND window, bool on);

} // namespace desktop
