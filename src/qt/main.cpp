#include "dialogs.h"
#include "environment.h"
#include "facefile.h"
#include "mainwindow.h"
#include "pasteinto.h"

#include <QApplication>
#include <QTimer>

#include <future>

int main(int argc, char* argv[])
{
    platform::prepareEnvironment();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Nikomaru"));
    QApplication::setApplicationVersion(QStringLiteral("1.10"));
    // The program ends when no window is loaded once a handler has returned, not when the last
    // window closes: the editor's OK closes both windows and opens the main one again.
    QApplication::setQuitOnLastWindowClosed(false);
    const faces::ListFolders folders { faces::applicationFolder(), faces::userDataFolder() };
    // The list is read on another thread while the toolkit loads its fonts, which takes longer.
    auto current
        = std::async(std::launch::async, [folders] { return app::readFaceList(folders, faces::kCurrentFileName); });
    installAppearance(app);

    SystemDialogs dialogs;
    MainWindow mainWindow(folders, dialogs);
    QObject::connect(&mainWindow, &MainWindow::allWindowsUnloaded, &app, &QCoreApplication::quit);
    QObject::connect(&mainWindow, &MainWindow::fatalError, &app, [] { QCoreApplication::exit(1); });
    if (!mainWindow.load(current.get()))
        return 1;
    // Once the window is up: which window was active before it matters only from now on.
    QTimer::singleShot(0, &app, platform::followActiveWindow);
    return QApplication::exec();
}
