// Code page 932 conversion through the Windows API, one character at a time so that broken
// bytes and unmappable characters follow the same rules as on every other system.
#include "codepage932.h"

#include <windows.h>

namespace codepage932 {
namespace {

constexpr UINT kCodePage = 932;

// One character of one or two bytes; U+FFFD when the system cannot decode it. (A NUL byte is
// U+0000, as on every other system.)
char16_t decodeCharacter(const char* bytes, int length)
{
    wchar_t unit[2];
    const int n = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, length, unit, 2);
    return n == 1 ? static_cast<char16_t>(unit[0]) : u'\uFFFD';
}

} // namespace

std::u16string decodeWithSystem(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (isLeadByte(lead)) {
            if (i + 1 < bytes.size() && isTrailByte(static_cast<unsigned char>(bytes[i + 1]))) {
                out += decodeCharacter(bytes.data() + i, 2);
                i += 2;
            } else {
                out += u'\uFFFD'; // a bad trail byte is read again on its own
                ++i;
            }
            continue;
        }
        const char16_t extra = singleByteExtra(lead);
        out += extra ? extra : decodeCharacter(bytes.data() + i, 1);
        ++i;
    }
    return out;
}

std::optional<std::string> encode(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t unit : text) {
        if (const unsigned char extra = singleByteExtraFor(unit)) {
            out += static_cast<char>(extra);
            continue;
        }
        const wchar_t wide = static_cast<wchar_t>(unit);
        char bytes[4];
        BOOL usedDefault = FALSE;
        const int n = WideCharToMultiByte(
            kCodePage, WC_NO_BEST_FIT_CHARS, &wide, 1, bytes, sizeof bytes, nullptr, &usedDefault);
        if (n <= 0 || usedDefault)
            return std::nullopt;
        out.append(bytes, static_cast<size_t>(n));
    }
    return out;
}

} // namespace codepage932
