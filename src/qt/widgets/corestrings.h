#pragma once

// Between the face list core's UTF-16 text and paths in the system's own form, and Qt's strings.

#include "facefile.h"

#include <QFile>
#include <QString>
#include <QStringView>

inline QStringView toQStringView(std::u16string_view text)
{
    return QStringView(text.data(), qsizetype(text.size()));
}

inline QString toQString(std::u16string_view text)
{
    return toQStringView(text).toString();
}

inline std::u16string_view toU16(QStringView text)
{
    return std::u16string_view(text.utf16(), size_t(text.size()));
}

// A path Qt gave (a chosen file, a folder) in the system's own form.
inline faces::Path toPath(const QString& path)
{
    return faces::Path(QFile::encodeName(path).toStdString());
}

// A path as people read it.
inline QString displayPath(const faces::Path& path)
{
    return toQString(faces::displayPath(path));
}
