#include "mainwindow.h"

#include "buildinfo.h"
#include "clipboard.h"
#include "controls.h"
#include "corestrings.h"
#include "desktop.h"
#include "dialogs.h"
#include "facefile.h"
#include "listbox.h"
#include "listeditor.h"
#include "pasteinto.h"
#include "settings.h"
#include "twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kSettingApplication = QStringLiteral("Nikomaru");
const QString kSettingSection = QStringLiteral("Setting");
const QString kSettingKey = QStringLiteral("Check");
const QString kSettingOn = QStringLiteral("True");

constexpr int kHorizontalExtent = 200;

} // namespace

MainWindow::MainWindow(const faces::ListFolders& folders, Dialogs& dialogs)
    : FixedWindow(QStringLiteral("Nikomaru"), twips::size(1590, 4500), DefaultButton::Set)
    , folders_(folders)
    , dialogs_(dialogs)
{
    setObjectName(QStringLiteral("mainWindow"));

    // Created in tab order.
    faceList_
        = controls::list(this, "faceList", QStringLiteral("顔文字"), twips::rect(0, 0, 1575, 2220), kHorizontalExtent);
    copyButton_ = controls::button(this, "copyButton", QStringLiteral("コピー"), twips::rect(0, 2280, 1575, 645));
    editButton_ = controls::button(this, "editButton", QStringLiteral("編集"), twips::rect(0, 2910, 1575, 645));
    aboutButton_ = controls::button(this, "aboutButton", QStringLiteral("About"), twips::rect(0, 3540, 1575, 645));
    alwaysOnTopBox_ = new QCheckBox(QStringLiteral("常に手前に表示"), this);
    alwaysOnTopBox_->setObjectName(QStringLiteral("alwaysOnTopBox"));
    alwaysOnTopBox_->setGeometry(twips::rect(0, 4260, 1575, 180));
    copyButton_->setDefault(true);

    connect(copyButton_, &QPushButton::clicked, this, &MainWindow::copySelectedFace);
    connect(faceList_, &ListBox::copyRequested, this, &MainWindow::copySelectedFace);
    // Quicker hands: a double-click copies the face, and a face can be dragged into another
    // program; neither changes the list.
    connect(faceList_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        platform::setClipboardText(faceList_->text(index.row()));
        if (QGuiApplication::keyboardModifiers() & Qt::ShiftModifier) // and with Shift, into the window before
            platform::pasteIntoPrevious();
    });
    faceList_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(faceList_, &QWidget::customContextMenuRequested, this, &MainWindow::showFaceMenu);
    faceList_->setDragDropMode(QAbstractItemView::DragOnly);
    faceList_->setDefaultDropAction(Qt::CopyAction);
    connect(editButton_, &QPushButton::clicked, this, &MainWindow::openEditor);
    connect(aboutButton_, &QPushButton::clicked, this, &MainWindow::showAbout);
    connect(alwaysOnTopBox_, &QCheckBox::clicked, this, &MainWindow::applyAlwaysOnTop);
}

MainWindow::~MainWindow()
{
    delete editor_; // it has no parent; it must not outlive the main window
}

ListEditor* MainWindow::editor() const
{
    return editor_;
}

bool MainWindow::load()
{
    return loaded_ || load(readFaceList(folders_, faces::kCurrentFileName));
}

bool MainWindow::load(FaceListRead&& current)
{
    if (loaded_)
        return true;
    if (!readListAndOption(std::move(current))) {
        faceList_->clear();
        emit fatalError();
        return false;
    }
    loaded_ = true;
    // The focus starts on the list; a button that had it when the window was unloaded would
    // otherwise take it back on show and keep answering Enter.
    faceList_->setFocus(Qt::OtherFocusReason);
    show();
    return true;
}

void MainWindow::unload()
{
    if (!loaded_)
        return;
    storeOption();
    loaded_ = false;
    hide();
    faceList_->clear();
    alwaysOnTopBox_->setChecked(false);
    // A fresh window is an ordinary one until the option is restored.
    overrideWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
    destroy();
    checkProgramEnd();
}

