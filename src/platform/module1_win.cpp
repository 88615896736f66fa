// Module1 on Windows: the Qt side hands the native window handle to the Windows API.
#include "module1.h"

#include "windows/module1_native.h"

#include <QWidget>

namespace Module1 {

qint32 SetAlwaysOnTop(QWidget& window, qint16 mode)
{
    return native::SetAlwaysOnTop(reinterpret_cast<HWND>(window.winId()), mode);
}

QString OpenFileDialog(QWidget* owner, const QString& filter, const QString& initialDir)
{
    const HWND handle = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
    return QString::fromStdWString(native::OpenFileDialog(handle, filter.toStdWString(), initialDir.toStdWString()));
}

} // namespace Module1
