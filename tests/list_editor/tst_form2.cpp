#include "fakedialogs.h"
#include "form1.h"
#include "form2.h"
#include "tempfolder.h"

#include "listbox.h"
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSelectCurrent = u"「只今のリスト」から、顔文字を選択してください"_s;
const QString kSelectCurrentDot = u"「只今のリスト」から、顔文字を選択してください。"_s;
const QString kSelectPool = u"「リストに追加できる顔文字」から、顔文字を選択してください"_s;
const QString kEraseNothing = u"「リストに追加できる顔文字」から、顔文字を選択してください。\r\n"
                              u"「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"_s;

QStringList texts(const ListBox* list)
{
    return list->items();
}

int selected(const ListBox* list)
{
    return list->listIndex();
}

QByteArray lines(const QStringList& faces)
{
    QByteArray bytes;
    for (const QString& face : faces)
        bytes += face.toLatin1() + "\r\n";
    return bytes;
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void window();
    void keyboard();
    void operations_data();
    void operations();
    void upDownEnabling_data();
    void upDownEnabling();
    void create_data();
    void create();
    void fullList();
    void editTwiceKeepsEdits();
    void loadFailureEndsTheProgram();
    void commit();
    void commitEmptyLists();
    void commitWhileMainWindowClosed();
    void cancelWritesNothing();
    void failedCommitKeepsEdits();
    void versionNotice();
    void import_data();
    void import();
    void importStopsAtCapacity();

private:
    void open(const QStringList& current, const QStringList& pool);
    ListBox* list(const char* name) { return editor()->findChild<ListBox*>(QLatin1String(name)); }
    QPushButton* button(const char* name) { return editor()->findChild<QPushButton*>(QLatin1String(name)); }
    Form2* editor() { return form1_->editor(); }

    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<TempFolder> settingsDir_;
    FakeDialogs dialogs_;
    std::unique_ptr<Form1> form1_;
};

void TestForm2::init()
{
    folder_ = std::make_unique<TempFolder>();
    settingsDir_ = std::make_unique<TempFolder>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_->path());
    dialogs_ = FakeDialogs();
}

void TestForm2::cleanup()
{
    form1_.reset();
}

void TestForm2::open(const QStringList& current, const QStringList& pool)
{
    folder_->write("kaolist2.txt", lines(current));
    folder_->write("kaolist1.txt", lines(pool));
    form1_ = std::make_unique<Form1>(folder_->path(), dialogs_);
    QVERIFY(form1_->Load());
    form1_->findChild<QPushButton*>("Command2")->click();
    QVERIFY(editor());
    QVERIFY(editor()->isVisible());
}

void TestForm2::window()
{
    open({}, {});
    QCOMPARE(editor()->windowTitle(), u"Nikomaru リスト編集"_s);
    QCOMPARE(editor()->size(), QSize(353, 375));
    QCOMPARE(editor()->minimumSize(), editor()->maximumSize());
    QVERIFY(!editor()->parentWidget()); // modeless, no owner
    for (const QPushButton* button : editor()->findChildren<QPushButton*>())
        QVERIFY2(!button->isDefault(), qPrintable(button->objectName()));
    for (const QLabel* label : editor()->findChildren<QLabel*>())
        QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    // The pool list and its label run two pixels past the window's right edge.
    QCOMPARE(list("List2")->geometry().right() - editor()->width(), 1);
    QCOMPARE(editor()->findChild<QLabel*>("Label2")->geometry().right() - editor()->width(), 1);
}

