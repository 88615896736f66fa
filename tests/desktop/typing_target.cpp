// A text box for the desktop test to type into, as a person's other program: it writes its text
// to the file given whenever the text changes.
#include <QApplication>
#include <QFile>
#include <QLineEdit>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLineEdit box;
    box.setWindowTitle(QStringLiteral("typing"));
    box.resize(300, 40);
    QObject::connect(&box, &QLineEdit::textChanged, [path = QString::fromLocal8Bit(argv[1])](const QString& text) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.toUtf8());
    });
    box.show();
    return QApplication::exec();
}
