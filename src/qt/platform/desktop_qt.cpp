// Systems without the Windows API: Qt changes the window's stacking flag.
#include "desktop.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QIdentityProxyModel>
#include <QTreeView>
#include <QWidget>
#include <QWindow>

namespace {

// Sizes and dates in Japanese, as the dialog's other texts: the file system model writes them in
// the system's language.
class JapaneseFileDetails : public QIdentityProxyModel {
public:
    using QIdentityProxyModel::QIdentityProxyModel;
    QVariant data(const QModelIndex& index, int role) const override
    {
        const auto* files = qobject_cast<QFileSystemModel*>(sourceModel());
        if (role != Qt::DisplayRole || !files || (index.column() != 1 && index.column() != 3))
            return QIdentityProxyModel::data(index, role);
        const QLocale japanese(QLocale::Japanese, QLocale::Japan);
        const QFileInfo info = files->fileInfo(mapToSource(index));
        if (index.column() == 3)
            return japanese.toString(info.lastModified(), QLocale::ShortFormat);
        return info.isDir() ? QVariant() : japanese.formattedDataSize(info.size());
    }
};

} // namespace

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
    dialog.setProxyModel(new JapaneseFileDetails(&dialog));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(filters);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    if (!filters.isEmpty())
        dialog.selectNameFilter(filters.first());
    // Wide enough for the name, size, type and date columns, each shown whole.
    dialog.resize(760, 440);
    if (auto* files = dialog.findChild<QTreeView*>(QStringLiteral("treeView")))
        files->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace platform