void TestForm2::keyboard()
{
    open({ "a", "b" }, { "p" });
    QVERIFY(QTest::qWaitForWindowActive(editor()));
    QCOMPARE(QApplication::focusWidget(), list("List1"));
    const QStringList order { "List2", "Command1", "Command2", "Command3", "Command4", "Command5", "Command6",
        "Command7", "Command8", "Command9", "Command10", "List1" };
    for (const QString& next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    // Enter on a list and Escape anywhere do nothing.
    list("List1")->setListIndex(1);
    for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape })
        QTest::keyClick(list("List1"), key);
    QTest::keyClick(list("List2"), Qt::Key_Return);
    QCOMPARE(dialogs_.shown, QStringList());
    QCOMPARE(texts(list("List1")), (QStringList { "a", "b" }));
    QVERIFY(editor()->isVisible());
    // Enter on a focused button activates it.
    button("Command10")->setFocus();
    QTest::keyClick(button("Command10"), Qt::Key_Return);
    QCOMPARE(dialogs_.shown.size(), 1);
}

void TestForm2::operations_data()
{
    QTest::addColumn<QStringList>("current");
    QTest::addColumn<QStringList>("pool");
    QTest::addColumn<int>("select1");
    QTest::addColumn<int>("select2");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("expectedCurrent");
    QTest::addColumn<QStringList>("expectedPool");
    QTest::addColumn<int>("expectedSelect1");
    QTest::addColumn<int>("expectedSelect2");
    QTest::addColumn<QStringList>("messages");

    const QStringList five { "1", "2", "3", "4", "5" };
    const QStringList pool { "p", "q" };
    QTest::newRow("move to pool without selection")
        << five << pool << -1 << 0 << "Command1" << false << five << pool << -1 << 0 << QStringList { kSelectCurrent };
    QTest::newRow("move the third of five to the pool")
        << five << pool << 2 << 0 << "Command1" << false << QStringList { "1", "2", "4", "5" }
        << QStringList { "p", "q", "3" } << -1 << 0 << QStringList();
    QTest::newRow("move to current without selection")
        << five << pool << 1 << -1 << "Command2" << false << five << pool << 1 << -1 << QStringList { kSelectPool };
    QTest::newRow("move to current") << QStringList { "a" } << pool << 0 << 0 << "Command2" << false
                                     << QStringList { "a", "p" } << QStringList { "q" } << 0 << -1 << QStringList();
    QTest::newRow("empty face moves like any other")
        << QStringList { "a", "" } << pool << 1 << -1 << "Command1" << false << QStringList { "a" }
        << QStringList { "p", "q", "" } << -1 << -1 << QStringList();
    QTest::newRow("a face on both lists moves all the same")
        << QStringList { "p" } << pool << 0 << -1 << "Command1" << false << QStringList()
        << QStringList { "p", "q", "p" } << -1 << -1 << QStringList();
    QTest::newRow("up the second") << five << pool << 1 << -1 << "Command4" << false
                                   << QStringList { "2", "1", "3", "4", "5" } << pool << 0 << -1 << QStringList();
    QTest::newRow("up the first") << five << pool << 0 << -1 << "Command4" << false << five << pool << 0 << -1
                                  << QStringList { kSelectCurrentDot };
    QTest::newRow("up without selection") << five << pool << -1 << -1 << "Command4" << false << five << pool << -1 << -1
                                          << QStringList { kSelectCurrentDot };
    QTest::newRow("up in an empty list") << QStringList() << pool << -1 << -1 << "Command4" << false << QStringList()
                                         << pool << -1 << -1 << QStringList { kSelectCurrentDot };
    QTest::newRow("down the fourth") << five << pool << 3 << -1 << "Command5" << false
                                     << QStringList { "1", "2", "3", "5", "4" } << pool << 4 << -1 << QStringList();
    QTest::newRow("down the last") << five << pool << 4 << -1 << "Command5" << false << five << pool << 4 << -1
                                   << QStringList { kSelectCurrentDot };
    QTest::newRow("down without selection") << five << pool << -1 << -1 << "Command5" << false << five << pool << -1
                                            << -1 << QStringList { kSelectCurrentDot };
    QTest::newRow("erase answered yes") << five << pool << -1 << 0 << "Command6" << true << five << QStringList { "q" }
                                        << -1 << -1
                                        << QStringList { u"顔文字「p」をリストから抹消してよろしいですか？"_s };
    QTest::newRow("erase answered no") << five << pool << -1 << 1 << "Command6" << false << five << pool << -1 << 1
                                       << QStringList { u"顔文字「q」をリストから抹消してよろしいですか？"_s };
    QTest::newRow("erase without selection")
        << five << pool << -1 << -1 << "Command6" << true << five << pool << -1 << -1 << QStringList { kEraseNothing };
    QTest::newRow("erase a selected empty face")
        << five << QStringList { "p", "" } << -1 << 1 << "Command6" << true << five << QStringList { "p", "" } << -1
        << 1 << QStringList { kEraseNothing };
}

