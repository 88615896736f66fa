#pragma once

// Code page 932 cases that every system's conversion must answer alike.

#include <string_view>
#include <tuple>

namespace cases {

using namespace std::literals;

// Name, bytes, text.
inline constexpr std::tuple<const char*, std::string_view, std::u16string_view> kDecode[]
    = { { "backslash stays a backslash, NUL is NUL", "(\\)\0"sv, u"(\\)\0"sv },
          { "kana, half-width katakana", "\x82\xA0\x83\x41\xA1\xB1\xDF"sv, u"\u3042\u30A2\uFF61\uFF71\uFF9F"sv },
          { "wave dash row, NEC row 13, IBM extension, user area", "\x81\x60\x87\x40\xFA\x40\xF0\x40"sv,
              u"\uFF5E\u2460\u2170\uE000"sv },
          { "Windows single bytes", "\x80\xA0\xFD\xFE\xFF"sv, u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"sv },
          { "lone lead byte at end", "a\x82"sv, u"a\uFFFD"sv },
          { "lead byte before a line end keeps it", "\x82\rb"sv, u"\uFFFD\rb"sv },
          { "unassigned pair is one broken character", "\x85\x40z"sv, u"\uFFFDz"sv } };

// Name, text, bytes; no bytes: the text does not survive encoding and decoding.
inline constexpr std::tuple<const char*, std::u16string_view, std::string_view> kEncode[]
    = { { "half-width katakana", u"\uFF89\uFF7C"sv, "\xC9\xBC"sv },
          { "kana and symbols", u"(\u00B4\u30FB\u03C9\u30FB\uFF40)"sv, "(\x81\x4C\x81\x45\x83\xD6\x81\x45\x81\x4D)"sv },
          { "Windows single bytes", u"\u0080\uF8F0"sv, "\x80\xA0"sv },
          { "shrug", u"\u00AF\\_(\u30C4)_/\u00AF"sv, ""sv }, { "heart", u"\u2661"sv, ""sv },
          { "wave dash", u"\u301C"sv, ""sv }, { "emoji", u"\U0001F600"sv, ""sv } };

} // namespace cases
