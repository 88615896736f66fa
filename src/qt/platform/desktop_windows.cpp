// Windows: the Qt side hands the native window handle to the Windows API.
#include "desktop.h"

#include "windows/native.h"

#include <QWidget>

namespace platform {

bool setAlwaysOnTop(QWidget& window, bool on)
{
    return native::setTopmost(reinterpret_cast<HWND>(window.winId()), on);
}

QString openFileDialog(QWidget* owner, const QString& filter, const QString& initialDir)
{
    const HWND handle = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    return QString::fromStdWString(native::openFileDialog(handle, filter.toStdWString(), initialDir.toStdWString()));
}

} // namespace platform
