#include "listbox.h"

#include "corestrings.h"
#include "textcodec.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QMimeData>
#include <QRawFont>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <array>
#include <bitset>

// The entries as one text: no item objects and no string a face, so a list of 32,767 faces
// fills at once.
class ListBoxModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // Views see the faces shown so far: a long list's rows reach the view after its first screen.
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : shown_; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
            return {};
        // At most 200 pixels of a face are ever seen: drawing and measuring a face of megabytes
        // would stall every repaint. The face itself stays whole for copying and saving.
        constexpr qsizetype kMaxShown = 512;
        // Bytes the list file kept as they were show as U+FFFD.
        const QStringView face = toQStringView(faces_->at(size_t(index.row())));
        const QStringView row = face.size() <= kMaxShown
            ? face
            : face.first(face.at(kMaxShown - 1).isHighSurrogate() ? kMaxShown - 1 : kMaxShown);
        return toQString(faces::displayText(toU16(row)));
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
        data->setText(toQString(faces::displayText(faces_->at(size_t(indexes.first().row())))));
        return data;
    }

    const faces::FaceText& faces() const { return *faces_; }
    void reset(const faces::FaceText* faces)
    {
        beginResetModel();
        faces_ = faces ? faces : &kNoFaces;
        shown_ = 0;
        endResetModel();
    }
    // Rows up to `count` that views see; faces beyond are not shown yet.
    void show(int count)
    {
        count = int(std::min(size_t(count), faces_->size()));
        if (count <= shown_)
            return;
        beginInsertRows({}, shown_, count - 1);
        shown_ = count;
        endInsertRows();
    }
    void removed(int row) // already gone from the faces
    {
        if (row >= shown_)
            return;
        beginRemoveRows({}, row, row);
        --shown_;
        endRemoveRows();
    }
    void replaced(int row) { emit dataChanged(index(row), index(row), { Qt::DisplayRole }); }

private:
    static inline const faces::FaceText kNoFaces;
    const faces::FaceText* faces_ = &kNoFaces; // the window's model owns them
    int shown_ = 0;
};

// Every row reports the extent as its width, so the rows are laid out that wide and the list
// scrolls sideways over exactly that width. Rows share the height of one measured row, so the
// measure covers kana and kanji and every other character the list holds: symbols drawn by
// fallback fonts can reach past the interface font's line.
class FixedExtentDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setExtent(int extent) { extent_ = extent; }
    // Adds the characters of the text that the sample lacks; true when there were any.
    bool sample(QStringView face)
    {
        bool added = false;
        const char16_t* units = face.utf16();
        for (qsizetype i = 0; i < face.size() && sampled_.size() < kMaxSampled; ++i) {
            const char16_t c = units[i];
            if (c < 0x80 || (kCommonBlocks[c >> 8] && c < 0xFFF0))
                continue; // ASCII, kana, kanji and full-width forms: measured by the fixed sample
            const bool pair = QChar::isHighSurrogate(c) && i + 1 < face.size() && QChar::isLowSurrogate(units[i + 1]);
            const char32_t point = pair ? QChar::surrogateToUcs4(c, units[++i]) : c;
            if (!seen(point)) {
                sampled_ += face.sliced(i - pair, 1 + pair);
                added = true;
            }
        }
        if (added)
            sampledHeight_ = 0;
        return added;
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (sampledHeight_ == 0 || option.font != sampledFont_) {
            QStyleOptionViewItem sample = item;
            sample.text = QStringLiteral("Ágjy(^_^)あア漢ｱﾉｼ") + sampled_;
            sampledHeight_ = heightFor(sample);
            sampledFont_ = option.font;
        }
        return QSize(extent_, std::max(heightFor(item), sampledHeight_));
    }

