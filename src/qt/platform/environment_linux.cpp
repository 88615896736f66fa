// Linux: Wayland offers applications no way to keep a window above others; XWayland does.
#include "environment.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace platform {

void prepareEnvironment()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return; // the user chose
    const bool wayland = qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY");
    if (wayland && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace platform
