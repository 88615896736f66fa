// libFuzzer target for everything that reads bytes from a file: the encoding detection, the
// code page 932 decoder and the line reader, and the writer that must give the faces back.
#include "facefile.h"
#include "textcodec.h"

#include <cstdint>
#include <cstdlib>

namespace {

// The text without its line ends, unit by unit: the bytes, or the UTF-16 units after a mark.
std::string withoutLineEnds(std::string_view bytes)
{
    const bool utf16 = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF");
    const size_t unit = utf16 ? 2 : 1, low = utf16 && bytes[0] == '\xFF' ? 0 : unit - 1;
    std::string kept;
    for (size_t i = 0; i + unit <= bytes.size(); i += unit)
        if ((bytes[i + low] != '\r' && bytes[i + low] != '\n') || (utf16 && bytes[i + 1 - low] != '\0'))
            kept.append(bytes.substr(i, unit));
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (faces::Detection detection : { faces::Detection::Strict, faces::Detection::AnyText }) {
        faces::Encoding encoding;
        faces::FaceText faces(faces::decodeText(bytes, detection, &encoding));
        faces.setEncoding(encoding);
        for (size_t i = 0; i < faces.size(); ++i)
            if (faces.at(i).find_first_of(u"\r\n") != std::u16string_view::npos)
                std::abort();
        // Whatever was read is written and read back unchanged, edited or not.
        const auto readBack = [&](const std::string& written) {
            return faces::FaceText(faces::decodeText(written)).toList() == faces.toList();
        };
        if (!readBack(faces::serialize(faces)))
            std::abort();
        // A list saved as it was read keeps its bytes, only its line ends made CR LF (a UTF-16
        // file's dangling half unit has nowhere to go back to).
        const std::string saved = faces::serializeKeeping(faces, bytes);
        const bool halfUnit
            = encoding != faces::Encoding::CodePage932 && encoding != faces::Encoding::Utf8 && size % 2 != 0;
        if (detection == faces::Detection::Strict && !halfUnit
            && (!readBack(saved) || withoutLineEnds(saved) != withoutLineEnds(bytes)))
            std::abort();
    }
    return 0;
}
