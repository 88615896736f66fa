// Presses the editor's OK over and over, moving one face from the pool to the current list
// each time, until it is killed. Usage: crash_driver FOLDER
#include "fakedialogs.h"
#include "listbox.h"
#include "listeditor.h"
#include "mainwindow.h"

#include <QApplication>
#include <QPushButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    FakeDialogs dialogs;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    MainWindow mainWindow({ folder, folder + "/user" }, dialogs);
    if (!mainWindow.load())
        return 1;
    auto* edit = mainWindow.findChild<QPushButton*>(QStringLiteral("editButton"));
    for (;;) {
        edit->click();
        ListEditor* editor = mainWindow.editor();
        auto* pool = editor->findChild<ListBox*>(QStringLiteral("poolList"));
        if (pool->count() == 0)
            return 0;
        pool->setListIndex(0);
        editor->findChild<QPushButton*>(QStringLiteral("moveToCurrentButton"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!dialogs.shown.isEmpty())
            return 3;
    }
}
