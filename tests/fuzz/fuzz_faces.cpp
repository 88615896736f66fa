// libFuzzer target for everything that reads bytes from a file: the encoding detection, the
// code page 932 decoder and the line reader, and the writer that must give the faces back.
#include "facefile.h"
#include "textcodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (faces::Detection detection : { faces::Detection::Strict, faces::Detection::AnyText }) {
        const FaceList faces = faces::splitLines(faces::decodeText(bytes, detection));
        for (const QString& face : faces)
            if (face.contains(u'\r') || face.contains(u'\n'))
                std::abort();
        // Whatever was read is written and read back unchanged.
        const QByteArray written = faces::serialize(faces);
        if (faces::splitLines(faces::decodeText(written)) != faces)
            std::abort();
    }
    return 0;
}
