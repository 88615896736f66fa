// libFuzzer target for everything that reads bytes from a file: the encoding detection, the
// code page 932 decoder and the line reader, and the writer that must give the faces back.
#include "facefile.h"
#include "textcodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (faces::Detection detection : { faces::Detection::Strict, faces::Detection::AnyText }) {
        const faces::FaceText faces(faces::decodeText(bytes, detection));
        for (size_t i = 0; i < faces.size(); ++i)
            if (faces.at(i).find_first_of(u"\r\n") != std::u16string_view::npos)
                std::abort();
        // Whatever was read is written and read back unchanged.
        if (faces::FaceText(faces::decodeText(faces::serialize(faces))).toList() != faces.toList())
            std::abort();
    }
    return 0;
}
