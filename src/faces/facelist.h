#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

// The faces behind one list box, in order. A face never holds CR or LF and may be empty.
using FaceList = QStringList;

namespace faces {

// Counts and indices of a list are 16-bit signed values.
inline constexpr int kMaxFaces = 32767;

// Faces kept as one text and where each lies in it: reading and showing a long list copies and
// allocates no face until one is used.
class FaceText {
public:
    FaceText() = default;
    // Splits text into faces: a line ends at CR LF, CR or a lone LF. A terminator at the very
    // end adds no empty face; a last line without one is still a face.
    explicit FaceText(QString text);

    qsizetype size() const { return qsizetype(spans_.size()); }
    QStringView at(qsizetype i) const
    {
        return QStringView(text_).sliced(spans_[size_t(i)].start, spans_[size_t(i)].length);
    }
    FaceList toList() const;

    void append(QStringView face);
    void replace(qsizetype i, QStringView face);
    void remove(qsizetype i) { spans_.erase(spans_.begin() + i); }
    void clear() { *this = FaceText(); }

private:
    struct Span {
        qsizetype start;
        qsizetype length;
    };
    QString text_; // replaced faces stay in it unused until the list is cleared
    std::vector<Span> spans_; // appends inline, unlike QList's
};

} // namespace faces
