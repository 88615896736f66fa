#include "facefile.h"

#include "filesync.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <vector>

namespace faces {

FaceText::FaceText(QString text)
    : text_(std::move(text))
{
    const QChar* data = text_.constData();
    const qsizetype size = text_.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = data[i].unicode();
        if (c > u'\r' || (c != u'\r' && c != u'\n'))
            continue;
        spans_.push_back({ start, i - start });
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        spans_.push_back({ start, size - start });
}

FaceList FaceText::toList() const
{
    FaceList faces;
    faces.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        faces.append(at(i).toString());
    return faces;
}

void FaceText::append(QStringView face)
{
    spans_.push_back({ text_.size(), face.size() });
    text_ += face;
}

void FaceText::replace(qsizetype i, QStringView face)
{
    spans_[size_t(i)] = { text_.size(), face.size() };
    text_ += face;
}

FaceList splitLines(QStringView text)
{
    return FaceText(text.toString()).toList();
}

QByteArray serialize(const FaceList& faces)
{
    if (faces.isEmpty())
        return {};
    // Faces hold no line breaks, so encoding the joined text decides for the whole file at once.
    return encodeText(QString(faces.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

namespace {

// Opens a regular file for reading without blocking: a FIFO or a device is refused before open().
bool openRegularFile(QFile& file, QString* reason)
{
    const QFileInfo info(file.fileName()); // isFile() looks through links
    if (!info.exists())
        *reason = QStringLiteral("ファイルが見つかりません。");
    else if (info.isDir())
        *reason = QStringLiteral("ファイルではなくフォルダーです。");
    else if (!info.isFile())
        *reason = QStringLiteral("通常のファイルではありません。");
    else if (!file.open(QIODevice::ReadOnly))
        *reason = QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString());
    else
        return true;
    return false;
}

// The whole content of a face list file, at most kMaxFileBytes.
std::optional<QByteArray> readFaceFileBytes(const QString& path, QString* reason)
{
    QFile file(path);
    if (!openRegularFile(file, reason))
        return std::nullopt;
    // Read one byte past the limit: a file that grows while it is read is caught as well.
    QByteArray bytes = file.size() > kMaxFileBytes ? QByteArray() : file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *reason = QStringLiteral("ファイルを読み込めません（%1）。").arg(file.errorString());
        return std::nullopt;
    }
    if (file.size() > kMaxFileBytes || bytes.size() > kMaxFileBytes) {
        *reason = QStringLiteral("ファイルが大きすぎます（扱えるのは %1 MiB までです）。").arg(kMaxFileBytes >> 20);
        return std::nullopt;
    }
    return bytes;
}

QByteArray digestOf(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Where the bytes read so far can be cut without splitting a character: after the last line end,
// kept at a whole UTF-16 unit for a UTF-16 file.
qsizetype safeCut(const QByteArray& bytes)
{
    qsizetype cut = std::max(bytes.lastIndexOf('\n'), bytes.lastIndexOf('\r')) + 1;
    if ((bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) && cut % 2 != 0)
        ++cut;
    return std::min(cut, bytes.size());
}

// The system's reason for a failed write, in Japanese where it is one people meet.
QString writeFailure(int error, const QString& fallback)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("ディスクの空き領域が足りません");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込む権限がありません");
    case EROFS:
        return QStringLiteral("読み取り専用のファイルシステムです");
    case EFBIG:
        return QStringLiteral("ファイルが大きすぎます");
    case EIO:
        return QStringLiteral("ディスクの読み書きでエラーが起きました");
    default:
        return fallback;
    }
}

} // namespace

std::optional<FaceText> readFaceText(const QString& path, QString* reason, QByteArray* digest)
{
    const std::optional<QByteArray> bytes = readFaceFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    FaceText faces(decodeText(*bytes));
    if (faces.size() > kMaxFaces) {
        *reason = QStringLiteral("顔文字が多すぎます（%1 個。扱えるのは %2 個までです）。")
                      .arg(faces.size())
                      .arg(kMaxFaces);
        return std::nullopt;
    }
    if (digest)
        *digest = digestOf(*bytes);
    return faces;
}

std::optional<FaceList> readTextFile(const QString& path, qsizetype maxFaces)
{
    QFile file(path);
    QString reason;
    if (maxFaces <= 0 || !openRegularFile(file, &reason))
        return std::nullopt;
    // Read in doubling steps until the faces wanted are complete, so that a huge file costs no
    // more than twice what is kept.
    QByteArray bytes;
    for (qint64 want = 1 << 20;; want = std::min(want * 2, kMaxFileBytes)) {
        bytes += file.read(want - bytes.size());
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        if (bytes.size() < want || want == kMaxFileBytes) {
            FaceList faces = splitLines(decodeText(bytes, Detection::AnyText));
            if (bytes.size() == want && !file.atEnd() && !faces.isEmpty())
                faces.removeLast(); // cut off by the limit
            return faces.mid(0, maxFaces);
        }
        // Count only faces known to be whole: up to a line end, and not the last one when a
        // UTF-16 file was cut inside a line.
        const QString text = decodeText(QByteArrayView(bytes).first(safeCut(bytes)), Detection::AnyText);
        FaceList faces = splitLines(text);
        if (!text.endsWith(u'\n') && !text.endsWith(u'\r') && !faces.isEmpty())
            faces.removeLast();
        if (faces.size() >= maxFaces)
            return faces.mid(0, maxFaces);
    }
}

QByteArray fileDigest(const QString& path)
{
    QString reason;
    const std::optional<QByteArray> bytes = readFaceFileBytes(path, &reason);
    return bytes ? digestOf(*bytes) : QByteArray();
}

bool writeFaceFiles(const QList<FileContent>& files, QString* failedPath, QString* reason)
{
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const FileContent& content : files) {
        auto& file = pending.emplace_back(std::make_unique<QSaveFile>(content.path));
        const QByteArray bytes = serialize(content.faces);
        // Every byte must be on the disk before any file is replaced: a short write, a flush
        // that finds the disk full or a failed sync all stop the save here.
        errno = 0;
        int error = 0;
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size() || !file->flush())
            error = errno ? errno : -1;
        else
            error = syncFile(file->handle());
        if (error != 0) {
            *failedPath = content.path;
            *reason = QStringLiteral("ファイルに書き込めません（%1）。").arg(writeFailure(error, file->errorString()));
            return false; // uncommitted temporaries are removed with their QSaveFile
        }
    }
    // Every file is now complete on disk; replacing each is a rename. Keep the old bytes of the
    // files already replaced, to put them back should a later rename fail.
    QList<std::optional<QByteArray>> previous;
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile old(files[i].path);
        previous.append(old.open(QIODevice::ReadOnly) ? std::optional(old.readAll()) : std::nullopt);
        errno = 0;
        if (pending[i]->commit())
            continue;
        *failedPath = files[i].path;
        *reason = QStringLiteral("ファイルを置き換えられません（%1）。")
                      .arg(writeFailure(errno, pending[i]->errorString()));
        for (qsizetype j = 0; j < i; ++j) {
            if (!previous[j]) {
                QFile::remove(files[j].path);
                continue;
            }
            QSaveFile restore(files[j].path);
            if (restore.open(QIODevice::WriteOnly) && restore.write(*previous[j]) == previous[j]->size()
                && restore.flush())
                syncFile(restore.handle());
            restore.commit();
        }
        return false;
    }
    // The renames themselves become durable with the folder.
    for (const FileContent& content : files)
        syncFolder(QFileInfo(content.path).absolutePath());
    return true;
}

QString applicationFolder()
{
    const QString canonical = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return canonical.isEmpty() ? QCoreApplication::applicationDirPath() : canonical;
}

QString userDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Nikomaru"));
}

QString ListFolders::readFolder() const
{
    const bool userHasLists = QFileInfo::exists(faceFilePath(user, kPoolFileName))
        && QFileInfo::exists(faceFilePath(user, kCurrentFileName));
    return userHasLists ? user : program;
}

QString ListFolders::saveFolder() const
{
    return readFolder() == user || !QFileInfo(program).isWritable() ? user : program;
}

QString faceFilePath(const QString& folder, const char* fileName)
{
    return QDir(folder).filePath(QString::fromLatin1(fileName));
}

QString lockFilePath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("kaolist.lock"));
}

} // namespace faces
