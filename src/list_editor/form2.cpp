#include "form2.h"

#include "buildinfo.h"
#include "controls.h"
#include "dialogs.h"
#include "facefile.h"
#include "form1.h"
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

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

} // namespace

Form2::Form2(Form1& form1, const QString& applicationFolder, Dialogs& dialogs)
    : FixedWindow(QStringLiteral("Nikomaru リスト編集"), twips::size(5295, 5625), DefaultButton::None)
    , form1_(form1)
    , folder_(applicationFolder)
    , dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Form2"));
    setAttribute(Qt::WA_DeleteOnClose);

    // Created in tab order; the labels never take the focus.
    List1 = controls::list(
        this, "List1", QStringLiteral("只今のリスト"), twips::rect(0, 330, 1875, 4560), kHorizontalExtent);
    List2 = controls::list(this, "List2", QStringLiteral("リストに追加できる顔文字"),
        twips::rect(3450, 330, 1875, 4560), kHorizontalExtent);
    Label1 = makeLabel(this, "Label1", QStringLiteral("只今のリスト："), twips::rect(150, 120, 1185, 165));
    Label2 = makeLabel(this, "Label2", QStringLiteral("リストに追加できる顔文字："), twips::rect(3210, 90, 2115, 195));
    Command1 = controls::button(this, "Command1", QStringLiteral("削除>>"), twips::rect(1920, 360, 1455, 375));
    Command2 = controls::button(this, "Command2", QStringLiteral("<<追加"), twips::rect(1920, 900, 1455, 375));
    Command3 = controls::button(this, "Command3", QStringLiteral("新しく作る"), twips::rect(1920, 1470, 1455, 375));
    Command4 = controls::button(this, "Command4", QStringLiteral("上に"), twips::rect(1920, 2640, 1455, 375));
    Command5 = controls::button(this, "Command5", QStringLiteral("下に"), twips::rect(1920, 3210, 1455, 375));
    Command6 = controls::button(this, "Command6", QStringLiteral("リストから抹消"), twips::rect(1920, 2040, 1455, 375));
    Command7 = controls::button(this, "Command7", QStringLiteral("OK"), twips::rect(1110, 5130, 1605, 465));
    Command8 = controls::button(this, "Command8", QStringLiteral("キャンセル"), twips::rect(2700, 5130, 1605, 465));
    Command9 = controls::button(this, "Command9", QStringLiteral("インポート"), twips::rect(1920, 3810, 1455, 375));
    Command10
        = controls::button(this, "Command10", QStringLiteral("バージョン情報"), twips::rect(1890, 4380, 1455, 375));
    List1->setFocus(Qt::OtherFocusReason);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form2::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form2::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form2::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form2::Command6_Click);
    connect(Command7, &QPushButton::clicked, this, &Form2::Command7_Click);
    connect(Command8, &QPushButton::clicked, this, &Form2::Command8_Click);
    connect(Command9, &QPushButton::clicked, this, &Form2::Command9_Click);
    connect(Command10, &QPushButton::clicked, this, &Form2::Command10_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    connect(Timer1, &QTimer::timeout, this, &Form2::Timer1_Timer);
    Timer1->start(10);
}

bool Form2::Load()
{
    if (Form_Load())
        return true;
    emit fatalError();
    return false;
}

bool Form2::Form_Load()
{
    return loadFaceList(*List2, folder_, faces::kPoolFileName, dialogs_)
        && loadFaceList(*List1, folder_, faces::kCurrentFileName, dialogs_);
}

bool Form2::hasRoom(const ListBox& list)
{
    if (list.count() < faces::kMaxFaces)
        return true;
    dialogs_.message(this, kListFull);
    return false;
}

void Form2::moveSelected(ListBox& from, ListBox& to, const QString& noSelectionMessage)
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

void Form2::Command1_Click()
{
    moveSelected(*List1, *List2, kSelectFromCurrent);
}

void Form2::Command2_Click()
{
    moveSelected(*List2, *List1, kSelectFromPool);
}

