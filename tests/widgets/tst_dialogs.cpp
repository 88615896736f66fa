#include "desktop.h"
#include "dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Waits for the modal box of type T and hands it to act, which must close it; the box is closed
// anyway should act fail, so that exec() never waits for a person.
template <typename T> void whenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* box = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        act(box);
        if (box->isVisible())
            box->reject();
    });
    timer->start(10);
}

// The window title, the text and the buttons' texts, sorted; "<icon>" for a button with an icon.
QStringList describe(QDialog* box, const QString& text)
{
    QStringList seen { box->windowTitle(), text };
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
        seen.append(button->icon().isNull() ? button->text() : u"<icon>"_s);
    std::sort(seen.begin() + 2, seen.end());
    return seen;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    SystemDialogs dialogs_;

private slots:
    void initTestCase() { installAppearance(*qApp); }

    void messages_data()
    {
        QTest::addColumn<int>("answer"); // -1: a message with OK only
        QTest::addColumn<bool>("expected");
        QTest::newRow("message") << -1 << false;
        QTest::newRow("yes") << int(QMessageBox::Yes) << true;
        QTest::newRow("no") << int(QMessageBox::No) << false;
        QTest::newRow("closed") << int(QMessageBox::NoButton) << false;
    }

    void messages()
    {
        QFETCH(int, answer);
        QStringList seen;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            seen = describe(box, box->text());
            if (answer < 0) {
                const auto* label = box->findChild<QLabel*>("qt_msgbox_label");
                seen << u"%1 lines"_s.arg(qRound(label->height() / qreal(label->fontMetrics().lineSpacing())));
            }
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            if (answer > 0)
                box->button(QMessageBox::StandardButton(answer))->click();
        });
        if (answer < 0) {
            // The longest message's lines are shown whole, without breaks of the box's own.
            const QString line = u"「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"_s;
            dialogs_.message(nullptr, u"一行目\r\n"_s + line);
            QCOMPARE(seen, (QStringList { "Nikomaru", u"一行目\n"_s + line, "OK", "2 lines" }));
            return;
        }
        QTEST(dialogs_.askYesNo(nullptr, u"よろしいですか？"_s), "expected");
        QCOMPARE(seen, (QStringList { "Nikomaru", u"よろしいですか？"_s, u"いいえ"_s, u"はい"_s }));
    }

    void input_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("typed");
        QTest::newRow("OK") << true << u"(´▽｀)"_s;
        QTest::newRow("OK on an empty field") << true << QString();
        QTest::newRow("cancel") << false << u"abc"_s;
    }

    void input()
    {
        QFETCH(bool, ok);
        QFETCH(QString, typed);
        QStringList seen;
        whenShown<QInputDialog>([&](QInputDialog* box) {
            seen = describe(box, box->labelText());
            QVERIFY(box->findChild<QLineEdit*>()->text().isEmpty());
            // Typed as an input method would deliver it: text carried by the event.
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(box->findChild<QLineEdit*>(), &key);
            ok ? box->accept() : box->reject();
        });
        const std::optional<QString> answer = dialogs_.input(nullptr, u"顔文字を入力してください"_s);
        QCOMPARE(seen, (QStringList { "Nikomaru", u"顔文字を入力してください"_s, "OK", u"キャンセル"_s }));
        QCOMPARE(answer, ok ? std::optional(typed) : std::nullopt);
    }

    void openFile()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("faces.txt")).open(QIODevice::WriteOnly);
        const QString filter = u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s;
        QStringList seen;
        for (bool accept : { true, false }) {
            whenShown<QFileDialog>([&](QFileDialog* dialog) {
                const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
                seen = QStringList { types->currentText(), types->itemText(1), dialog->directory().absolutePath() };
                QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
                QVERIFY(dialog->nameFilters().value(1).contains("(*)")); // files without a dot too
                // Typed into the name field: selectFile() leaves it alone once it has the focus.
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("faces.txt");
                accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
            });
            QCOMPARE(
                platform::openFileDialog(nullptr, filter, dir.path()), accept ? dir.filePath("faces.txt") : QString());
        }
        QCOMPARE(seen,
            (QStringList {
                u"テキストファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s, QDir(dir.path()).absolutePath() }));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