void TestForm2::operations()
{
    QFETCH(QStringList, current);
    QFETCH(QStringList, pool);
    QFETCH(int, select1);
    QFETCH(int, select2);
    QFETCH(QString, button);
    QFETCH(bool, yes);
    open(current, pool);
    list("List1")->setListIndex(select1);
    list("List2")->setListIndex(select2);
    dialogs_.yesNoAnswers.enqueue(yes);
    this->button(button.toLatin1())->click();
    QTEST(texts(list("List1")), "expectedCurrent");
    QTEST(texts(list("List2")), "expectedPool");
    QTEST(selected(list("List1")), "expectedSelect1");
    QTEST(selected(list("List2")), "expectedSelect2");
    QTEST(dialogs_.shown, "messages");
    QCOMPARE(folder_->read("kaolist2.txt"), lines(current)); // edits stay in memory
}

void TestForm2::upDownEnabling_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("select");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("down");
    QTest::newRow("first") << 3 << 0 << false << true;
    QTest::newRow("middle") << 3 << 1 << true << true;
    QTest::newRow("last") << 3 << 2 << true << false;
    QTest::newRow("single entry selected") << 1 << 0 << false << false;
    QTest::newRow("no selection") << 3 << -1 << true << true;
    QTest::newRow("empty list") << 0 << -1 << true << false;
}

void TestForm2::upDownEnabling()
{
    QFETCH(int, count);
    QFETCH(int, select);
    QStringList current;
    for (int i = 0; i < count; ++i)
        current.append(QString::number(i));
    open(current, {});
    list("List1")->setListIndex(select);
    QFETCH(bool, up);
    QFETCH(bool, down);
    QTRY_COMPARE_WITH_TIMEOUT(button("Command4")->isEnabled(), up, 200);
    QTRY_COMPARE_WITH_TIMEOUT(button("Command5")->isEnabled(), down, 200);
}

void TestForm2::create_data()
{
    QTest::addColumn<QStringList>("answers"); // "<cancel>" cancels the box
    QTest::addColumn<QStringList>("expectedPool");
    QTest::newRow("typed face") << QStringList { u"(´▽｀)"_s } << QStringList { "p", u"(´▽｀)"_s };
    QTest::newRow("kept exactly as typed") << QStringList { "  a  " } << QStringList { "p", "  a  " };
    QTest::newRow("cancel adds nothing") << QStringList { "<cancel>" } << QStringList { "p" };
    QTest::newRow("OK on an empty field adds an empty face") << QStringList { "" } << QStringList { "p", "" };
    QTest::newRow("pasted line breaks do not split the face")
        << QStringList { "a\r\nb\n" } << QStringList { "p", "ab" };
}

void TestForm2::create()
{
    QFETCH(QStringList, answers);
    open({}, { "p" });
    list("List2")->setListIndex(0);
    for (const QString& answer : answers) {
        dialogs_.inputs.enqueue(answer == "<cancel>" ? std::nullopt : std::optional(answer));
        button("Command3")->click();
    }
    QTEST(texts(list("List2")), "expectedPool");
    QCOMPARE(selected(list("List2")), 0);
    QCOMPARE(dialogs_.shown, QStringList { u"顔文字を入力してください"_s });
}

