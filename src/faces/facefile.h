#pragma once

#include "facelist.h"
#include "textcodec.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace faces {

inline constexpr char kPoolFileName[] = "kaolist1.txt";
inline constexpr char kCurrentFileName[] = "kaolist2.txt";

// Splits decoded text into faces: a line ends at CR LF, CR or a lone LF. A terminator at the
// very end adds no empty face; a last line without one is still a face.
FaceList splitLines(QStringView text);

// One face per line, each followed by CR LF, in code page 932 or, when a face would not
// survive it, in UTF-8 with a byte order mark.
QByteArray serialize(const FaceList& faces);

// Reads a whole face list file. On failure returns nothing and sets *reason to a short
// Japanese sentence (the file is missing, cannot be opened, is too long, ...).
std::optional<FaceList> readFaceFile(const QString& path, QString* reason, Detection detection = Detection::Strict);

// Reads any text file for import, without the list's size limit; nothing on failure.
std::optional<FaceList> readTextFile(const QString& path, QString* reason, Detection detection);

struct FileContent {
    QString path;
    FaceList faces;
};

// Replaces the content of every file, or of none: each is written in full to a temporary file
// beside it first, so a failure or a crash never leaves a file truncated or half written. On
// failure returns false, sets *failedPath and *reason, and leaves every file as it was.
bool writeFaceFiles(const QList<FileContent>& files, QString* failedPath, QString* reason);

// The folder of the running executable with links resolved, without a trailing separator.
QString applicationFolder();

// The full path of a face list file in the given folder.
QString faceFilePath(const QString& folder, const char* fileName);

} // namespace faces
