#include "fakedialogs.h"
#include "listeditor.h"
#include "mainwindow.h"
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

class TestListEditor : public QObject {
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
    ListEditor* editor() { return mainWindow_->editor(); }

    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<TempFolder> settingsDir_;
    FakeDialogs dialogs_;
    std::unique_ptr<MainWindow> mainWindow_;
};

void TestListEditor::init()
{
    folder_ = std::make_unique<TempFolder>();
    settingsDir_ = std::make_unique<TempFolder>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_->path());
    dialogs_ = FakeDialogs();
}

void TestListEditor::cleanup()
{
    mainWindow_.reset();
}

void TestListEditor::open(const QStringList& current, const QStringList& pool)
{
    folder_->write("kaolist2.txt", lines(current));
    folder_->write("kaolist1.txt", lines(pool));
    mainWindow_ = std::make_unique<MainWindow>(folder_->path(), dialogs_);
    QVERIFY(mainWindow_->load());
    mainWindow_->findChild<QPushButton*>("editButton")->click();
    QVERIFY(editor());
    QVERIFY(editor()->isVisible());
}

void TestListEditor::window()
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
    QCOMPARE(list("poolList")->geometry().right() - editor()->width(), 1);
    QCOMPARE(editor()->findChild<QLabel*>("poolLabel")->geometry().right() - editor()->width(), 1);
}

void TestListEditor::keyboard()
{
    open({ "a", "b" }, { "p" });
    QVERIFY(QTest::qWaitForWindowActive(editor()));
    QCOMPARE(QApplication::focusWidget(), list("currentList"));
    const QStringList order { "poolList", "moveToPoolButton", "moveToCurrentButton", "createButton", "upButton",
        "downButton", "eraseButton", "okButton", "cancelButton", "importButton", "versionButton", "currentList" };
    for (const QString& next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    // Enter on a list and Escape anywhere do nothing.
    list("currentList")->setListIndex(1);
    for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape })
        QTest::keyClick(list("currentList"), key);
    QTest::keyClick(list("poolList"), Qt::Key_Return);
    QCOMPARE(dialogs_.shown, QStringList());
    QCOMPARE(texts(list("currentList")), (QStringList { "a", "b" }));
    QVERIFY(editor()->isVisible());
    // Enter on a focused button activates it.
    button("versionButton")->setFocus();
    QTest::keyClick(button("versionButton"), Qt::Key_Return);
    QCOMPARE(dialogs_.shown.size(), 1);
}

