#include "mainwindow.h"

#include "clipboard.h"
#include "controls.h"
#include "corestrings.h"
#include "desktop.h"
#include "dialogs.h"
#include "listbox.h"
#include "listeditor.h"
#include "pasteinto.h"
#include "settings.h"
#include "texts.h"
#include "twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

std::u16string QtSettingsStore::read(
    std::u16string_view application, std::u16string_view section, std::u16string_view key)
{
    return platform::readSetting(toQString(application), toQString(section), toQString(key)).toStdU16String();
}

void QtSettingsStore::write(
    std::u16string_view application, std::u16string_view section, std::u16string_view key, std::u16string_view value)
{
    platform::writeSetting(toQString(application), toQString(section), toQString(key), toQString(value));
}

MainWindow::MainWindow(const faces::ListFolders& folders, Dialogs& dialogs)
    : FixedWindow(toQString(texts::kApplicationTitle), twips::size(1590, 4500), DefaultButton::Set)
    , dialogs_(dialogs)
    , model_(*this, folders, settings_)
{
    setObjectName(QStringLiteral("mainWindow"));

    // Created in tab order.
    faceList_ = controls::list(
        this, "faceList", toQString(texts::kFaceList), twips::rect(0, 0, 1575, 2220), app::kHorizontalExtent);
    QPushButton* copyButton
        = controls::button(this, "copyButton", toQString(texts::kCopy), twips::rect(0, 2280, 1575, 645));
    QPushButton* editButton
        = controls::button(this, "editButton", toQString(texts::kEdit), twips::rect(0, 2910, 1575, 645));
    QPushButton* aboutButton
        = controls::button(this, "aboutButton", toQString(texts::kAbout), twips::rect(0, 3540, 1575, 645));
    alwaysOnTopBox_ = new QCheckBox(toQString(texts::kAlwaysOnTop), this);
    alwaysOnTopBox_->setObjectName(QStringLiteral("alwaysOnTopBox"));
    alwaysOnTopBox_->setGeometry(twips::rect(0, 4260, 1575, 180));
    copyButton->setDefault(true);
    fitFonts();

    connect(copyButton, &QPushButton::clicked, this, [this] { model_.copy(); });
    connect(faceList_, &ListBox::copyRequested, this, [this] { model_.copy(); });
    // Quicker hands: a double-click copies the face (with Shift, into the window before), and a
    // face can be dragged into another program; neither changes the list.
    connect(faceList_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        faceList_->setListIndex(index.row());
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier)
            model_.pasteIntoPrevious();
        else
            model_.copy();
    });
    faceList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(faceList_, &QWidget::customContextMenuRequested, this, &MainWindow::showFaceMenu);
    faceList_->setDragDropMode(QAbstractItemView::DragOnly);
    faceList_->setDefaultDropAction(Qt::CopyAction);
    connect(editButton, &QPushButton::clicked, this, [this] { model_.edit(); });
    connect(aboutButton, &QPushButton::clicked, this, [this] { model_.showAbout(); });
    connect(alwaysOnTopBox_, &QCheckBox::clicked, this, [this] { model_.alwaysOnTopClicked(); });
}

MainWindow::~MainWindow()
{
    delete editor_; // it has no parent; it must not outlive the main window
}

ListEditor* MainWindow::editor() const
{
    return editor_;
}

void MainWindow::message(const std::u16string& text)
{
    // Before the window is shown (a list that cannot be read at start) the box stands alone.
    dialogs_.message(isVisible() ? this : nullptr, toQString(text));
}

bool MainWindow::askYesNo(const std::u16string& text)
{
    return dialogs_.askYesNo(this, toQString(text));
}

void MainWindow::setClipboardText(std::u16string_view text)
{
    platform::setClipboardText(toQString(text));
}

void MainWindow::showWindow()
{
    // The focus starts on the list; a button that had it when the window was unloaded would
    // otherwise take it back on show and keep answering Enter.
    faceList_->setFocus(Qt::OtherFocusReason);
    show();
}

void MainWindow::closeWindow()
{
    hide();
    faceList_->clear();
    alwaysOnTopBox_->setChecked(false);
    // A fresh window is an ordinary one until the option is restored.
    overrideWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
    destroy();
    checkProgramEnd();
}

void MainWindow::listChanged(app::Change change, int row)
{
    faceList_->changed(model_.faces(), change, row);
}

int MainWindow::selection() const
{
    return faceList_->listIndex();
}

void MainWindow::setChecked(bool checked)
{
    alwaysOnTopBox_->setChecked(checked);
}

bool MainWindow::isChecked() const
{
    return alwaysOnTopBox_->isChecked();
}

void MainWindow::setAlwaysOnTop(bool on)
{
    platform::setAlwaysOnTop(*this, on);
}

void MainWindow::pasteIntoPrevious(std::u16string_view)
{
    platform::pasteIntoPrevious(); // pastes the clipboard, which holds the text
}

void MainWindow::showFaceMenu(const QPoint& at)
{
    if (const QModelIndex index = faceList_->indexAt(at); index.isValid())
        faceList_->setListIndex(index.row());
    if (faceList_->listIndex() < 0)
        return;
    QMenu menu(this);
    connect(menu.addAction(toQString(texts::kCopy)), &QAction::triggered, this, [this] { model_.copy(); });
    QAction* paste = menu.addAction(toQString(texts::kPasteIntoPrevious));
    paste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return)); // shown; the key itself is handled below
    connect(paste, &QAction::triggered, this, [this] { model_.pasteIntoPrevious(); });
    menu.exec(faceList_->viewport()->mapToGlobal(at));
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier) && focusWidget() == faceList_)
        model_.pasteIntoPrevious();
    else
        FixedWindow::keyPressEvent(event);
}

void MainWindow::openEditor()
{
    editor_ = new ListEditor(model_, dialogs_);
    connect(editor_, &FixedWindow::closed, this, &MainWindow::checkProgramEnd);
    editor_->load();
}

bool MainWindow::isEditorOpen() const
{
    return editor_ && editor_->isVisible(); // a closed one is on its way out
}

void MainWindow::raiseEditor()
{
    editor_->raise();
    editor_->activateWindow();
}

void MainWindow::checkProgramEnd()
{
    // Runs after the current handler has returned: a handler may unload every window and
    // load one again without ending the program.
    QTimer::singleShot(0, this, [this] {
        if (!model_.isLoaded() && !isEditorOpen())
            emit allWindowsUnloaded();
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    model_.unload();
}