FaceListRead readFaceList(const faces::ListFolders& folders, const char* fileName, faces::Digest* digest)
{
    folders.finishInterruptedSaves();
    FaceListRead read { folders.readPath(fileName), std::nullopt, {} };
    read.faces = faces::readFaceText(read.path, &read.reason, digest);
    return read;
}

bool addFaceList(ListBox& list, FaceListRead&& read, Dialogs& dialogs, QWidget* owner)
{
    if (!read.faces) {
        dialogs.message(owner,
            QStringLiteral("顔文字のリストを読み込めないため、終了します。\r\n%1\r\n%2")
                .arg(displayPath(read.path), toQString(read.reason)));
        return false;
    }
    list.addFaces(std::move(*read.faces));
    return true;
}

bool MainWindow::readListAndOption(FaceListRead&& current)
{
    if (!addFaceList(*faceList_, std::move(current), dialogs_, nullptr)) // no window is shown yet
        return false;

    if (platform::readSetting(kSettingApplication, kSettingSection, kSettingKey) == kSettingOn) {
        alwaysOnTopBox_->setChecked(true);
        applyAlwaysOnTop(); // as a click would
    }
    return true;
}

void MainWindow::storeOption()
{
    platform::writeSetting(
        kSettingApplication, kSettingSection, kSettingKey, alwaysOnTopBox_->isChecked() ? kSettingOn : QString());
}

void MainWindow::copySelectedFace()
{
    const int index = faceList_->listIndex();
    platform::setClipboardText(index < 0 ? QString() : faceList_->text(index));
}

void MainWindow::pasteSelectedFace()
{
    if (faceList_->listIndex() < 0)
        return;
    copySelectedFace(); // on the clipboard too, to paste again
    platform::pasteIntoPrevious();
}

void MainWindow::showFaceMenu(const QPoint& at)
{
    if (const QModelIndex index = faceList_->indexAt(at); index.isValid())
        faceList_->setListIndex(index.row());
    if (faceList_->listIndex() < 0)
        return;
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("コピー")), &QAction::triggered, this, &MainWindow::copySelectedFace);
    QAction* paste = menu.addAction(QStringLiteral("前のウィンドウに貼り付け"));
    paste->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_Return)); // shown; the key itself is handled below
    connect(paste, &QAction::triggered, this, &MainWindow::pasteSelectedFace);
    menu.exec(faceList_->viewport()->mapToGlobal(at));
}

void MainWindow::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & Qt::ShiftModifier) && focusWidget() == faceList_)
        pasteSelectedFace();
    else
        FixedWindow::keyPressEvent(event);
}

void MainWindow::openEditor()
{
    if (!editor_ || !editor_->isVisible()) { // a closed one is on its way out
        editor_ = new ListEditor(*this, folders_, dialogs_);
        connect(editor_, &FixedWindow::closed, this, &MainWindow::checkProgramEnd);
        connect(editor_, &ListEditor::fatalError, this, &MainWindow::fatalError);
        if (!editor_->load())
            return;
        editor_->show();
        return;
    }
    // Already open: only bring it forward, with its unsaved edits.
    editor_->raise();
    editor_->activateWindow();
}

void MainWindow::showAbout()
{
    dialogs_.message(
        this, QStringLiteral("Nikomaru Ver1.02\r\n制作：%1").arg(QString::fromUtf8(buildinfo::kMakerName)));
}

void MainWindow::applyAlwaysOnTop()
{
    platform::setAlwaysOnTop(*this, alwaysOnTopBox_->isChecked());
}

void MainWindow::checkProgramEnd()
{
    // Runs after the current handler has returned: a handler may unload every window and
    // load one again without ending the program.
    QTimer::singleShot(0, this, [this] {
        if (!loaded_ && !(editor_ && editor_->isVisible()))
            emit allWindowsUnloaded();
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    unload();
}
