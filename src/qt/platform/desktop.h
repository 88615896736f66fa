#pragma once

#include <QString>

class QWidget;

// The desktop services whose calls differ between systems; one implementation file per system.
namespace platform {

// Keeps the window above all ordinary windows, or returns it to the ordinary stacking, without
// moving, resizing or hiding it. True on success.
bool setAlwaysOnTop(QWidget& window, bool on);

// The system's open-file dialog owned by the given window. The filter is pairs of description
// and pattern, each followed by a NUL, ending in a second NUL; the first pair is preselected.
// Returns the full path of an existing file, or an empty string on cancel or failure.
QString openFileDialog(QWidget* owner, const QString& filter, const QString& initialDir);

} // namespace platform
