#include "rows.h"
#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString kPrompt = u"顔文字を入力してください"_s;

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
};

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestListEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;
    ListBox* list(const char* name) { return f->edit<ListBox>(name); }
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
    void captionsFit() // every caption of both windows whole in its control, one line of its font
    {
        open({ "a" }, {});
        for (QWidget* window : std::initializer_list<QWidget*> { f->window.get(), f->editor() })
            for (QWidget* control : window->findChildren<QWidget*>()) {
                const auto* label = qobject_cast<QLabel*>(control);
                const auto* button = qobject_cast<QAbstractButton*>(control);
                QStyleOptionButton option;
                option.initFrom(control);
                const QRect room = label
                    ? label->rect()
                    : control->style()->subElementRect(
                        qobject_cast<QCheckBox*>(control) ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                        &option, control);
                const QString text = label ? label->text() : button ? button->text() : QString();
                const QFontMetrics metrics = control->fontMetrics();
                QVERIFY2(text.isEmpty()
                        || (metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height()),
                    qPrintable(text + u' ' + control->font().family()));
            }
    }
    void windowAndKeyboard()
    {
        open({ "a", "b", "c" }, { "p" }, 1);
        QVERIFY(f->editor()->minimumSize() == QSize(353, 375) && f->editor()->maximumSize() == QSize(353, 375));
        QVERIFY(QTest::qWaitForWindowActive(f->editor()));
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
        const QString xs(faces::kMaxFaces - 1, u'x');
        const QString import
            = u"「リストに追加できる顔文字」にインポートします。\nテキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0|<here>"_s;
        addRows<Operation>({
            { "move the third of five to the pool", { "12345|pq", 2, 0, "moveToPool", "1245|pq3", -1, {} } },
            { "down, up, up the second", { "12345|pq", 1, -1, "down up up", "21345|pq", 0, {} } },
            { "erase, then cancel",
                { "12345|pq", -1, 1, "erase cancel", "12345|p", -1,
                    u"顔文字「q」をリストから抹消してよろしいですか？"_s, true } },
            { "create", { "1|p", 0, -1, "create", "1|pツ", 0, kPrompt, "ツ" } },
            { "edits, then OK saves both lists", { "abc|p_", 2, 0, "up moveToCurrent ok", "acbp|_", 1, {} } },
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
        for (const QString& button : row.buttons.split(u' '))
            (button == "edit" ? f->main<QPushButton>("editButton") : f->edit(qPrintable(button + u"Button"_s)))
                ->click();
        QCOMPARE(chars(list("currentList")->items()) + u'|' + chars(list("poolList")->items()), row.expected);
        QCOMPARE(list("currentList")->listIndex(), row.selectedAfter);
        QCOMPARE(f->dialogs.shown.join(u'\n'),
            row.message.replace(u"<here>"_s, QDir::currentPath()).replace(u"<lists>"_s, f->folder.path()));
        // OK closes the editor and loads the main window again; Cancel closes it too.
        const bool saved = row.buttons.endsWith("ok");
        const bool open = f->editor() && f->editor()->isVisible();
        QCOMPARE(open, !saved && !row.buttons.endsWith("cancel"));
        // The main window shows the list as saved, or as it was.
        QCOMPARE(chars(f->main<ListBox>("faceList")->items()), (saved ? row.expected : row.lists).section(u'|', 0, 0));
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
