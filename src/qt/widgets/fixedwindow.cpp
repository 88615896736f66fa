#include "fixedwindow.h"

#include <QAccessibleWidget>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QPixmap>
#include <QPushButton>

#include "nikomaru.xpm"

namespace {

// Screen readers announce the program's windows as frames with their titles; a plain top-level
// widget would be a "filler" to them.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object)
{
    auto* window = qobject_cast<FixedWindow*>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

} // namespace

// A plain top-level widget rather than a dialog: Qt centres a dialog itself and marks the
// position as chosen by the program, so the window manager would never place it.
FixedWindow::FixedWindow(const QString& title, QSize clientSize, DefaultButton defaultButton)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , defaultButton_(defaultButton)
{
    static const bool accessible = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessible);
    setWindowTitle(title);
    setWindowIcon(QIcon(QPixmap(nikomaru))); // read in place: no image plugins are searched
    setFixedSize(clientSize);
}

void FixedWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        event->ignore(); // Escape included: the program's windows have no cancel button
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!button && defaultButton_ == DefaultButton::Set) {
        for (QPushButton* candidate : findChildren<QPushButton*>())
            button = candidate->isDefault() ? candidate : button;
    }
    if (button && button->isEnabled())
        button->click();
}

void FixedWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}
