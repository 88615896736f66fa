#include "listbox.h"

#include <QAbstractListModel>
#include <QStyledItemDelegate>

// The entries as plain strings: no item objects, so a list of 32,767 faces fills at once.
class ListBoxModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : texts_.size(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        return shown(texts_.at(index.row()));
    }

    const QStringList& texts() const { return texts_; }
    void append(const QStringList& texts)
    {
        if (texts.isEmpty())
            return;
        beginInsertRows({}, texts_.size(), texts_.size() + texts.size() - 1);
        texts_ += texts;
        endInsertRows();
    }
    void remove(int row)
    {
        beginRemoveRows({}, row, row);
        texts_.removeAt(row);
        endRemoveRows();
    }
    void setText(int row, const QString& text)
    {
        texts_[row] = text;
        emit dataChanged(index(row), index(row), { Qt::DisplayRole });
    }
    void clear()
    {
        beginResetModel();
        texts_.clear();
        endResetModel();
    }

private:
    // At most 200 pixels of a face are ever seen: drawing and measuring a face of megabytes
    // would stall every repaint. The face itself stays whole for copying and saving.
    static QString shown(const QString& text)
    {
        constexpr qsizetype kMaxShown = 512;
        if (text.size() <= kMaxShown)
            return text;
        return text.left(text.at(kMaxShown - 1).isHighSurrogate() ? kMaxShown - 1 : kMaxShown);
    }

    QStringList texts_;
};

namespace {

// Every row reports the extent as its width, so the rows are laid out that wide and the list
// scrolls sideways over exactly that width.
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

ListBox::ListBox(QWidget* parent)
    : QListView(parent)
    , model_(new ListBoxModel(this))
{
    setModel(model_);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setUniformItemSizes(true);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(ScrollPerPixel);
}

int ListBox::count() const
{
    return model_->rowCount();
}

QString ListBox::text(int index) const
{
    return model_->texts().at(index);
}

void ListBox::setText(int index, const QString& text)
{
    model_->setText(index, text);
}

QStringList ListBox::items() const
{
    return model_->texts();
}

void ListBox::addItems(const QStringList& texts)
{
    model_->append(texts);
}

void ListBox::removeItem(int index)
{
    model_->remove(index);
    selectionModel()->clear();
}

void ListBox::clear()
{
    model_->clear();
}

int ListBox::listIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setListIndex(int index)
{
    if (index < 0)
        selectionModel()->clear();
    else
        setCurrentIndex(model_->index(index));
}

void ListBox::setHorizontalExtent(int pixels)
{
    QAbstractItemDelegate* old = itemDelegate();
    setItemDelegate(new FixedExtentDelegate(pixels, this));
    if (old && old->parent() == this)
        old->deleteLater();
}