void TestListEditor::operations_data()
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
    QTest::newRow("move to pool without selection") << five << pool << -1 << 0 << "moveToPoolButton" << false << five
                                                    << pool << -1 << 0 << QStringList { kSelectCurrent };
    QTest::newRow("move the third of five to the pool")
        << five << pool << 2 << 0 << "moveToPoolButton" << false << QStringList { "1", "2", "4", "5" }
        << QStringList { "p", "q", "3" } << -1 << 0 << QStringList();
    QTest::newRow("move to current without selection") << five << pool << 1 << -1 << "moveToCurrentButton" << false
                                                       << five << pool << 1 << -1 << QStringList { kSelectPool };
    QTest::newRow("move to current") << QStringList { "a" } << pool << 0 << 0 << "moveToCurrentButton" << false
                                     << QStringList { "a", "p" } << QStringList { "q" } << 0 << -1 << QStringList();
    QTest::newRow("empty face moves like any other")
        << QStringList { "a", "" } << pool << 1 << -1 << "moveToPoolButton" << false << QStringList { "a" }
        << QStringList { "p", "q", "" } << -1 << -1 << QStringList();
    QTest::newRow("a face on both lists moves all the same")
        << QStringList { "p" } << pool << 0 << -1 << "moveToPoolButton" << false << QStringList()
        << QStringList { "p", "q", "p" } << -1 << -1 << QStringList();
    QTest::newRow("up the second") << five << pool << 1 << -1 << "upButton" << false
                                   << QStringList { "2", "1", "3", "4", "5" } << pool << 0 << -1 << QStringList();
    QTest::newRow("up the first") << five << pool << 0 << -1 << "upButton" << false << five << pool << 0 << -1
                                  << QStringList { kSelectCurrentDot };
    QTest::newRow("up without selection") << five << pool << -1 << -1 << "upButton" << false << five << pool << -1 << -1
                                          << QStringList { kSelectCurrentDot };
    QTest::newRow("up in an empty list") << QStringList() << pool << -1 << -1 << "upButton" << false << QStringList()
                                         << pool << -1 << -1 << QStringList { kSelectCurrentDot };
    QTest::newRow("down the fourth") << five << pool << 3 << -1 << "downButton" << false
                                     << QStringList { "1", "2", "3", "5", "4" } << pool << 4 << -1 << QStringList();
    QTest::newRow("down the last") << five << pool << 4 << -1 << "downButton" << false << five << pool << 4 << -1
                                   << QStringList { kSelectCurrentDot };
    QTest::newRow("down without selection") << five << pool << -1 << -1 << "downButton" << false << five << pool << -1
                                            << -1 << QStringList { kSelectCurrentDot };
    QTest::newRow("erase answered yes") << five << pool << -1 << 0 << "eraseButton" << true << five
                                        << QStringList { "q" } << -1 << -1
                                        << QStringList { u"顔文字「p」をリストから抹消してよろしいですか？"_s };
    QTest::newRow("erase answered no") << five << pool << -1 << 1 << "eraseButton" << false << five << pool << -1 << 1
                                       << QStringList { u"顔文字「q」をリストから抹消してよろしいですか？"_s };
    QTest::newRow("erase without selection") << five << pool << -1 << -1 << "eraseButton" << true << five << pool << -1
                                             << -1 << QStringList { kEraseNothing };
    QTest::newRow("erase a selected empty face")
        << five << QStringList { "p", "" } << -1 << 1 << "eraseButton" << true << five << QStringList { "p", "" } << -1
        << 1 << QStringList { kEraseNothing };
}

void TestListEditor::operations()
{
    QFETCH(QStringList, current);
    QFETCH(QStringList, pool);
    QFETCH(int, select1);
    QFETCH(int, select2);
    QFETCH(QString, button);
    QFETCH(bool, yes);
    open(current, pool);
    list("currentList")->setListIndex(select1);
    list("poolList")->setListIndex(select2);
    dialogs_.yesNoAnswers.enqueue(yes);
    this->button(button.toLatin1())->click();
    QTEST(texts(list("currentList")), "expectedCurrent");
    QTEST(texts(list("poolList")), "expectedPool");
    QTEST(selected(list("currentList")), "expectedSelect1");
    QTEST(selected(list("poolList")), "expectedSelect2");
    QTEST(dialogs_.shown, "messages");
    QCOMPARE(folder_->read("kaolist2.txt"), lines(current)); // edits stay in memory
}

void TestListEditor::upDownEnabling_data()
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

void TestListEditor::upDownEnabling()
{
    QFETCH(int, count);
    QFETCH(int, select);
    QStringList current;
    for (int i = 0; i < count; ++i)
        current.append(QString::number(i));
    open(current, {});
    list("currentList")->setListIndex(select);
    QFETCH(bool, up);
    QFETCH(bool, down);
    QTRY_COMPARE_WITH_TIMEOUT(button("upButton")->isEnabled(), up, 200);
    QTRY_COMPARE_WITH_TIMEOUT(button("downButton")->isEnabled(), down, 200);
}

void TestListEditor::create_data()
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

