#pragma once

#include <QString>

namespace platform {

// Puts plain text on the system clipboard, replacing what was there.
void setClipboardText(const QString& text);

} // namespace platform
