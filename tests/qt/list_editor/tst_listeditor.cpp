#include "rows.h"
#include "windowfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kSelectCurrent = u"「只今のリスト」から、顔文字を選択してください"_s;
const QString kSelectPool = u"「リストに追加できる顔文字」から、顔文字を選択してください"_s;
const QString kEraseNothing
    = kSelectPool + u"。\r\n「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"_s;
const QString kChanged = u"この画面を開いた後に、顔文字のリストがほかで変更されています。\r\n"
                         u"上書きして保存してよろしいですか？"_s;
const QString kPrompt = u"顔文字を入力してください"_s;
const QString kFull = u"リストがいっぱいのため、これ以上追加できません。\r\n"
                      u"一つのリストに入れられる顔文字は 32767 個までです。"_s;

// Lists written one face a character, "_" for an empty face: "12|pq" is the current list 1, 2
// and the pool p, q.
L facesOf(QStringView list)
{
    return list.toString().split(QString(), Qt::SkipEmptyParts).replaceInStrings(u"_"_s, QString());
}
QString chars(L faces)
{
    return faces.replaceInStrings(QRegularExpression(u"^$"_s), u"_"_s).join(QString());
}

struct Operation {
    QString lists;
    int select1, select2;
    QString buttons, expected; // buttons pressed in turn
    int selectedAfter;
    QString message; // all that was shown, one per line; "<here>": the folder the program runs in,
                     // "<lists>": the folder of the lists
    QVariant answer = {}; // true: Yes; text: typed in the input box; bytes: the imported file
    QString other = {}; // once the editor is open, another program "saves" the pool (same faces, other bytes),
                        // "locks" the lists or "blocks" the save
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestListEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;
    ListBox* list(const char* name) { return f->edit<ListBox>(name); }
    QString stored(const char* name) // a list file's faces, written as in the table
    {
        return chars(storedFaces(f->folder.file(name)));
    }
    void open(const L& current, const L& pool, int select1 = -1, int select2 = -1)
    {
        f = std::make_unique<WindowFixture>(listBytes(current), listBytes(pool));
        QVERIFY(f->window->load());
        f->main<QPushButton>("editButton")->click();
        QVERIFY(f->editor() && f->editor()->isVisible());
        list("currentList")->setListIndex(select1);
        list("poolList")->setListIndex(select2);
    }

private slots:
    void initTestCase() { installAppearance(*qApp); }
    void windowAndKeyboard()
    {
        open({ "a", "b", "c" }, { "p" }, 1);
        QVERIFY(f->editor()->minimumSize() == QSize(353, 375) && f->editor()->maximumSize() == QSize(353, 375));
        QVERIFY(QTest::qWaitForWindowActive(f->editor()));
        for (const QLabel* label : f->editor()->findChildren<QLabel*>()) // in a Japanese desktop's font too
            QVERIFY2(
                label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), qPrintable(label->text()));
        // Enter on a list and Escape do nothing; Ctrl+C copies the selected face, if any.
        for (Qt::Key key : { Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape })
            QTest::keyClick(list("currentList"), key);
        QApplication::clipboard()->setText("-");
        QTest::keySequence(list("poolList"), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), "-");
        QTest::keySequence(list("currentList"), QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), "b");
        QCOMPARE(f->dialogs.shown, L());
        f->edit("versionButton")->setFocus();
        QTest::keyClick(f->edit("versionButton"), Qt::Key_Return); // presses the focused button
        QCOMPARE(f->dialogs.shown.value(0).split("\r\n").size(), 4);
        QVERIFY(f->dialogs.shown.value(0).startsWith(u"Nikomaru Ver1.10\r\n制作："_s));
        // Edit again brings the same editor forward, with its edits.
        f->edit("moveToPoolButton")->click();
        f->main<QPushButton>("editButton")->click();
        QCOMPARE(list("currentList")->items(), (L { "a", "c" }));
    }

    void operations_data()
    {
        const QString dot = kSelectCurrent + u"。"_s;
        const QString xs(faces::kMaxFaces - 1, u'x');
        const QString import
            = u"「リストに追加できる顔文字」にインポートします。\nテキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0|<here>"_s;
        addRows<Operation>({
            { "move to pool without selection", { "12345|pq", -1, 0, "moveToPool", "12345|pq", -1, kSelectCurrent } },
            { "move the third of five to the pool", { "12345|pq", 2, 0, "moveToPool", "1245|pq3", -1, {} } },
            { "move to current without selection", { "12345|pq", 1, -1, "moveToCurrent", "12345|pq", 1, kSelectPool } },
            { "move to current", { "a|pq", 0, 0, "moveToCurrent", "ap|q", 0, {} } },
            { "an empty face moves like any other", { "_|p", 0, -1, "moveToPool", "|p_", -1, {} } },
            { "up the second", { "12345|pq", 1, -1, "up", "21345|pq", 0, {} } },
            { "up the first", { "12345|pq", 0, -1, "up", "12345|pq", 0, dot } },
            { "down the fourth", { "12345|pq", 3, -1, "down", "12354|pq", 4, {} } },
            { "down the last", { "12345|pq", 4, -1, "down", "12345|pq", 4, dot } },
            { "down without selection", { "12345|pq", -1, -1, "down", "12345|pq", -1, dot } },
            { "erase",
                { "12345|pq", -1, 1, "erase", "12345|p", -1, u"顔文字「q」をリストから抹消してよろしいですか？"_s,
                    true } },
            { "erase, いいえ keeps the face",
                { "12345|pq", -1, 1, "erase", "12345|pq", -1, u"顔文字「q」をリストから抹消してよろしいですか？"_s,
                    false } },
            { "erase without selection", { "12345|pq", -1, -1, "erase", "12345|pq", -1, kEraseNothing } },
            { "erase a selected empty face", { "12345|p_", -1, 1, "erase", "12345|p_", -1, kEraseNothing } },
            { "create", { "1|p", 0, -1, "create", "1|pツ", 0, kPrompt, "ツ" } },
            { "create cancelled", { "1|p", 0, -1, "create", "1|p", 0, kPrompt } },
            { "create an empty face", { "1|p", 0, -1, "create", "1|p_", 0, kPrompt, "" } },
            { "a created face is one line", { "1|p", 0, -1, "create", "1|p b", 0, kPrompt, " \r\nb\n" } },
            { "edits, then OK saves both lists", { "abc|p_", 2, 0, "up moveToCurrent ok", "acbp|_", 1, {} } },
            { "cancel after an edit writes nothing", { "abc|p", 0, -1, "moveToPool cancel", "bc|pa", -1, {} } },
            { "after cancel the editor starts again from the files",
                { "abc|p", 0, -1, "moveToPool cancel edit", "abc|p", -1, {} } },
            { "a save that fails keeps the editor and its edits",
                { "a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
                    u"顔文字のリストを保存できませんでした。\r\n<lists>/kaolist1.txt\r\n"
                    u"ファイルに書き込めません（Is a directory）。\r\nどちらのファイルも変更していません。"_s,
                    {}, "blocks" } },
            { "the 32,767th face still fits", { "a|" + xs, 0, -1, "create", "a|" + xs + "b", 0, kPrompt, "b" } },
            { "a full pool takes no more",
                { "a|x" + xs, 0, -1, "moveToPool create", "a|x" + xs, 0, kFull + '\n' + kPrompt + '\n' + kFull, "c" } },
            { "another program saved since: No keeps the edits",
                { "a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0, kChanged, false, "saves" } },
            { "another program saved since: Yes saves over it",
                { "a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0, kChanged, true, "saves" } },
            { "another program is saving",
                { "a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
                    u"顔文字のリストを保存できませんでした。\r\n<lists>/kaolist.lock\r\n"
                    u"ほかの Nikomaru が保存しているところです。\r\nどちらのファイルも変更していません。"_s,
                    {}, "locks" } },
            { "import cancelled", { "c|pq", 0, 1, "import", "c|pq", 0, import } },
            { "import lines after the pool",
                { "c|pq", 0, 1, "import", "c|pqa_b", 0, import, QByteArray("a\r\n\r\nb") } },
            { "import until the pool is full",
                { "c|pq", 0, 1, "import", "c|pq" + xs.sliced(1), 0, import, QByteArray("x\r\n").repeated(40000) } },
        });
    }
    void operations()
    {
        QFETCH(Operation, row);
        open(facesOf(row.lists.section(u'|', 0, 0)), facesOf(row.lists.section(u'|', 1)), row.select1, row.select2);
        QDir::setCurrent(f->settings.path()); // where the file dialog opens
        if (row.answer.typeId() == QMetaType::QByteArray) {
            f->settings.write("import.txt", row.answer.toByteArray());
            row.answer = f->settings.file("import.txt");
        }
        f->dialogs.answers.enqueue(row.answer);
        faces::SaveLock other;
        if (row.other == "locks")
            QCOMPARE(other.lock(toPath(f->folder.path())), faces::SaveLock::Result::Locked);
        if (row.other == "saves") // the same faces, other bytes
            f->folder.write("kaolist1.txt", "\xEF\xBB\xBF" + f->folder.read("kaolist1.txt"));
        const QString blocker = f->folder.file("kaolist1.txt.tmp"); // where the save writes first
        QVERIFY(row.other != "blocks" || QDir().mkpath(blocker + "/x"));
        for (const QString& button : row.buttons.split(u' '))
            (button == "edit" ? f->main<QPushButton>("editButton") : f->edit(qPrintable(button + u"Button"_s)))
                ->click();
        other.unlock();
        QDir(blocker).removeRecursively();
        QCOMPARE(chars(list("currentList")->items()) + u'|' + chars(list("poolList")->items()), row.expected);
        QCOMPARE(list("currentList")->listIndex(), row.selectedAfter);
        QCOMPARE(f->dialogs.shown.join(u'\n'),
            row.message.replace(u"<here>"_s, QDir::currentPath()).replace(u"<lists>"_s, f->folder.path()));
        // Edits stay in memory until OK writes both files, closes the editor and loads the main
        // window again; Cancel closes it too.
        const bool saved = row.buttons.endsWith("ok") && (row.other.isEmpty() || row.answer.toBool());
        const bool open = f->editor() && f->editor()->isVisible();
        QCOMPARE(open, !saved && !row.buttons.endsWith("cancel"));
        const QString kept = saved ? row.expected : row.lists;
        QCOMPARE(stored("kaolist2.txt") + u'|' + stored("kaolist1.txt"), kept);
        QCOMPARE(f->folder.entries(), (L { "kaolist1.txt", "kaolist2.txt" })); // nor temporaries, nor the lock
        QCOMPARE(chars(f->main<ListBox>("faceList")->items()), kept.section(u'|', 0, 0));
        if (!open)
            return;
        // A long list is laid out in batches after its first screen; then it scrolls over all of it.
        QTRY_VERIFY(list("poolList")->verticalScrollBar()->maximum() > list("poolList")->count() - 30);
        // Up and Down follow the selection on a timer: set the other way, they come back.
        const int selected = row.selectedAfter, last = int(list("currentList")->count()) - 1;
        QPushButton *up = f->edit("upButton"), *down = f->edit("downButton");
        up->setEnabled(selected == 0);
        down->setEnabled(selected == last);
        QTRY_VERIFY(up->isEnabled() == (selected != 0) && down->isEnabled() == (selected != last));
    }
};

QTEST_MAIN(TestListEditor)
#include "tst_listeditor.moc"
