#include "fixedwindow.h"

#include <QIcon>
#include <QKeyEvent>

FixedWindow::FixedWindow(const QString& title, QSize clientSize)
    : QDialog(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
{
    setWindowTitle(title);
    setWindowIcon(QIcon(QStringLiteral(":/nikomaru.xpm")));
    setFixedSize(clientSize);
}

void FixedWindow::keyPressEvent(QKeyEvent* event)
{
    // QDialog would reject (close) on Escape. reject() itself stays as it is: the close button
    // goes through it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
