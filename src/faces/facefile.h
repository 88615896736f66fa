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

// Face list files larger than this are refused before they are read.
inline constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

// Reads a whole face list file: a regular file (links resolved) of at most kMaxFileBytes with at
// most kMaxFaces faces. On failure returns nothing and sets *reason to a short Japanese sentence
// (the file is missing, is no regular file, is too long, ...). *digest, when given, identifies
// the bytes read, as fileDigest() does.
std::optional<FaceText> readFaceText(const QString& path, QString* reason, QByteArray* digest = nullptr);

// Reads any text file for import: its first maxFaces faces, reading no more of the file than
// those need (and never more than kMaxFileBytes). Nothing when it cannot be read.
std::optional<FaceList> readTextFile(const QString& path, qsizetype maxFaces);

// Identifies a file's content, to tell whether someone changed it since it was read; empty when
// the file cannot be read.
QByteArray fileDigest(const QString& path);

struct FileContent {
    QString path;
    FaceList faces;
};

// Replaces the content of every file, or of none: each is written in full to a temporary file
// beside it and forced to the disk before any is renamed over its file, so a failure, a crash or
// a power cut never leaves a file truncated or half written. On failure returns false, sets
// *failedPath and *reason (the system's reason, in Japanese where known), and leaves every file
// as it was.
bool writeFaceFiles(const QList<FileContent>& files, QString* failedPath, QString* reason);

// The folder of the running executable with links resolved, without a trailing separator.
QString applicationFolder();

// The per-user data folder for the lists: $XDG_DATA_HOME/Nikomaru on Linux, the local
// application data folder on Windows.
QString userDataFolder();

// Where the face lists live. Beside the program, as they always have; but where the user may not
// write the program's folder (a system-wide install), the user's own copies live in the user's
// data folder, as Windows does for older programs under Program Files.
struct ListFolders {
    QString program;
    QString user;
    // The user's lists when both are there, else the program's.
    QString readFolder() const;
    // The user's folder when the lists are read from there or the program's folder is not
    // writable; the program's folder otherwise.
    QString saveFolder() const;
};

// The full path of a face list file in the given folder.
QString faceFilePath(const QString& folder, const char* fileName);

// The lock file that serialises saves of the face lists in the folder across processes.
QString lockFilePath(const QString& folder);

} // namespace faces