void TestListEditor::create()
{
    QFETCH(QStringList, answers);
    open({}, { "p" });
    list("poolList")->setListIndex(0);
    for (const QString& answer : answers) {
        dialogs_.inputs.enqueue(answer == "<cancel>" ? std::nullopt : std::optional(answer));
        button("createButton")->click();
    }
    QTEST(texts(list("poolList")), "expectedPool");
    QCOMPARE(selected(list("poolList")), 0);
    QCOMPARE(dialogs_.shown, QStringList { u"顔文字を入力してください"_s });
}

void TestListEditor::fullList()
{
    QStringList full;
    for (int i = 0; i < 32767; ++i)
        full.append("x");
    open({ "a" }, full);
    list("currentList")->setListIndex(0);
    button("moveToPoolButton")->click();
    dialogs_.inputs.enqueue(u"b"_s);
    button("createButton")->click();
    QCOMPARE(list("poolList")->count(), 32767);
    QCOMPARE(texts(list("currentList")), QStringList { "a" });
    QCOMPARE(dialogs_.shown.size(), 3);
    QVERIFY(dialogs_.shown[0].contains("32767"));
    QCOMPARE(dialogs_.shown[2], dialogs_.shown[0]);
}

void TestListEditor::editTwiceKeepsEdits()
{
    open({ "a", "b" }, {});
    ListEditor* first = editor();
    list("currentList")->setListIndex(0);
    button("moveToPoolButton")->click();
    mainWindow_->findChild<QPushButton*>("editButton")->click();
    QCOMPARE(editor(), first);
    QCOMPARE(texts(list("currentList")), QStringList { "b" });
}

void TestListEditor::loadFailureEndsTheProgram()
{
    folder_->write("kaolist2.txt", "a\r\n");
    mainWindow_ = std::make_unique<MainWindow>(folder_->path(), dialogs_);
    QSignalSpy fatal(mainWindow_.get(), &MainWindow::fatalError);
    QVERIFY(mainWindow_->load());
    mainWindow_->findChild<QPushButton*>("editButton")->click();
    QCOMPARE(fatal.size(), 1);
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist1.txt"))));
    QVERIFY(!editor() || !editor()->isVisible());
}

void TestListEditor::commit()
{
    open({ "a", "b", "c" }, { "p", "" });
    mainWindow_->findChild<QCheckBox*>("alwaysOnTopBox")->click();
    list("currentList")->setListIndex(2);
    button("upButton")->click(); // a c b
    list("currentList")->setListIndex(0);
    button("moveToPoolButton")->click(); // c b; pool p, "", a
    button("okButton")->click();
    QCOMPARE(folder_->read("kaolist2.txt"), QByteArray("c\r\nb\r\n"));
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\n\r\na\r\n"));
    QVERIFY(!editor() || !editor()->isVisible());
    QVERIFY(mainWindow_->isLoaded());
    auto* main = mainWindow_->findChild<ListBox*>("faceList");
    QCOMPARE(texts(main), (QStringList { "c", "b" }));
    QCOMPARE(selected(main), -1);
    QVERIFY(mainWindow_->findChild<QCheckBox*>("alwaysOnTopBox")->isChecked());
    QVERIFY(mainWindow_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(QSettings("Nikomaru", "Nikomaru").value("Setting/Check").toString(), "True");

    // The next editor shows what was stored.
    QTRY_VERIFY(!editor());
    mainWindow_->findChild<QPushButton*>("editButton")->click();
    QCOMPARE(texts(list("currentList")), (QStringList { "c", "b" }));
}

void TestListEditor::commitEmptyLists()
{
    open({}, {});
    button("okButton")->click();
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray(""));
    QCOMPARE(folder_->read("kaolist2.txt"), QByteArray(""));
    QCOMPARE(mainWindow_->findChild<ListBox*>("faceList")->count(), 0);
}

void TestListEditor::commitWhileMainWindowClosed()
{
    open({ "a" }, {});
    QSignalSpy ended(mainWindow_.get(), &MainWindow::allWindowsUnloaded);
    mainWindow_->close();
    button("okButton")->click();
    QVERIFY(mainWindow_->isLoaded());
    QVERIFY(mainWindow_->isVisible());
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
}

