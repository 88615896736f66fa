#pragma once

#include "facelist.h"

#include <QListView>
#include <QStringList>

class FixedExtentDelegate;
class ListBoxModel;

// A single-selection list of text entries in the order they were added, like a Windows list
// box. Rows share one height, tall enough for the faces people write, so long lists show at
// once. The selection index is -1 when nothing is selected, and then no row looks selected.
class ListBox : public QListView {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    int count() const;
    QString text(int index) const;
    void setText(int index, const QString& text);
    QStringList items() const;
    // Every face, also those not shown yet.
    const faces::FaceText& faces() const;
    // Appends at the end; the selection does not change.
    void addItems(const QStringList& texts);
    void addFaces(faces::FaceText&& faces);
    void addItem(const QString& text) { addItems({ text }); }
    // Removes one entry; the entries below move up and nothing is selected afterwards.
    void removeItem(int index);
    void clear();

    int listIndex() const;
    void setListIndex(int index);

    // Scrollable sideways over exactly this width in pixels, whatever the entries' widths, as a
    // Windows list box with that horizontal extent; text beyond it is cut off.
    void setHorizontalExtent(int pixels);

signals:
    // The copy key (Ctrl+C) was pressed; what it copies is the window's to decide.
    void copyRequested();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Lets the view see the faces up to this row, with rows as tall as those faces need.
    void showRows(int to);

    static constexpr int kFirstScreenRows = 64;
    ListBoxModel* model_;
    FixedExtentDelegate* delegate_;
    bool painted_ = false; // since the list was last cleared
    bool restScheduled_ = false;
};
