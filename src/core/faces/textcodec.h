#pragma once

#include <string>
#include <string_view>

namespace faces {

enum class Detection {
    // Face list files: a UTF-8 or UTF-16 byte order mark, else code page 932.
    Strict,
    // Any text file people have: as Strict, but a BOM-less file that is valid UTF-8 and
    // not plain ASCII is read as UTF-8.
    AnyText,
};

// Never fails; undecodable bytes become U+FFFD. A byte order mark is not part of the text.
std::u16string decodeText(std::string_view bytes, Detection detection = Detection::Strict);

// Code page 932 when every character survives the round trip, else UTF-8 with a byte order
// mark, so that faces outside code page 932 are never lost.
std::string encodeText(std::u16string_view text);

// UTF-8 without a byte order mark; an invalid sequence becomes U+FFFD, a lone surrogate too.
std::u16string fromUtf8(std::string_view bytes);
std::string toUtf8(std::u16string_view text);

} // namespace faces