void Form2::Command3_Click()
{
    std::optional<QString> face = dialogs_.input(this, QStringLiteral("顔文字を入力してください"));
    if (!face)
        return; // Cancel adds nothing
    // A face is one line: pasted line breaks must not split it when the list is written.
    face->remove(u'\r');
    face->remove(u'\n');
    if (hasRoom(*List2))
        List2->addItem(*face);
}

void Form2::Command4_Click()
{
    const int k = List1->listIndex();
    if (k <= 0) {
        dialogs_.message(this, kSelectFromCurrentToMove);
        return;
    }
    const QString face = List1->text(k);
    List1->setText(k, List1->text(k - 1));
    List1->setText(k - 1, face);
    List1->setListIndex(k - 1);
}

void Form2::Command5_Click()
{
    const int k = List1->listIndex();
    if (k < 0 || k == List1->count() - 1) {
        dialogs_.message(this, kSelectFromCurrentToMove);
        return;
    }
    const QString face = List1->text(k);
    List1->setText(k, List1->text(k + 1));
    List1->setText(k + 1, face);
    List1->setListIndex(k + 1);
}

void Form2::Command6_Click()
{
    const int row = List2->listIndex();
    const QString face = row < 0 ? QString() : List2->text(row);
    if (face.isEmpty()) {
        dialogs_.message(this,
            QStringLiteral("「リストに追加できる顔文字」から、顔文字を選択してください。\r\n"
                           "「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"));
        return;
    }
    if (dialogs_.askYesNo(this, QStringLiteral("顔文字「%1」をリストから抹消してよろしいですか？").arg(face)))
        List2->removeItem(row);
}

void Form2::Command7_Click()
{
    QString failedPath;
    QString reason;
    if (!faces::writeFaceFiles({ { faces::faceFilePath(folder_, faces::kPoolFileName), List2->items() },
                                   { faces::faceFilePath(folder_, faces::kCurrentFileName), List1->items() } },
            &failedPath, &reason)) {
        // Nothing was replaced; the edits stay here so the user can fix the cause and try again.
        dialogs_.message(this,
            QStringLiteral("顔文字のリストを保存できませんでした。\r\n%1\r\n%2\r\n"
                           "どちらのファイルも変更していません。")
                .arg(QDir::toNativeSeparators(failedPath), reason));
        return;
    }
    close();
    form1_.Unload();
    form1_.Load();
}

void Form2::Command8_Click()
{
    close();
}

void Form2::Command9_Click()
{
    dialogs_.message(this, QStringLiteral("「リストに追加できる顔文字」にインポートします。"));
    const QString filter = QStringLiteral("テキストファイル(*.txt)") + QChar(u'\0') + QStringLiteral("*.txt")
        + QChar(u'\0') + QStringLiteral("すべてのファイル(*.*)") + QChar(u'\0') + QStringLiteral("*.*") + QChar(u'\0')
        + QChar(u'\0');
    // From here on any failure ends the import silently, keeping what was appended.
    const QString path = dialogs_.openFile(this, filter, QDir::currentPath());
    if (path.isEmpty())
        return;
    QString reason;
    const auto faces = faces::readTextFile(path, &reason, faces::Detection::AnyText);
    if (!faces)
        return;
    List2->addItems(faces->mid(0, std::max(0, faces::kMaxFaces - List2->count())));
}

void Form2::Command10_Click()
{
    dialogs_.message(this,
        QStringLiteral("Nikomaru Ver1.10\r\n制作：%1\r\nE-Mail：%2\r\nURL：%3")
            .arg(QString::fromUtf8(buildinfo::kMakerName), QString::fromUtf8(buildinfo::kMakerEmail),
                QString::fromUtf8(buildinfo::kMakerUrl)));
}

void Form2::Timer1_Timer()
{
    const int k = List1->listIndex();
    Command4->setEnabled(k != 0);
    Command5->setEnabled(k != List1->count() - 1);
}
