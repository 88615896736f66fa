// Module1 for systems without the Windows API: Qt changes the window's stacking flag.
#include "module1.h"

#include <QFileDialog>
#include <QWidget>
#include <QWindow>

namespace Module1 {

qint32 SetAlwaysOnTop(QWidget& window, qint16 mode)
{
    if (mode != 0 && mode != 1)
        return 0;
    Qt::WindowFlags flags = window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, mode == 1);
    // setWindowFlags() would hide and re-create the native window; this changes it in place.
    window.overrideWindowFlags(flags);
    if (QWindow* handle = window.windowHandle())
        handle->setFlags(flags);
    return 1;
}

QString OpenFileDialog(QWidget* owner, const QString& filter, const QString& initialDir)
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

} // namespace Module1
