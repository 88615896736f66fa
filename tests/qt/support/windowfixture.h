#pragma once

#include "corestrings.h"
#include "facefile.h"
#include "fakedialogs.h"
#include "listbox.h"
#include "listeditor.h"
#include "mainwindow.h"
#include "tempfolder.h"

#include <QPushButton>
#include <QSettings>

using L = QStringList;

// A face list file's bytes, as the program writes them.
inline QByteArray listBytes(const L& list)
{
    faces::FaceText text;
    for (const QString& face : list)
        text.append(toU16(face));
    return QByteArray::fromStdString(faces::serialize(text));
}

// The faces of a face list file; none when it cannot be read.
inline L storedFaces(const QString& path)
{
    std::u16string reason;
    L list;
    if (const auto text = faces::readFaceText(toPath(path), &reason))
        for (size_t i = 0; i < text->size(); ++i)
            list.append(toQString(text->at(i)));
    return list;
}

// The main window over a throw-away application folder and settings file; its boxes are
// answered by FakeDialogs.
struct WindowFixture {
    TempFolder folder, settings;
    FakeDialogs dialogs;
    std::unique_ptr<MainWindow> window;

    WindowFixture(const QByteArray& current, const QByteArray& pool)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        folder.write("kaolist2.txt", current);
        folder.write("kaolist1.txt", pool);
        window = std::make_unique<MainWindow>(
            faces::ListFolders { toPath(folder.path()), toPath(settings.file("data")) }, dialogs);
    }
    template <typename T = QWidget> T* main(const char* name) { return window->findChild<T*>(name); }
    ListEditor* editor() { return window->editor(); }
    template <typename T = QPushButton> T* edit(const char* name) { return editor()->findChild<T*>(name); }
    QString storedOption() { return QSettings("Nikomaru", "Nikomaru").value("Setting/Check", "<missing>").toString(); }
};
