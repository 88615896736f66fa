// Presses the editor's OK over and over, moving one face from the pool to the current list
// each time, until it is killed. Usage: crash_driver FOLDER
#include "fakedialogs.h"
#include "form1.h"
#include "form2.h"
#include "listbox.h"

#include <QApplication>
#include <QPushButton>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    FakeDialogs dialogs;
    Form1 form1(QString::fromLocal8Bit(argv[1]), dialogs);
    if (!form1.Load())
        return 1;
    auto* edit = form1.findChild<QPushButton*>(QStringLiteral("Command2"));
    for (;;) {
        edit->click();
        Form2* editor = form1.editor();
        auto* pool = editor->findChild<ListBox*>(QStringLiteral("List2"));
        if (pool->count() == 0)
            return 0;
        pool->setListIndex(0);
        editor->findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("Command7"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!dialogs.shown.isEmpty())
            return 3;
    }
}
