#include "dialogs.h"
#include "environment.h"
#include "facefile.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nikomaru"));
    QApplication::setApplicationVersion(QStringLiteral("1.10"));
    // The program ends when no window is loaded once a handler has returned, not when the last
    // window closes: the editor's OK closes both windows and opens the main one again.
    QApplication::setQuitOnLastWindowClosed(false);
    installAppearance(app);

    SystemDialogs dialogs;
    MainWindow mainWindow({ faces::applicationFolder(), faces::userDataFolder() }, dialogs);
    QObject::connect(&mainWindow, &MainWindow::allWindowsUnloaded, &app, &QCoreApplication::quit);
    QObject::connect(&mainWindow, &MainWindow::fatalError, &app, [] { QCoreApplication::exit(1); });
    if (!mainWindow.load())
        return 1;
    return QApplication::exec();
}
