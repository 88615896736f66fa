// Code page 932 conversion through iconv (glibc's "CP932" table matches Windows' for decoding).
#include "codepage932.h"

#include <bit>
#include <cerrno>
#include <iconv.h>

namespace codepage932 {
namespace {

const char* utf16Name()
{
    return std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
}

// Owns one conversion descriptor for the length of a call.
class Converter {
public:
    Converter(const char* to, const char* from)
        : cd_(iconv_open(to, from))
    {
    }
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts as much as it can; returns false with errno set where it stops.
    bool run(char*& in, size_t& inLeft, char*& out, size_t& outLeft)
    {
        const size_t r = iconv(cd_, &in, &inLeft, &out, &outLeft);
        if (r == static_cast<size_t>(-1))
            return false;
        iconv(cd_, nullptr, nullptr, &out, &outLeft);
        return true;
    }
    void reset() { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t cd_;
};

} // namespace

std::u16string decodeWithSystem(std::string_view bytes)
{
    // Every code page 932 character, one or two bytes, is one UTF-16 unit, as is each
    // replacement: the output never needs more units than there are input bytes.
    std::u16string out(bytes.size(), u'\0');
    Converter conv(utf16Name(), "CP932");
    if (!conv.valid())
        return std::u16string(bytes.size(), u'\uFFFD');

    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* outPtr = reinterpret_cast<char*>(out.data());
    size_t outLeft = out.size() * sizeof(char16_t);
    while (inLeft > 0 && !conv.run(in, inLeft, outPtr, outLeft)) {
        if (errno != EILSEQ && errno != EINVAL)
            break;
        const auto lead = static_cast<unsigned char>(in[0]);
        char16_t unit = singleByteExtra(lead);
        size_t skip = 1;
        if (unit == 0) {
            unit = u'\uFFFD';
            // An unmapped pair is one broken character; a bad trail byte is read again.
            if (isLeadByte(lead) && inLeft >= 2 && isTrailByte(static_cast<unsigned char>(in[1])))
                skip = 2;
        }
        std::char_traits<char16_t>::copy(reinterpret_cast<char16_t*>(outPtr), &unit, 1);
        outPtr += sizeof(char16_t);
        outLeft -= sizeof(char16_t);
        in += skip;
        inLeft -= skip;
        conv.reset();
    }
    out.resize(out.size() - outLeft / sizeof(char16_t));
    return out;
}

std::optional<std::string> encode(std::u16string_view text)
{
    std::string out(text.size() * 2, '\0');
    Converter conv("CP932", utf16Name());
    if (!conv.valid())
        return std::nullopt;

    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = text.size() * sizeof(char16_t);
    char* outPtr = out.data();
    size_t outLeft = out.size();
    while (inLeft > 0 && !conv.run(in, inLeft, outPtr, outLeft)) {
        if (errno != EILSEQ)
            return std::nullopt;
        char16_t unit;
        std::char_traits<char16_t>::copy(&unit, reinterpret_cast<const char16_t*>(in), 1);
        const unsigned char byte = singleByteExtraFor(unit);
        if (byte == 0)
            return std::nullopt;
        *outPtr++ = static_cast<char>(byte);
        --outLeft;
        in += sizeof(char16_t);
        inLeft -= sizeof(char16_t);
        conv.reset();
    }
    out.resize(out.size() - outLeft);
    return out;
}

} // namespace codepage932
