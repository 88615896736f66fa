#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace faces {

// Faces as separate strings, in order. A face never holds CR or LF and may be empty.
using FaceList = std::vector<std::u16string>;

// How a face list file is written: code page 932, or UTF-8 or UTF-16 with a byte order mark.
enum class Encoding { CodePage932, Utf8, Utf16LE, Utf16BE };

// Counts and indices of a list are 16-bit signed values.
inline constexpr int kMaxFaces = 32767;

// Faces kept as one text and where each lies in it: reading and showing a long list copies and
// allocates no face until one is used.
class FaceText {
public:
    FaceText() = default;
    // Splits text into faces: a line ends at CR LF, CR or a lone LF. A terminator at the very
    // end adds no empty face; a last line without one is still a face.
    explicit FaceText(std::u16string text);

    size_t size() const { return spans_.size(); }
    std::u16string_view at(size_t i) const
    {
        return std::u16string_view(text_).substr(spans_[i].start, spans_[i].length);
    }
    FaceList toList() const;
    // The faces each followed by CR LF, as a face list file holds them.
    std::u16string lines() const;

    void append(std::u16string_view face);
    void replace(size_t i, std::u16string_view face);
    void remove(size_t i);
    // Keeps the first `count` faces.
    void truncate(size_t count);
    void clear() { *this = FaceText(); }
    // The text units held, the faces' own and those of faces replaced or removed since.
    size_t unitsHeld() const { return text_.size(); }
    // The encoding of the file the faces were read from, which a save keeps.
    Encoding encoding() const { return encoding_; }
    void setEncoding(Encoding encoding) { encoding_ = encoding; }

private:
    // Drops the text of replaced and removed faces once it outweighs the faces themselves, so
    // that memory stays a small multiple of the faces however long the editing goes on.
    void compactIfWasteful();

    struct Span {
        size_t start;
        size_t length;
    };
    std::u16string text_;
    std::vector<Span> spans_;
    size_t live_ = 0; // units of text_ that belong to faces
    Encoding encoding_ = Encoding::CodePage932;
};

} // namespace faces
