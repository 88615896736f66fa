#include "form1.h"

#include "buildinfo.h"
#include "clipboard.h"
#include "controls.h"
#include "dialogs.h"
#include "facefile.h"
#include "form2.h"
#include "module1.h"
#include "settings.h"
#include "twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QPushButton>
#include <QTimer>

namespace {

const QString kSettingApplication = QStringLiteral("Nikomaru");
const QString kSettingSection = QStringLiteral("Setting");
const QString kSettingKey = QStringLiteral("Check");
const QString kSettingOn = QStringLiteral("True");

constexpr int kHorizontalExtent = 200;

} // namespace

Form1::Form1(const QString& applicationFolder, Dialogs& dialogs)
    : FixedWindow(QStringLiteral("Nikomaru"), twips::size(1590, 4500), DefaultButton::Set)
    , folder_(applicationFolder)
    , dialogs_(dialogs)
{
    setObjectName(QStringLiteral("Form1"));

    // Created in tab order.
    List1 = controls::list(this, "List1", QStringLiteral("顔文字"), twips::rect(0, 0, 1575, 2220), kHorizontalExtent);
    Command1 = controls::button(this, "Command1", QStringLiteral("コピー"), twips::rect(0, 2280, 1575, 645));
    Command2 = controls::button(this, "Command2", QStringLiteral("編集"), twips::rect(0, 2910, 1575, 645));
    Command3 = controls::button(this, "Command3", QStringLiteral("About"), twips::rect(0, 3540, 1575, 645));
    Check1 = new QCheckBox(QStringLiteral("常に手前に表示"), this);
    Check1->setObjectName(QStringLiteral("Check1"));
    Check1->setGeometry(twips::rect(0, 4260, 1575, 180));
    Command1->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_Click);
}

Form1::~Form1()
{
    delete editor_; // it has no parent; it must not outlive the main window
}

Form2* Form1::editor() const
{
    return editor_;
}

bool Form1::Load()
{
    if (loaded_)
        return true;
    if (!Form_Load()) {
        List1->clear();
        emit fatalError();
        return false;
    }
    loaded_ = true;
    // The focus starts on the list; a button that had it when the window was unloaded would
    // otherwise take it back on show and keep answering Enter.
    List1->setFocus(Qt::OtherFocusReason);
    Command2->setDefault(false);
    Command3->setDefault(false);
    Command1->setDefault(true);
    show();
    return true;
}

void Form1::Unload()
{
    if (!loaded_)
        return;
    Form_Unload();
    loaded_ = false;
    hide();
    List1->clear();
    Check1->setChecked(false);
    // A fresh window is an ordinary one until the option is restored.
    overrideWindowFlags(windowFlags() & ~Qt::WindowStaysOnTopHint);
    destroy();
    checkProgramEnd();
}

bool loadFaceList(ListBox& list, const QString& folder, const char* fileName, Dialogs& dialogs)
{
    const QString path = faces::faceFilePath(folder, fileName);
    QString reason;
    const auto faces = faces::readFaceFile(path, &reason);
    if (!faces) {
        dialogs.message(nullptr,
            QStringLiteral("顔文字のリストを読み込めないため、終了します。\r\n%1\r\n%2")
                .arg(QDir::toNativeSeparators(path), reason));
        return false;
    }
    list.addItems(*faces);
    return true;
}

bool Form1::Form_Load()
{
    if (!loadFaceList(*List1, folder_, faces::kCurrentFileName, dialogs_))
        return false;

    if (settings::GetSetting(kSettingApplication, kSettingSection, kSettingKey) == kSettingOn) {
        Check1->setChecked(true);
        Check1_Click(); // as a click would
    }
    return true;
}

void Form1::Form_Unload()
{
    settings::SaveSetting(
        kSettingApplication, kSettingSection, kSettingKey, Check1->isChecked() ? kSettingOn : QString());
}

void Form1::Command1_Click()
{
    const int index = List1->listIndex();
    platform::setClipboardText(index < 0 ? QString() : List1->text(index));
}

void Form1::Command2_Click()
{
    if (!editor_) {
        editor_ = new Form2(*this, folder_, dialogs_);
        connect(editor_, &QDialog::finished, this, &Form1::checkProgramEnd);
        connect(editor_, &Form2::fatalError, this, &Form1::fatalError);
        if (!editor_->Load())
            return;
        editor_->show();
        return;
    }
    // Already open: only bring it forward, with its unsaved edits.
    editor_->raise();
    editor_->activateWindow();
}

void Form1::Command3_Click()
{
    dialogs_.message(
        this, QStringLiteral("Nikomaru Ver1.02\r\n制作：%1").arg(QString::fromUtf8(buildinfo::kMakerName)));
}

void Form1::Check1_Click()
{
    Module1::SetAlwaysOnTop(*this, Check1->isChecked() ? 1 : 0);
}

void Form1::checkProgramEnd()
{
    // Runs after the current handler has returned: a handler may unload every window and
    // load one again without ending the program.
    QTimer::singleShot(0, this, [this] {
        if (!loaded_ && !(editor_ && editor_->isVisible()))
            emit allWindowsUnloaded();
    });
}

void Form1::closeEvent(QCloseEvent* event)
{
    event->accept();
    Unload();
}
