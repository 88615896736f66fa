#include "clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace platform {

void setClipboardText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

} // namespace platform