void TestForm2::fullList()
{
    QStringList full;
    for (int i = 0; i < 32767; ++i)
        full.append("x");
    open({ "a" }, full);
    list("List1")->setListIndex(0);
    button("Command1")->click();
    dialogs_.inputs.enqueue(u"b"_s);
    button("Command3")->click();
    QCOMPARE(list("List2")->count(), 32767);
    QCOMPARE(texts(list("List1")), QStringList { "a" });
    QCOMPARE(dialogs_.shown.size(), 3);
    QVERIFY(dialogs_.shown[0].contains("32767"));
    QCOMPARE(dialogs_.shown[2], dialogs_.shown[0]);
}

void TestForm2::editTwiceKeepsEdits()
{
    open({ "a", "b" }, {});
    Form2* first = editor();
    list("List1")->setListIndex(0);
    button("Command1")->click();
    form1_->findChild<QPushButton*>("Command2")->click();
    QCOMPARE(editor(), first);
    QCOMPARE(texts(list("List1")), QStringList { "b" });
}

void TestForm2::loadFailureEndsTheProgram()
{
    folder_->write("kaolist2.txt", "a\r\n");
    form1_ = std::make_unique<Form1>(folder_->path(), dialogs_);
    QSignalSpy fatal(form1_.get(), &Form1::fatalError);
    QVERIFY(form1_->Load());
    form1_->findChild<QPushButton*>("Command2")->click();
    QCOMPARE(fatal.size(), 1);
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist1.txt"))));
    QVERIFY(!editor() || !editor()->isVisible());
}

void TestForm2::commit()
{
    open({ "a", "b", "c" }, { "p", "" });
    form1_->findChild<QCheckBox*>("Check1")->click();
    list("List1")->setListIndex(2);
    button("Command4")->click(); // a c b
    list("List1")->setListIndex(0);
    button("Command1")->click(); // c b; pool p, "", a
    button("Command7")->click();
    QCOMPARE(folder_->read("kaolist2.txt"), QByteArray("c\r\nb\r\n"));
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\n\r\na\r\n"));
    QVERIFY(!editor() || !editor()->isVisible());
    QVERIFY(form1_->isLoaded());
    auto* main = form1_->findChild<ListBox*>("List1");
    QCOMPARE(texts(main), (QStringList { "c", "b" }));
    QCOMPARE(selected(main), -1);
    QVERIFY(form1_->findChild<QCheckBox*>("Check1")->isChecked());
    QVERIFY(form1_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(QSettings("Nikomaru", "Nikomaru").value("Setting/Check").toString(), "True");

    // The next editor shows what was stored.
    QTRY_VERIFY(!editor());
    form1_->findChild<QPushButton*>("Command2")->click();
    QCOMPARE(texts(list("List1")), (QStringList { "c", "b" }));
}

void TestForm2::commitEmptyLists()
{
    open({}, {});
    button("Command7")->click();
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray(""));
    QCOMPARE(folder_->read("kaolist2.txt"), QByteArray(""));
    QCOMPARE(form1_->findChild<ListBox*>("List1")->count(), 0);
}

void TestForm2::commitWhileMainWindowClosed()
{
    open({ "a" }, {});
    QSignalSpy ended(form1_.get(), &Form1::allWindowsUnloaded);
    form1_->close();
    button("Command7")->click();
    QVERIFY(form1_->isLoaded());
    QVERIFY(form1_->isVisible());
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
}

void TestForm2::cancelWritesNothing()
{
    const QByteArray pool("p\r\nq"), current("\x82\xA0\r\n");
    folder_->write("kaolist1.txt", pool);
    folder_->write("kaolist2.txt", current);
    form1_ = std::make_unique<Form1>(folder_->path(), dialogs_);
    QVERIFY(form1_->Load());
    form1_->findChild<QPushButton*>("Command2")->click();
    list("List1")->setListIndex(0);
    button("Command1")->click();
    dialogs_.inputs.enqueue(u"new"_s);
    button("Command3")->click();
    button("Command8")->click();
    QCOMPARE(folder_->read("kaolist1.txt"), pool);
    QCOMPARE(folder_->read("kaolist2.txt"), current);
    QCOMPARE(form1_->findChild<ListBox*>("List1")->count(), 1);
    QTRY_VERIFY(!editor());
}

