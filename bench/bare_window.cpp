// The yardstick for start-up: a plain Qt window of the main window's size, nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(106, 300);
    window.setWindowTitle(QStringLiteral("bare"));
    window.show();
    return QApplication::exec();
}
