#pragma once

#include <QString>
#include <QtGlobal>

class QWidget;

// Platform procedures of the program.
namespace Module1 {

// Mode 1 keeps the window above all ordinary windows, mode 0 returns it to the ordinary
// stacking; neither moves, resizes or hides it. Any other mode does nothing and returns 0;
// otherwise non-zero means success.
qint32 SetAlwaysOnTop(QWidget& window, qint16 mode);

// The system's open-file dialog owned by the given window. The filter is pairs of
// description and pattern, each followed by a NUL, ending in a second NUL; the first pair is
// preselected. Returns the full path of an existing file, or an empty string on cancel or
// failure.
QString OpenFileDialog(QWidget* owner, const QString& filter, const QString& initialDir);

} // namespace Module1