void TestListEditor::cancelWritesNothing()
{
    const QByteArray pool("p\r\nq"), current("\x82\xA0\r\n");
    folder_->write("kaolist1.txt", pool);
    folder_->write("kaolist2.txt", current);
    mainWindow_ = std::make_unique<MainWindow>(folder_->path(), dialogs_);
    QVERIFY(mainWindow_->load());
    mainWindow_->findChild<QPushButton*>("editButton")->click();
    list("currentList")->setListIndex(0);
    button("moveToPoolButton")->click();
    dialogs_.inputs.enqueue(u"new"_s);
    button("createButton")->click();
    button("cancelButton")->click();
    QCOMPARE(folder_->read("kaolist1.txt"), pool);
    QCOMPARE(folder_->read("kaolist2.txt"), current);
    QCOMPARE(mainWindow_->findChild<ListBox*>("faceList")->count(), 1);
    QTRY_VERIFY(!editor());
}

void TestListEditor::failedCommitKeepsEdits()
{
    open({ "a" }, { "p" });
    list("currentList")->setListIndex(0);
    button("moveToPoolButton")->click();
    QFile::remove(folder_->file("kaolist2.txt"));
    QVERIFY(QDir(folder_->path()).mkdir("kaolist2.txt"));
    button("okButton")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist2.txt"))));
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\n"));
    QVERIFY(editor()->isVisible());
    QCOMPARE(texts(list("poolList")), (QStringList { "p", "a" }));
    QCOMPARE(texts(mainWindow_->findChild<ListBox*>("faceList")), QStringList { "a" });
    QCOMPARE(folder_->entries().size(), 2); // no temporary left behind
}

void TestListEditor::versionNotice()
{
    open({}, {});
    button("versionButton")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    const QStringList lines = dialogs_.shown[0].split("\r\n");
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[0], "Nikomaru Ver1.10");
    QVERIFY(lines[1].startsWith(u"制作："_s));
    QVERIFY(lines[2].startsWith(u"E-Mail："_s));
    QVERIFY(lines[3].startsWith(u"URL："_s));
}

void TestListEditor::import_data()
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

void TestListEditor::import()
{
    QFETCH(QByteArray, file);
    open({ "c" }, { "p", "q" });
    list("poolList")->setListIndex(1);
    QDir::setCurrent(settingsDir_->path());
    if (file == "<missing>") {
        dialogs_.files.enqueue(folder_->file("none.txt"));
    } else if (file != "<cancel>") {
        folder_->write("import.txt", file);
        dialogs_.files.enqueue(folder_->file("import.txt"));
    }
    button("importButton")->click();
    QTEST(texts(list("poolList")), "expectedPool");
    QCOMPARE(selected(list("poolList")), 1);
    QCOMPARE(texts(list("currentList")), QStringList { "c" });
    QCOMPARE(dialogs_.shown, QStringList { u"「リストに追加できる顔文字」にインポートします。"_s });
    QCOMPARE(dialogs_.lastInitialDir, QDir::currentPath());
    QCOMPARE(dialogs_.lastFilter, u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s);
    QCOMPARE(folder_->read("kaolist1.txt"), QByteArray("p\r\nq\r\n"));
}

void TestListEditor::importStopsAtCapacity()
{
    open({}, { "p", "q" });
    dialogs_.files.enqueue(folder_->file("kaolist1.txt"));
    button("importButton")->click();
    QCOMPARE(texts(list("poolList")), (QStringList { "p", "q", "p", "q" })); // the pool imported into itself
    folder_->write("big.txt", QByteArray("x\r\n").repeated(40000));
    dialogs_.files.enqueue(folder_->file("big.txt"));
    button("importButton")->click();
    QCOMPARE(list("poolList")->count(), 32767);
}

QTEST_MAIN(TestListEditor)
#include "tst_listeditor.moc"
