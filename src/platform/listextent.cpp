#include "listextent.h"

#include <QListWidget>
#include <QStyledItemDelegate>

namespace platform {
namespace {

// Every row reports the extent as its width. The list lays its rows out at least that wide and
// scrolls sideways over exactly that width; text beyond it is cut off at the row's edge.
class FixedExtentDelegate : public QStyledItemDelegate {
public:
    FixedExtentDelegate(int extent, QObject* parent)
        : QStyledItemDelegate(parent)
        , extent_(extent)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setWidth(extent_);
        return size;
    }

private:
    int extent_;
};

} // namespace

void setHorizontalExtent(QListWidget& list, int pixels)
{
    // All rows are one line of text: measuring one row instead of every row keeps long lists fast.
    list.setUniformItemSizes(true);
    list.setTextElideMode(Qt::ElideNone);
    list.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QAbstractItemDelegate* old = list.itemDelegate();
    list.setItemDelegate(new FixedExtentDelegate(pixels, &list));
    if (old && old->parent() == &list)
        old->deleteLater();
}

} // namespace platform
