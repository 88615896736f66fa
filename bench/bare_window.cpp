// The yardstick for start-up: a plain Qt window of the main window's size showing ten faces in
// a list of the main list's size, nothing else.
#include <QApplication>
#include <QListWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(106, 300);
    window.setWindowTitle(QStringLiteral("bare"));
    auto* list = new QListWidget(&window);
    list->setGeometry(0, 0, 105, 148);
    for (int i = 0; i < 10; ++i)
        list->addItem(QStringLiteral("(＾▽＾)ﾉｼ %1").arg(i));
    window.show();
    return QApplication::exec();
}