private:
    static constexpr qsizetype kMaxSampled = 512;
    // The blocks of 256 characters that hold kana (U+30xx), kanji (U+4Exx to U+9Fxx) and the
    // full-width forms (U+FFxx).
    static constexpr std::array<bool, 256> kCommonBlocks = [] {
        std::array<bool, 256> blocks {};
        for (int block = 0x4E; block <= 0x9F; ++block)
            blocks[block] = true;
        blocks[0x30] = blocks[0xFF] = true;
        return blocks;
    }();

    // The style's height for the row, plus what the glyphs' ink reaches beyond the line: the
    // text is centred on its line, so an overhang needs twice its size. The ink is each glyph's
    // own, placed as shaped: marks stacked on a letter reach further than the font says.
    static int heightFor(const QStyleOptionViewItem& item)
    {
        const QWidget* view = item.widget;
        const int styled = (view ? view->style() : QApplication::style())
                               ->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), view)
                               .height();
        QTextLayout layout(item.text, item.font);
        layout.beginLayout();
        const QTextLine firstLine = layout.createLine();
        layout.endLayout();
        const qreal line = firstLine.height();
        qreal overhang = 0;
        for (const QGlyphRun& run : layout.glyphRuns()) {
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                const QRectF ink = run.rawFont().boundingRect(glyphs[i]).translated(positions[i]);
                if (!ink.isEmpty())
                    overhang = std::max({ overhang, -ink.top(), ink.bottom() - line });
            }
        }
        return styled + qCeil(2 * overhang);
    }

    int extent_ = 0;
    // Marks a character as sampled; true when it already was.
    bool seen(char32_t point)
    {
        if (point < seenBasic_.size()) {
            const bool was = seenBasic_[point];
            seenBasic_[point] = true;
            return was;
        }
        const bool was = seenOther_.contains(point);
        seenOther_.insert(point);
        return was;
    }

    QString sampled_; // characters of the faces outside ASCII, kana, kanji and full-width forms
    std::bitset<0x10000> seenBasic_;
    QSet<char32_t> seenOther_;
    mutable QFont sampledFont_;
    mutable int sampledHeight_ = 0;
};

ListBox::ListBox(QWidget* parent)
    : QListView(parent)
    , model_(new ListBoxModel(this))
    , delegate_(new FixedExtentDelegate(this))
{
    setModel(model_);
    setItemDelegate(delegate_);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setUniformItemSizes(true);
    // A long list lays out its first rows, is drawn, and lays out the rest in the next moments.
    setLayoutMode(Batched);
    setBatchSize(256);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollMode(ScrollPerPixel);
}

int ListBox::count() const
{
    return int(model_->faces().size());
}

QStringList ListBox::items() const
{
    QStringList items;
    for (size_t i = 0; i < model_->faces().size(); ++i)
        items.append(toQString(model_->faces().at(i)));
    return items;
}

void ListBox::changed(const faces::FaceText& faces, app::Change change, int row)
{
    switch (change) {
    case app::Change::Reset:
        model_->reset(&faces);
        painted_ = false;
        // A list not drawn yet gets the rows a first screen can show, measured and laid out before
        // it is drawn; the others once it has been, so that a long list shows as soon as a short one.
        showRows(kFirstScreenRows);
        break;
    case app::Change::Appended:
        showRows(painted_ ? count() : kFirstScreenRows);
        break;
    case app::Change::Removed:
        model_->removed(row);
        showRows(count());
        selectionModel()->clear();
        break;
    case app::Change::Replaced:
        showRows(count());
        if (delegate_->sample(toQStringView(faces.at(size_t(row)))))
            scheduleDelayedItemsLayout();
        model_->replaced(row);
        break;
    }
}

void ListBox::showRows(int to)
{
    bool grown = false;
    for (int row = model_->rowCount(); row < std::min(to, count()); ++row)
        grown |= delegate_->sample(toQStringView(model_->faces().at(size_t(row))));
    if (grown)
        scheduleDelayedItemsLayout(); // the rows' height may have grown
    model_->show(to);
}

void ListBox::paintEvent(QPaintEvent* event)
{
    QListView::paintEvent(event);
    painted_ = true;
    if (model_->rowCount() < count() && !restScheduled_) {
        restScheduled_ = true;
        QTimer::singleShot(0, this, [this] {
            restScheduled_ = false;
            showRows(count());
        });
    }
}

void ListBox::clear()
{
    model_->reset(nullptr);
    painted_ = false;
}

int ListBox::listIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void ListBox::setListIndex(int index)
{
    showRows(count());
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
    delegate_->setExtent(pixels);
    scheduleDelayedItemsLayout();
}
