// Systems without the Windows API: Qt changes the window's stacking flag.
#include "desktop.h"

#include <QFileDialog>
#include <QWidget>
#include <QWindow>

namespace platform {

bool setAlwaysOnTop(QWidget& window, bool on)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    // setWindowFlags() would hide and re-create the native window; this changes it in place.
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
    return true;
}

QString openFileDialog(QWidget* owner, const QString& filter, const QString& initialDir)
{
    // The NUL-separated pairs become Qt's ";;"-separated filters. "*.*" must also show files
    // without a dot, as it does on Windows.
    QStringList filters;
    const QStringList parts = filter.split(QChar(u'\0'));
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        QString pattern = parts[i + 1];
        pattern.replace(QStringLiteral("*.*"), QStringLiteral("*"));
        filters.append(QStringLiteral("%1 (%2)").arg(parts[i], pattern));
    }
    QFileDialog dialog(owner, QString(), initialDir);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace platform
