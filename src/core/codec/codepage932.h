#pragma once

// Conversion between code page 932 (Shift-JIS as Windows defines it) and UTF-16.
// One implementation per OS; plain standard types so the Windows one builds without Qt.

#include <optional>
#include <string>
#include <string_view>

namespace codepage932 {

// Never fails: an invalid sequence becomes U+FFFD without swallowing the byte below 0x40
// that follows it (so a CR or LF after a broken character survives), a lone lead byte at the
// end becomes U+FFFD, and 0x80, 0xA0, 0xFD..0xFF decode as Windows does.
std::u16string decode(std::string_view bytes);
// The same into out, which has room for bytes.size() units; returns the units written. With
// `keep`, each byte that is no character (a lead byte without its trail, both bytes of a pair
// without a character) becomes U+DC00 plus the byte instead, so that it can be written back as
// it was.
size_t decode(std::string_view bytes, char16_t* out, bool keep = false);

// Returns nothing when some character has no code page 932 form. A character with a form
// can still come back as another one (U+301C becomes U+FF5E): callers that must not lose
// text compare decode(encode(x)) with x.
std::optional<std::string> encode(std::u16string_view text);

// The Windows-only single bytes that the system table maps into Unicode.
char16_t singleByteExtra(unsigned char byte); // 0 when the byte is not one of them
unsigned char singleByteExtraFor(char16_t unit); // 0 when the unit is not one of them

// Implemented per OS: the system's own conversion, with the same rules as decode(). decode()
// itself reads through a table generated from it at build time.
std::u16string decodeWithSystem(std::string_view bytes);

constexpr bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
constexpr bool isTrailByte(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

} // namespace codepage932
