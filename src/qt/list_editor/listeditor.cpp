#include "listeditor.h"

#include "buildinfo.h"
#include "clipboard.h"
#include "controls.h"
#include "corestrings.h"
#include "dialogs.h"
#include "facefile.h"
#include "mainwindow.h"
#include "twips.h"

#include <QDir>
#include <QLabel>
#include <QTimer>

namespace {

constexpr int kHorizontalExtent = 200;

const QString kSelectFromCurrent = QStringLiteral("「只今のリスト」から、顔文字を選択してください");
const QString kSelectFromPool = QStringLiteral("「リストに追加できる顔文字」から、顔文字を選択してください");
const QString kSelectFromCurrentToMove = QStringLiteral("「只今のリスト」から、顔文字を選択してください。");
const QString kListFull = QStringLiteral("リストがいっぱいのため、これ以上追加できません。\r\n"
                                         "一つのリストに入れられる顔文字は %1 個までです。")
                              .arg(faces::kMaxFaces);

const QString kChangedElsewhere = QStringLiteral("この画面を開いた後に、顔文字のリストがほかで変更されています。\r\n"
                                                 "上書きして保存してよろしいですか？");

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

} // namespace

ListEditor::ListEditor(MainWindow& mainWindow, const faces::ListFolders& folders, Dialogs& dialogs)
    : FixedWindow(QStringLiteral("Nikomaru リスト編集"), twips::size(5295, 5625), DefaultButton::None)
    , mainWindow_(mainWindow)
    , folders_(folders)
    , dialogs_(dialogs)
{
    setObjectName(QStringLiteral("listEditor"));
    setAttribute(Qt::WA_DeleteOnClose);

    // Created in tab order; the labels never take the focus.
    currentList_ = controls::list(
        this, "currentList", QStringLiteral("只今のリスト"), twips::rect(0, 330, 1875, 4560), kHorizontalExtent);
    poolList_ = controls::list(this, "poolList", QStringLiteral("リストに追加できる顔文字"),
        twips::rect(3450, 330, 1875, 4560), kHorizontalExtent);
    makeLabel(this, "currentLabel", QStringLiteral("只今のリスト："), twips::rect(150, 120, 1185, 165));
    makeLabel(this, "poolLabel", QStringLiteral("リストに追加できる顔文字："), twips::rect(3210, 90, 2115, 195));
    const auto addButton
        = [this](const char* name, const QString& caption, QRect geometry, void (ListEditor::*action)()) {
              QPushButton* button = controls::button(this, name, caption, geometry);
              connect(button, &QPushButton::clicked, this, action);
              return button;
          };
    addButton("moveToPoolButton", QStringLiteral("削除>>"), twips::rect(1920, 360, 1455, 375), &ListEditor::moveToPool);
    addButton(
        "moveToCurrentButton", QStringLiteral("<<追加"), twips::rect(1920, 900, 1455, 375), &ListEditor::moveToCurrent);
    addButton(
        "createButton", QStringLiteral("新しく作る"), twips::rect(1920, 1470, 1455, 375), &ListEditor::createFace);
    upButton_ = addButton("upButton", QStringLiteral("上に"), twips::rect(1920, 2640, 1455, 375), &ListEditor::moveUp);
    downButton_
        = addButton("downButton", QStringLiteral("下に"), twips::rect(1920, 3210, 1455, 375), &ListEditor::moveDown);
    addButton("eraseButton", QStringLiteral("リストから抹消"), twips::rect(1920, 2040, 1455, 375),
        &ListEditor::eraseFromPool);
    addButton("okButton", QStringLiteral("OK"), twips::rect(1110, 5130, 1605, 465), &ListEditor::commit);
    QPushButton* cancel
        = controls::button(this, "cancelButton", QStringLiteral("キャンセル"), twips::rect(2700, 5130, 1605, 465));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    addButton(
        "importButton", QStringLiteral("インポート"), twips::rect(1920, 3810, 1455, 375), &ListEditor::importFaces);
    addButton("versionButton", QStringLiteral("バージョン情報"), twips::rect(1890, 4380, 1455, 375),
        &ListEditor::showVersion);
    currentList_->setFocus(Qt::OtherFocusReason);
    for (ListBox* list : { currentList_, poolList_ }) {
        connect(list, &ListBox::copyRequested, this, [list] {
            if (list->listIndex() >= 0)
                platform::setClipboardText(list->text(list->listIndex()));
        });
    }

    // Polled like the selection itself may change by mouse, keyboard or any of the operations.
    auto* timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("moveButtonTimer"));
    connect(timer, &QTimer::timeout, this, &ListEditor::updateMoveButtons);
    timer->start(10);
}

