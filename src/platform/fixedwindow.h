#pragma once

#include <QDialog>

// A top-level window of fixed size with the program's icon and a close button only (no
// minimize, no maximize). Enter works the dialog's buttons; Escape does nothing, since the
// program's windows have no cancel button.
class FixedWindow : public QDialog {
    Q_OBJECT

public:
    FixedWindow(const QString& title, QSize clientSize);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
