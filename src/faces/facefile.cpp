#include "facefile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <memory>
#include <vector>

namespace faces {

FaceList splitLines(QStringView text)
{
    FaceList faces;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        faces.append(text.sliced(start, i - start).toString());
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        faces.append(text.sliced(start).toString());
    return faces;
}

QByteArray serialize(const FaceList& faces)
{
    if (faces.isEmpty())
        return {};
    // Faces hold no line breaks, so encoding the joined text decides for the whole file at once.
    return encodeText(QString(faces.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

std::optional<FaceList> readFaceFile(const QString& path, QString* reason, Detection detection)
{
    std::optional<FaceList> faces = readTextFile(path, reason, detection);
    if (faces && faces->size() > kMaxFaces) {
        *reason = QStringLiteral("顔文字が多すぎます（%1 個。扱えるのは %2 個までです）。")
                      .arg(faces->size())
                      .arg(kMaxFaces);
        return std::nullopt;
    }
    return faces;
}

std::optional<FaceList> readTextFile(const QString& path, QString* reason, Detection detection)
{
    const QFileInfo info(path);
    QFile file(path);
    if (!info.exists()) {
        *reason = QStringLiteral("ファイルが見つかりません。");
        return std::nullopt;
    }
    if (info.isDir()) {
        *reason = QStringLiteral("ファイルではなくフォルダーです。");
        return std::nullopt;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *reason = QStringLiteral("ファイルを開けません（%1）。").arg(file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *reason = QStringLiteral("ファイルを読み込めません（%1）。").arg(file.errorString());
        return std::nullopt;
    }
    return splitLines(decodeText(bytes, detection));
}

bool writeFaceFiles(const QList<FileContent>& files, QString* failedPath, QString* reason)
{
    std::vector<std::unique_ptr<QSaveFile>> pending;
    for (const FileContent& content : files) {
        auto& file = pending.emplace_back(std::make_unique<QSaveFile>(content.path));
        const QByteArray bytes = serialize(content.faces);
        if (!file->open(QIODevice::WriteOnly) || file->write(bytes) != bytes.size()) {
            *failedPath = content.path;
            *reason = QStringLiteral("ファイルに書き込めません（%1）。").arg(file->errorString());
            return false; // uncommitted temporaries are removed with their QSaveFile
        }
    }
    // Every file is now complete on disk; replacing each is a rename. Keep the old bytes of the
    // files already replaced, to put them back should a later rename fail.
    QList<std::optional<QByteArray>> previous;
    for (qsizetype i = 0; i < files.size(); ++i) {
        QFile old(files[i].path);
        previous.append(old.open(QIODevice::ReadOnly) ? std::optional(old.readAll()) : std::nullopt);
        if (pending[i]->commit())
            continue;
        *failedPath = files[i].path;
        *reason = QStringLiteral("ファイルを置き換えられません（%1）。").arg(pending[i]->errorString());
        for (qsizetype j = 0; j < i; ++j) {
            if (!previous[j]) {
                QFile::remove(files[j].path);
                continue;
            }
            QSaveFile restore(files[j].path);
            if (restore.open(QIODevice::WriteOnly))
                restore.write(*previous[j]);
            restore.commit();
        }
        return false;
    }
    return true;
}

QString applicationFolder()
{
    const QString canonical = QFileInfo(QCoreApplication::applicationFilePath()).canonicalPath();
    return canonical.isEmpty() ? QCoreApplication::applicationDirPath() : canonical;
}

QString faceFilePath(const QString& folder, const char* fileName)
{
    return QDir(folder).filePath(QString::fromLatin1(fileName));
}

} // namespace faces
