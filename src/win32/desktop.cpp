#include "desktop.h"

#include "window.h"

#include <cstring>

namespace desktop {
namespace {

std::wstring keyPath(std::u16string_view application, std::u16string_view section)
{
    const std::wstring name(wide(application), application.size());
    return L"Software\\" + name + L"\\" + name + L"\\" + std::wstring(wide(section), section.size());
}

} // namespace

void setClipboardText(HWND owner, std::u16string_view text)
{
    // Another program (a clipboard manager, say) may have it open this moment: a few tries.
    bool open = false;
    for (int i = 0; i < 50 && !(open = OpenClipboard(owner)); ++i)
        Sleep(10);
    if (!open)
        return;
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(char16_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) { // an empty text too
        auto* units = static_cast<char16_t*>(GlobalLock(memory));
        std::memcpy(units, text.data(), text.size() * sizeof(char16_t));
        units[text.size()] = u'\0';
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory))
            GlobalFree(memory);
    }
    CloseClipboard();
}

std::u16string RegistrySettings::read(
    std::u16string_view application, std::u16string_view section, std::u16string_view key)
{
    DWORD bytes = 0;
    const std::wstring path = keyPath(application, section), name(wide(key), key.size());
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &bytes)
        != ERROR_SUCCESS)
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = DWORD(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &bytes)
        != ERROR_SUCCESS)
        return {};
    return std::u16string(u16(value.c_str()));
}

void RegistrySettings::write(
    std::u16string_view application, std::u16string_view section, std::u16string_view key, std::u16string_view value)
{
    HKEY store = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath(application, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
            &store, nullptr)
        != ERROR_SUCCESS)
        return;
    const std::wstring name(wide(key), key.size()), text(wide(value), value.size());
    RegSetValueExW(store, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
        DWORD((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(store);
}

void setAlwaysOnTop(HWND window, bool on)
{
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

} // namespace desktop
