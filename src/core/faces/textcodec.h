#pragma once

#include "facelist.h"

#include <string>
#include <string_view>

namespace faces {

enum class Detection {
    // Face list files: a UTF-8 or UTF-16 byte order mark, else code page 932. Bytes that are no
    // character are kept as U+DC40..U+DCFF (the byte plus U+DC00), lone UTF-16 surrogates as
    // they are, so that a save writes them back unchanged.
    Strict,
    // Any text file people have: as Strict, but a BOM-less file whose first kSniffBytes are
    // UTF-8 and not plain ASCII is read as UTF-8, unless its code page 932 reading has far fewer
    // unusual characters (half-width katakana that happen to be valid UTF-8). Bytes that are no
    // character become U+FFFD.
    AnyText,
};

// How much of a text file decides its encoding, whatever more of it is read.
inline constexpr size_t kSniffBytes = 1 << 20;

// Never fails. A byte order mark is not part of the text. *encoding, when given, receives the
// encoding the bytes were read in.
std::u16string decodeText(
    std::string_view bytes, Detection detection = Detection::Strict, Encoding* encoding = nullptr);

// In the encoding given where every character survives the round trip (kept bytes written
// back as they were), else UTF-8 with a byte order mark, so that no face is ever lost.
std::string encodeText(std::u16string_view text, Encoding encoding = Encoding::CodePage932);

// The encoding of a text file, by its mark, else by this much of its start as AnyText says.
Encoding detectText(std::string_view head);
// The bytes in that encoding (a byte order mark skipped), bytes that are no character kept or
// as U+FFFD.
std::u16string decodeIn(std::string_view bytes, Encoding encoding, bool keep);

// The text as people see it: kept bytes and lone surrogates as U+FFFD.
std::u16string displayText(std::u16string_view text);

// UTF-8 without a byte order mark; an invalid sequence becomes U+FFFD, a lone surrogate too.
std::u16string fromUtf8(std::string_view bytes);
std::string toUtf8(std::u16string_view text);

} // namespace faces
