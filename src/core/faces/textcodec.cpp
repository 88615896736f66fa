#include "textcodec.h"

#include "codepage932.h"

#include <optional>

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

// A byte kept as U+DC00 plus the byte: 80-FF, or a broken pair's trail byte from 40 on (never a
// line end).
bool isKept(char16_t c)
{
    return c >= 0xDC40 && c <= 0xDCFF;
}

// Decodes UTF-8; each invalid sequence (its longest valid start) becomes one U+FFFD, or with
// `keep` each of its bytes a kept byte. Returns false when there was any.
bool decodeUtf8(std::string_view bytes, std::u16string* out, bool keep = false)
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
            for (int k = 0; out && k < (keep ? taken : 1); ++k)
                *out += keep ? char16_t(0xDC00 + in[i + k]) : kReplacement;
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

std::u16string fromUtf16(std::string_view bytes, bool bigEndian, bool keep)
{
    std::u16string text;
    text.reserve(bytes.size() / 2 + 1);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    // A surrogate without its partner is no character: only a UTF-16 file can hold it again.
    for (size_t i = 0; i < text.size() && !keep; ++i) {
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1]))
            ++i;
        else if (isHighSurrogate(text[i]) || isLowSurrogate(text[i]))
            text[i] = kReplacement;
    }
    if (bytes.size() % 2 != 0)
        text += kReplacement; // a dangling half unit is damage, not silence
    return text;
}

std::u16string fromCodePage932(std::string_view bytes, bool keep)
{
    // Every character, of one byte or two, is one unit: the text is never longer than the bytes.
    std::u16string text(bytes.size(), u'\0');
    text.resize(codepage932::decode(bytes, text.data(), keep));
    return text;
}

// Characters that a text's reading rarely holds when it is the right one: C1 controls and
// U+FFFD; in a UTF-8 reading Latin letters (what half-width katakana pairs read as), in a code
// page 932 reading private use.
size_t unusual(std::u16string_view text, bool utf8)
{
    size_t count = 0;
    for (const char16_t c : text)
        count += (c >= 0x80 && c <= 0x9F) || c == kReplacement
            || (utf8 ? c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7 : c >= 0xE000 && c <= 0xF8FF);
    return count;
}

// Where the next kept byte is: a low surrogate of the kept range with no high one before it.
size_t nextKept(std::u16string_view text, size_t from)
{
    for (size_t i = from; i < text.size(); ++i)
        if (isKept(text[i]) && !(i > 0 && isHighSurrogate(text[i - 1])))
            return i;
    return text.size();
}

// Code page 932 text with kept bytes written back as they were; nothing when a character has no
// code page 932 form.
std::optional<std::string> toCodePage932(std::u16string_view text)
{
    std::string out;
    for (size_t start = 0, end; start <= text.size(); start = end + 1) {
        end = nextKept(text, start);
        const auto run = codepage932::encode(text.substr(start, end - start));
        if (!run)
            return std::nullopt;
        out += *run;
        if (end < text.size())
            out += static_cast<char>(text[end] - 0xDC00);
    }
    return out;
}

std::string toUtf8Keeping(std::u16string_view text)
{
    std::string out;
    for (size_t start = 0, end; start <= text.size(); start = end + 1) {
        end = nextKept(text, start);
        out += toUtf8(text.substr(start, end - start));
        if (end < text.size())
            out += static_cast<char>(text[end] - 0xDC00);
    }
    return out;
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

Encoding detectText(std::string_view head)
{
    if (head.starts_with(kUtf8Bom))
        return Encoding::Utf8;
    if (head.starts_with("\xFF\xFE") || head.starts_with("\xFE\xFF"))
        return head[0] == '\xFF' ? Encoding::Utf16LE : Encoding::Utf16BE;
    // A sequence cut off at the end of what decides is no fault of the file.
    size_t end = head.size();
    for (size_t k = 1; head.size() >= kSniffBytes && k <= 3 && k <= head.size(); ++k) {
        const auto b = static_cast<unsigned char>(head[head.size() - k]);
        if (b >= 0xC0)
            end = head.size() - k;
        if (b < 0x80 || b >= 0xC0)
            break;
    }
    head = head.substr(0, end);
    if (isAscii(head) || !decodeUtf8(head, nullptr))
        return Encoding::CodePage932;
    const size_t asUtf8 = unusual(fromUtf8(head), true);
    return asUtf8 > 0 && 4 * unusual(fromCodePage932(head, false), false) < asUtf8 ? Encoding::CodePage932
                                                                                   : Encoding::Utf8;
}

std::u16string decodeIn(std::string_view bytes, Encoding encoding, bool keep)
{
    // The caller's one byte order mark marks the encoding; a second U+FEFF after it is text.
    switch (encoding) {
    case Encoding::Utf8: {
        std::u16string text;
        text.reserve(bytes.size());
        decodeUtf8(bytes.starts_with(kUtf8Bom) ? bytes.substr(3) : bytes, &text, keep);
        return text;
    }
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        return fromUtf16(bytes.substr(2), encoding == Encoding::Utf16BE, keep);
    case Encoding::CodePage932:
        break;
    }
    return fromCodePage932(bytes, keep);
}

std::u16string decodeText(std::string_view bytes, Detection detection, Encoding* encoding)
{
    const bool strict = detection == Detection::Strict;
    Encoding found = detectText(bytes.substr(0, strict ? 3 : kSniffBytes));
    if (strict && !bytes.starts_with(kUtf8Bom) && found == Encoding::Utf8)
        found = Encoding::CodePage932; // a face list without a mark is code page 932
    if (encoding)
        *encoding = found;
    return decodeIn(bytes, found, strict);
}

std::string encodeText(std::u16string_view text, Encoding encoding)
{
    const auto reads = [&](const std::string& bytes) {
        Encoding found;
        return decodeText(bytes, Detection::Strict, &found) == text && found == encoding;
    };
    if (encoding == Encoding::CodePage932) {
        if (const auto encoded = toCodePage932(text); encoded && reads(*encoded))
            return *encoded; // not when it would begin with what a reader takes for a mark
    } else if (encoding != Encoding::Utf8) {
        std::string bytes = encoding == Encoding::Utf16LE ? "\xFF\xFE" : "\xFE\xFF";
        for (const char16_t unit : text) {
            const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
            bytes += encoding == Encoding::Utf16LE ? std::string { low, high } : std::string { high, low };
        }
        return bytes;
    }
    std::string bytes = std::string(kUtf8Bom) + toUtf8Keeping(text);
    Encoding found;
    // Kept bytes that the faces around them would join into characters are lost as U+FFFD.
    return decodeText(bytes, Detection::Strict, &found) == text ? bytes
                                                                : std::string(kUtf8Bom) + toUtf8(displayText(text));
}

std::u16string displayText(std::u16string_view text)
{
    std::u16string shown(text);
    for (size_t i = 0; i < shown.size(); ++i) {
        if (isHighSurrogate(shown[i]) && i + 1 < shown.size() && isLowSurrogate(shown[i + 1]))
            ++i;
        else if (isHighSurrogate(shown[i]) || isLowSurrogate(shown[i]))
            shown[i] = kReplacement;
    }
    return shown;
}

} // namespace faces
