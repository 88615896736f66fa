#pragma once

// The code page 932 decoding table, generated at build time by codepage932_generate from the
// system's own conversion.

#include <array>

namespace codepage932 {

inline constexpr int kLeadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

// A lead byte's row in kPair.
constexpr int leadSlot(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// What each byte that is no lead byte decodes to.
extern const std::array<char16_t, 256> kSingle;
// What each lead byte followed by each trail byte decodes to, U+FFFD where nothing.
extern const std::array<char16_t, kLeadCount * 256> kPair;

} // namespace codepage932