bool ListEditor::load()
{
    saveFolder_ = folders_.saveFolder();
    // Not shown yet: a failure belongs to the main window, which may be kept on top.
    if (addFaceList(*poolList_, readFaceList(folders_, faces::kPoolFileName, &poolDigest_), dialogs_, &mainWindow_)
        && addFaceList(
            *currentList_, readFaceList(folders_, faces::kCurrentFileName, &currentDigest_), dialogs_, &mainWindow_)) {
        // A list saved elsewhere than it was read from replaces what is there now.
        for (const auto& [name, digest] : { std::pair { faces::kPoolFileName, &poolDigest_ },
                 std::pair { faces::kCurrentFileName, &currentDigest_ } }) {
            const faces::Path target = faces::faceFilePath(saveFolder_, name);
            if (folders_.readPath(name) != target)
                *digest = faces::fileDigest(target);
        }
        return true;
    }
    emit fatalError();
    return false;
}

bool ListEditor::hasRoom(const ListBox& list)
{
    if (list.count() < faces::kMaxFaces)
        return true;
    dialogs_.message(this, kListFull);
    return false;
}

void ListEditor::moveSelected(ListBox& from, ListBox& to, const QString& noSelectionMessage)
{
    const int row = from.listIndex();
    if (row < 0) {
        dialogs_.message(this, noSelectionMessage);
        return;
    }
    if (!hasRoom(to))
        return;
    to.addItem(from.text(row));
    from.removeItem(row);
}

void ListEditor::moveToPool()
{
    moveSelected(*currentList_, *poolList_, kSelectFromCurrent);
}

void ListEditor::moveToCurrent()
{
    moveSelected(*poolList_, *currentList_, kSelectFromPool);
}

void ListEditor::createFace()
{
    std::optional<QString> face = dialogs_.input(this, QStringLiteral("顔文字を入力してください"));
    if (!face)
        return; // Cancel adds nothing
    // A face is one line: pasted line breaks must not split it when the list is written.
    face->remove(u'\r');
    face->remove(u'\n');
    if (hasRoom(*poolList_))
        poolList_->addItem(*face);
}

void ListEditor::swapSelected(int step)
{
    const int k = currentList_->listIndex();
    const int other = k + step;
    if (k < 0 || other < 0 || other >= currentList_->count()) {
        dialogs_.message(this, kSelectFromCurrentToMove);
        return;
    }
    const QString face = currentList_->text(k);
    currentList_->setText(k, currentList_->text(other));
    currentList_->setText(other, face);
    currentList_->setListIndex(other);
}

void ListEditor::moveUp()
{
    swapSelected(-1);
}

void ListEditor::moveDown()
{
    swapSelected(+1);
}

void ListEditor::eraseFromPool()
{
    const int row = poolList_->listIndex();
    const QString face = row < 0 ? QString() : poolList_->text(row);
    if (face.isEmpty()) {
        dialogs_.message(this,
            QStringLiteral("「リストに追加できる顔文字」から、顔文字を選択してください。\r\n"
                           "「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"));
        return;
    }
    if (dialogs_.askYesNo(this, QStringLiteral("顔文字「%1」をリストから抹消してよろしいですか？").arg(face)))
        poolList_->removeItem(row);
}

bool ListEditor::save()
{
    const auto failure
        = faces::saveLists({ saveFolder_, poolList_->faces(), currentList_->faces(), poolDigest_, currentDigest_ },
            [this] { return dialogs_.askYesNo(this, kChangedElsewhere); });
    if (failure && !failure->reason.empty()) {
        // Nothing was replaced; the edits stay here so the user can fix the cause and try again.
        dialogs_.message(this,
            QStringLiteral("顔文字のリストを保存できませんでした。\r\n%1\r\n%2\r\n"
                           "どちらのファイルも変更していません。")
                .arg(displayPath(failure->path), toQString(failure->reason)));
    }
    return !failure;
}

void ListEditor::commit()
{
    if (!save())
        return;
    close();
    mainWindow_.unload();
    mainWindow_.load();
}

void ListEditor::importFaces()
{
    dialogs_.message(this, QStringLiteral("「リストに追加できる顔文字」にインポートします。"));
    const QString filter = QStringLiteral("テキストファイル(*.txt)") + QChar(u'\0') + QStringLiteral("*.txt")
        + QChar(u'\0') + QStringLiteral("すべてのファイル(*.*)") + QChar(u'\0') + QStringLiteral("*.*") + QChar(u'\0')
        + QChar(u'\0');
    // From here on any failure ends the import silently, keeping what was appended.
    const QString path = dialogs_.openFile(this, filter, QDir::currentPath());
    if (path.isEmpty())
        return;
    if (auto faces = faces::readTextFile(toPath(path), size_t(faces::kMaxFaces - poolList_->count())))
        poolList_->addFaces(std::move(*faces));
}

void ListEditor::showVersion()
{
    dialogs_.message(this,
        QStringLiteral("Nikomaru Ver1.10\r\n制作：%1\r\nE-Mail：%2\r\nURL：%3")
            .arg(QString::fromUtf8(buildinfo::kMakerName), QString::fromUtf8(buildinfo::kMakerEmail),
                QString::fromUtf8(buildinfo::kMakerUrl)));
}

void ListEditor::updateMoveButtons()
{
    const int k = currentList_->listIndex();
    upButton_->setEnabled(k != 0);
    downButton_->setEnabled(k != currentList_->count() - 1);
}
