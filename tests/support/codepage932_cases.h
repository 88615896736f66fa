#pragma once

// Code page 932 cases that every system's conversion must answer alike.

#include <string_view>

namespace cases {

struct Decode {
    const char* name;
    std::string_view bytes;
    std::u16string_view text;
};

using namespace std::literals;

inline constexpr Decode kDecode[] = {
    { "ascii", "(^_^)"sv, u"(^_^)"sv },
    { "backslash stays a backslash", "\\"sv, u"\\"sv },
    { "full-width kana", "\x82\xA0\x83\x41"sv, u"\u3042\u30A2"sv },
    { "half-width katakana block", "\xA1\xB1\xDF"sv, u"\uFF61\uFF71\uFF9F"sv },
    { "wave dash row", "\x81\x60"sv, u"\uFF5E"sv },
    { "NEC row 13", "\x87\x40"sv, u"\u2460"sv },
    { "IBM extension", "\xFA\x40"sv, u"\u2170"sv },
    { "user area", "\xF0\x40"sv, u"\uE000"sv },
    { "Windows single bytes", "\x80\xA0\xFD\xFE\xFF"sv, u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"sv },
    { "lone lead byte at end", "a\x82"sv, u"a\uFFFD"sv },
    { "lead byte before CR LF keeps the line break", "\x82\r\nb"sv, u"\uFFFD\r\nb"sv },
    { "lead byte before a digit keeps the digit",
        "\x82"
        "1"sv,
        u"\uFFFD"
        "1"sv },
    { "unassigned pair is one broken character", "\x85\x40z"sv, u"\uFFFDz"sv },
};

struct Encode {
    const char* name;
    std::u16string_view text;
    bool representable; // survives encode and decode unchanged
    std::string_view bytes; // when representable
};

inline constexpr Encode kEncode[] = {
    { "half-width katakana", u"\uFF89\uFF7C"sv, true, "\xC9\xBC"sv },
    { "kana and symbols", u"(\u00B4\u30FB\u03C9\u30FB\uFF40)"sv, true, "(\x81\x4C\x81\x45\x83\xD6\x81\x45\x81\x4D)"sv },
    { "Windows single bytes", u"\u0080\uF8F0"sv, true, "\x80\xA0"sv },
    { "shrug", u"\u00AF\\_(\u30C4)_/\u00AF"sv, false, ""sv },
    { "heart", u"\u2661"sv, false, ""sv },
    { "wave dash", u"\u301C"sv, false, ""sv },
    { "emoji", u"\U0001F600"sv, false, ""sv },
};

} // namespace cases
