#pragma once

#include "facelist.h"
#include "views.h"

#include <QListView>
#include <QStringList>

class FixedExtentDelegate;
class ListBoxModel;

// A single-selection list of the faces a window's model holds, like a Windows list box. Rows share one height, tall
// enough for the faces people write, so long lists show at once. The selection index is -1 when nothing is selected,
// and then no row looks selected.
class ListBox : public QListView {
    Q_OBJECT

public:
    explicit ListBox(QWidget* parent);

    int count() const;
    QStringList items() const;
    // Shows the window model's faces, which changed as said; they must outlive the list or the
    // next Reset.
    void changed(const faces::FaceText& faces, app::Change change, int row);
    // Shows no faces.
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
