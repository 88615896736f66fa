#include "listbox.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

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

    // A face dragged out is its whole text, plain.
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return QAbstractListModel::flags(index) | (index.isValid() ? Qt::ItemIsDragEnabled : Qt::NoItemFlags);
    }
    QStringList mimeTypes() const override { return { QStringLiteral("text/plain") }; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        if (indexes.size() != 1)
            return nullptr;
        auto* data = new QMimeData;
        data->setText(texts_.at(indexes.first().row()));
        return data;
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
// scrolls sideways over exactly that width. Rows share the height of one measured row, so each
// is made tall enough for a sample of what faces are written with as well: kana and kanji, and
// symbols drawn by fallback fonts whose glyphs reach past the interface font's line.
class FixedExtentDelegate : public QStyledItemDelegate {
public:
    FixedExtentDelegate(int extent, QObject* parent)
        : QStyledItemDelegate(parent)
        , extent_(extent)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (sampledHeight_ == 0 || option.font != sampledFont_) {
            QStyleOptionViewItem sample = item;
            sample.text = QStringLiteral("Ágjy(^_^)あア漢ｱﾉｼ♡•ʕᴥʔ¯ツ( ͡° ͜ʖ ͡°)Дω∀๑ㅂو✧");
            sampledHeight_ = heightFor(sample);
            sampledFont_ = option.font;
        }
        return QSize(extent_, std::max(heightFor(item), sampledHeight_));
    }

private:
    // The style's height for the row, plus what the glyphs' ink reaches beyond the line: the
    // text is centred on its line, so an overhang needs twice its size.
    static int heightFor(const QStyleOptionViewItem& item)
    {
        const QWidget* view = item.widget;
        const int styled = (view ? view->style() : QApplication::style())
                               ->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), view)
                               .height();
        QTextLayout layout(item.text, item.font);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        const QRectF ink = QFontMetricsF(item.font).tightBoundingRect(item.text);
        const qreal overhang = std::max({ 0.0, ink.bottom() - line.descent(), -ink.top() - line.ascent() });
        return styled + qCeil(2 * overhang);
    }

    int extent_;
    mutable QFont sampledFont_;
    mutable int sampledHeight_ = 0;
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

void ListBox::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    // Qt makes the first row current when a list gets the focus, and paints it as if selected;
    // without a selection nothing is current, and Down selects the first row.
    if (listIndex() < 0)
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    // The view itself would copy the current row, selected or not, and only what is shown of it.
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        return;
    }
    QListView::keyPressEvent(event);
}

void ListBox::setHorizontalExtent(int pixels)
{
    QAbstractItemDelegate* old = itemDelegate();
    setItemDelegate(new FixedExtentDelegate(pixels, this));
    if (old && old->parent() == this)
        old->deleteLater();
}
