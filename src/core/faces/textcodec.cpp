#include "textcodec.h"

#include "codepage932.h"

namespace faces {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr char16_t kReplacement = u'\uFFFD';

bool isHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

void appendCodePoint(std::u16string& out, char32_t c)
{
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

// Decodes UTF-8; each invalid sequence (its longest valid start) becomes one U+FFFD. Returns
// false when there was any.
bool decodeUtf8(std::string_view bytes, std::u16string* out)
{
    bool valid = true;
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            if (out)
                *out += b;
            ++i;
            continue;
        }
        // The sequence's length and the range of its second byte, which rules out overlong
        // forms, surrogates and code points past U+10FFFF.
        int length = 0;
        unsigned char low = 0x80, high = 0xBF;
        char32_t c = 0;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            c = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            c = b & 0x0F;
            low = b == 0xE0 ? 0xA0 : 0x80;
            high = b == 0xED ? 0x9F : 0xBF;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            c = b & 0x07;
            low = b == 0xF0 ? 0x90 : 0x80;
            high = b == 0xF4 ? 0x8F : 0xBF;
        }
        int taken = 1;
        for (; length > 0 && taken < length && i + taken < size; ++taken) {
            const unsigned char t = in[i + taken];
            if (t < (taken == 1 ? low : 0x80) || t > (taken == 1 ? high : 0xBF))
                break;
            c = (c << 6) | (t & 0x3F);
        }
        if (length > 0 && taken == length) {
            if (out)
                appendCodePoint(*out, c);
        } else {
            valid = false;
            if (out)
                *out += kReplacement;
        }
        i += taken;
    }
    return valid;
}

bool isAscii(std::string_view bytes)
{
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

std::u16string fromUtf16(std::string_view bytes, bool bigEndian)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    // A surrogate without its partner is no character: no encoding could write it back.
    for (size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            text[i] = kReplacement;
    }
    if (bytes.size() % 2 != 0)
        text += kReplacement; // a dangling half unit is damage, not silence
    return text;
}

std::u16string fromCodePage932(std::string_view bytes)
{
    // Every character, of one byte or two, is one unit: the text is never longer than the bytes.
    std::u16string text(bytes.size(), u'\0');
    text.resize(codepage932::decode(bytes, text.data()));
    return text;
}

} // namespace

std::u16string fromUtf8(std::string_view bytes)
{
    std::u16string text;
    text.reserve(bytes.size());
    decodeUtf8(bytes, &text);
    return text;
}

std::string toUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isHighSurrogate(c) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (isHighSurrogate(c) || isLowSurrogate(c))
            c = kReplacement;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | c >> 6);
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | c >> 12);
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | c >> 18);
            out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
            out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::u16string decodeText(std::string_view bytes, Detection detection)
{
    // The caller's one byte order mark marks the encoding; a second U+FEFF after it is text.
    if (bytes.starts_with(kUtf8Bom))
        return fromUtf8(bytes.substr(3));
    if (bytes.starts_with("\xFF\xFE"))
        return fromUtf16(bytes.substr(2), false);
    if (bytes.starts_with("\xFE\xFF"))
        return fromUtf16(bytes.substr(2), true);
    if (detection == Detection::AnyText && !isAscii(bytes) && decodeUtf8(bytes, nullptr))
        return fromUtf8(bytes);
    return fromCodePage932(bytes);
}

std::string encodeText(std::u16string_view text)
{
    if (const auto encoded = codepage932::encode(text); encoded && codepage932::decode(*encoded) == text) {
        // Private-use characters can encode to bytes that a reader would take for a UTF-16 mark.
        if (!encoded->starts_with("\xFF\xFE") && !encoded->starts_with("\xFE\xFF"))
            return *encoded;
    }
    return std::string(kUtf8Bom) + toUtf8(text);
}

} // namespace faces
