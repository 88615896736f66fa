#include "fixedwindow.h"

#include "corestrings.h"
#include "fontfit.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFontInfo>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRawFont>
#include <QStyleOptionButton>

#include "nikomaru.xpm"

namespace {

// Screen readers announce the program's windows as frames with their titles; a plain top-level
// widget would be a "filler" to them.
QAccessibleInterface* accessibleWindow(const QString&, QObject* object)
{
    auto* window = qobject_cast<FixedWindow*>(object);
    return window ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

} // namespace

// A plain top-level widget rather than a dialog: Qt centres a dialog itself and marks the
// position as chosen by the program, so the window manager would never place it.
FixedWindow::FixedWindow(const QString& title, QSize clientSize, DefaultButton defaultButton)
    : QWidget(nullptr,
        Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , defaultButton_(defaultButton)
{
    static const bool accessible = (QAccessible::installFactory(accessibleWindow), true);
    Q_UNUSED(accessible);
    setWindowTitle(title);
    setWindowIcon(QIcon(QPixmap(nikomaru))); // read in place: no image plugins are searched
    setFixedSize(clientSize);
}

void FixedWindow::fitFonts()
{
    // The interface font's face first (it shows Japanese: see installAppearance), then the
    // Japanese interface faces, each looked at only when measured: that loads the font.
    QStringList faces { QApplication::font().family() };
    for (const char* face : { "IPAPGothic", "Noto Sans CJK JP", "Yu Gothic UI", "Meiryo UI", "Hiragino Sans" })
        if (!faces.contains(QLatin1String(face)))
            faces << QString::fromLatin1(face);
    std::vector<int> usable(size_t(faces.size()), -1); // installed, with kana; -1: not known yet
    // What each caption has room for: a label its own rectangle, a button or check box what its
    // style leaves beside the frame or the box.
    struct Control {
        QWidget* widget;
        QString text;
    };
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    std::vector<Control> controls;
    controls.reserve(size_t(children.size())); // the captions look into their texts
    std::vector<app::Caption> captions;
    for (QWidget* child : children) {
        QRect room = child->rect();
        QString text;
        int kind = 0;
        if (const auto* label = qobject_cast<QLabel*>(child)) {
            text = label->text();
        } else if (const auto* button = qobject_cast<QAbstractButton*>(child)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = text = button->text();
            const bool box = qobject_cast<const QCheckBox*>(button);
            kind = box ? 2 : 1;
            room = style()->subElementRect(
                box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, button);
        } else {
            continue;
        }
        controls.push_back({ child, text });
        captions.push_back({ toU16(controls.back().text), kind, room.width(), room.height() });
    }
    const int em = QFontInfo(QApplication::font()).pixelSize();
    const app::FontChoice fit = app::chooseFonts(
        size_t(faces.size()), em, 6, captions, [&](size_t face, int size, std::u16string_view text) {
            QFont font(faces[qsizetype(face)]);
            font.setPixelSize(size);
            if (usable[face] < 0)
                usable[face] = face == 0
                    || (QFontInfo(font).family() == font.family() && QRawFont::fromFont(font).supportsCharacter(U'あ'));
            const QFontMetrics metrics(font);
            return usable[face] ? app::TextSize { metrics.horizontalAdvance(toQString(text)), metrics.height() }
                                : app::TextSize { 1 << 20, 1 << 20 }; // fits nowhere
        });
    for (size_t i = 0; i < controls.size(); ++i) {
        QFont font(faces[qsizetype(fit.face)]);
        font.setPixelSize(fit.ems[i]);
        controls[i].widget->setFont(font);
    }
}

void FixedWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        event->ignore(); // Escape included: the program's windows have no cancel button
        return;
    }
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (!button && defaultButton_ == DefaultButton::Set) {
        for (QPushButton* candidate : findChildren<QPushButton*>())
            button = candidate->isDefault() ? candidate : button;
    }
    if (button && button->isEnabled())
        button->click();
}

void FixedWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closed();
}
