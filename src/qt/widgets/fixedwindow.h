#pragma once

#include <QWidget>

// A top-level window of fixed size with the program's icon and a close button only (no
// minimize, no maximize), placed by the window system. Enter presses the focused button, else
// the default button if the window has one; Escape does nothing.
class FixedWindow : public QWidget {
    Q_OBJECT

public:
    enum class DefaultButton { Set, None };
    FixedWindow(const QString& title, QSize clientSize, DefaultButton defaultButton);

signals:
    // The window was closed (by its close button, Alt+F4 or close()).
    void closed();

protected:
    // Gives the captions of the window's labels, buttons and check boxes the Japanese face, and
    // the sizes up to the interface font's, at which each is whole in its control. Called once the
    // controls are placed.
    void fitFonts();
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    const DefaultButton defaultButton_;
};
