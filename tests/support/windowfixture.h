#pragma once

#include "facefile.h"
#include "fakedialogs.h"
#include "listbox.h"
#include "listeditor.h"
#include "mainwindow.h"
#include "tempfolder.h"

#include <QPushButton>
#include <QSettings>

using L = QStringList;

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
        window = std::make_unique<MainWindow>(faces::ListFolders { folder.path(), settings.file("data") }, dialogs);
    }
    template <typename T = QWidget> T* main(const char* name) { return window->findChild<T*>(name); }
    ListEditor* editor() { return window->editor(); }
    template <typename T = QPushButton> T* edit(const char* name) { return editor()->findChild<T*>(name); }
    QString storedOption() { return QSettings("Nikomaru", "Nikomaru").value("Setting/Check", "<missing>").toString(); }
};
