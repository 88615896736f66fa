#pragma once

#include <QDialog>

// A top-level window of fixed size with the program's icon and a close button only (no
// minimize, no maximize). Enter activates the focused button, else the default button if the
// window has one; Escape does nothing, since the program's windows have no cancel button.
class FixedWindow : public QDialog {
    Q_OBJECT

public:
    enum class DefaultButton { Set, None };
    FixedWindow(const QString& title, QSize clientSize, DefaultButton defaultButton);
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const DefaultButton defaultButton_;
};