void TestForm2::failedCommitKeepsEdits()
{
    open({ "a" }, { "p" });
    list("List1")->setListIndex(0);
    button("Command1")->click();
    QFile::remove(folder_->file("kaolist2.txt"));
    QVERIFY(QDir(folder_->path()).mkdir("kaolist2.txt"));
    button("Command7")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist2.txt"))));
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\n"));
    QVERIFY(editor()->isVisible());
    QCOMPARE(texts(list("List2")), (QStringList { "p", "a" }));
    QCOMPARE(texts(form1_->findChild<ListBox*>("List1")), QStringList { "a" });
    QCOMPARE(folder_->entries().size(), 2); // no temporary left behind
}

void TestForm2::versionNotice()
{
    open({}, {});
    button("Command10")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    const QStringList lines = dialogs_.shown[0].split("\r\n");
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], "Nikomaru Ver1.10");
    QVERIFY(lines[1].startsWith(u"制作："_s));
    QVERIFY(lines[2].startsWith(u"E-Mail："_s));
    QVERIFY(lines[3].startsWith(u"URL："_s));
}

void TestForm2::import_data()
{
    QTest::addColumn<QByteArray>("file"); // "<cancel>": the dialog is cancelled
    QTest::addColumn<QStringList>("expectedPool");
    QTest::newRow("cancel") << QByteArray("<cancel>") << QStringList { "p", "q" };
    QTest::newRow("three lines after two faces")
        << QByteArray("a\r\nb\r\nc\r\n") << QStringList { "p", "q", "a", "b", "c" };
    QTest::newRow("empty file") << QByteArray() << QStringList { "p", "q" };
    QTest::newRow("blank lines") << QByteArray("a\r\n\r\nb") << QStringList { "p", "q", "a", "", "b" };
    QTest::newRow("UTF-8 without BOM") << QByteArray("\xE2\x99\xA1\n") << QStringList { "p", "q", u"♡"_s };
    QTest::newRow("UTF-16 with BOM") << QByteArray("\xFF\xFE\x42\x30\r\x00\n\x00", 8)
                                     << QStringList { "p", "q", u"あ"_s };
    QTest::newRow("code page 932") << QByteArray("\x82\xA0\xB1\r\n") << QStringList { "p", "q", u"あｱ"_s };
    QTest::newRow("a missing file") << QByteArray("<missing>") << QStringList { "p", "q" };
}

void TestForm2::import()
{
    QFETCH(QByteArray, file);
    open({ "c" }, { "p", "q" });
    list("List2")->setListIndex(1);
    QDir::setCurrent(settingsDir_->path());
    if (file == "<missing>") {
        dialogs_.files.enqueue(folder_->file("none.txt"));
    } else if (file != "<cancel>") {
        folder_->write("import.txt", file);
        dialogs_.files.enqueue(folder_->file("import.txt"));
    }
    button("Command9")->click();
    QTEST(texts(list("List2")), "expectedPool");
    QCOMPARE(selected(list("List2")), 1);
    QCOMPARE(texts(list("List1")), QStringList { "c" });
    QCOMPARE(dialogs_.shown, QStringList { u"「リストに追加できる顔文字」にインポートします。"_s });
    QCOMPARE(dialogs_.lastInitialDir, QDir::currentPath());
    QCOMPARE(dialogs_.lastFilter, u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s);
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\nq\r\n"));
}

void TestForm2::importStopsAtCapacity()
{
    open({}, { "p", "q" });
    dialogs_.files.enqueue(folder_->file("kaolist1.txt"));
    button("Command9")->click();
    QCOMPARE(texts(list("List2")), (QStringList { "p", "q", "p", "q" })); // the pool imported into itself
    folder_->write("big.txt", QByteArray("x\r\n").repeated(40000));
    dialogs_.files.enqueue(folder_->file("big.txt"));
    button("Command9")->click();
    QCOMPARE(list("List2")->count(), 32767);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
