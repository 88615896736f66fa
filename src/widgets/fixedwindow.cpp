#include "fixedwindow.h"

#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>

FixedWindow::FixedWindow(const QString& title, QSize clientSize, DefaultButton defaultButton)
    : QDialog(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , defaultButton_(defaultButton)
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
    // Without a default button, Enter belongs to the focused button only: a button that had the
    // focus can still be marked default after the focus moved on to a list.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && defaultButton_ == DefaultButton::None && !qobject_cast<QPushButton*>(focusWidget())) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void FixedWindow::setVisible(bool visible)
{
    QDialog::setVisible(visible);
    // QDialog makes the first button the default once it is shown; a window without one takes
    // that back. A focused button still answers Enter.
    if (visible && defaultButton_ == DefaultButton::None) {
        for (QPushButton* button : findChildren<QPushButton*>())
            button->setDefault(false);
    }
}
