// Code page 932 helpers shared by every OS's conversion.
#include "codepage932.h"

#include <array>
#include <memory>

namespace codepage932 {
namespace {

constexpr int kLeadCount = (0x9F - 0x81 + 1) + (0xFC - 0xE0 + 1);

constexpr int leadSlot(unsigned char lead)
{
    return lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + (0x9F - 0x81 + 1);
}

// Every character of the code page, read once from the system's conversion: decoding through
// the table is several times faster than converting each file through the system.
struct Table {
    std::array<char16_t, 256> single {};
    std::array<char16_t, kLeadCount * 256> pair {};

    Table()
    {
        std::string bytes;
        for (int b = 0; b < 256; ++b)
            bytes += isLeadByte(static_cast<unsigned char>(b)) ? '?' : static_cast<char>(b);
        const std::u16string singles = decodeWithSystem(bytes);
        std::copy(singles.begin(), singles.end(), single.begin());

        // All pairs of one lead byte at a time; a pair the system cannot decode comes back as one
        // U+FFFD, so every pair gives exactly one unit.
        for (int lead = 0; lead < 256; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            std::string pairs;
            for (int trail = 0; trail < 256; ++trail) {
                if (isTrailByte(static_cast<unsigned char>(trail))) {
                    pairs += static_cast<char>(lead);
                    pairs += static_cast<char>(trail);
                }
            }
            const std::u16string units = decodeWithSystem(pairs);
            auto* row = &pair[static_cast<size_t>(leadSlot(static_cast<unsigned char>(lead))) * 256];
            size_t next = 0;
            for (int trail = 0; trail < 256; ++trail)
                row[trail]
                    = isTrailByte(static_cast<unsigned char>(trail)) && next < units.size() ? units[next++] : u'\uFFFD';
        }
    }
};

const Table& table()
{
    static const auto instance = std::make_unique<Table>();
    return *instance;
}

} // namespace

std::u16string decode(std::string_view bytes)
{
    const Table& t = table();
    std::u16string out(bytes.size(), u'\0');
    char16_t* o = out.data();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        const unsigned char b = in[i];
        if (!isLeadByte(b)) {
            *o++ = t.single[b];
            ++i;
        } else if (i + 1 < size && isTrailByte(in[i + 1])) {
            *o++ = t.pair[static_cast<size_t>(leadSlot(b)) * 256 + in[i + 1]];
            i += 2;
        } else {
            *o++ = u'\uFFFD'; // a bad trail byte is read again on its own
            ++i;
        }
    }
    out.resize(static_cast<size_t>(o - out.data()));
    return out;
}

char16_t singleByteExtra(unsigned char byte)
{
    switch (byte) {
    case 0x80:
        return u'\u0080';
    case 0xA0:
        return u'\uF8F0';
    case 0xFD:
        return u'\uF8F1';
    case 0xFE:
        return u'\uF8F2';
    case 0xFF:
        return u'\uF8F3';
    default:
        return 0;
    }
}

unsigned char singleByteExtraFor(char16_t unit)
{
    switch (unit) {
    case u'\u0080':
        return 0x80;
    case u'\uF8F0':
        return 0xA0;
    case u'\uF8F1':
        return 0xFD;
    case u'\uF8F2':
        return 0xFE;
    case u'\uF8F3':
        return 0xFF;
    default:
        return 0;
    }
}

} // namespace codepage932
