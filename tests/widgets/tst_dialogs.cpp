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
using L = QStringList;

namespace {

// Once the modal box of type T is up, hands it to act, then closes it should act have left it
// open, so that exec() never waits for a person.
template <typename T> void whenShown(std::function<void(T*)> act)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* box = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(box);
            if (box->isVisible())
                box->reject();
        }
    });
    timer->start(10);
}

// The title, the text, the buttons' texts sorted ("<icon>" for a button with an icon); then a
// message box's icon and how many lines its text takes.
L describe(QDialog* box, const QString& text)
{
    L seen { box->windowTitle(), text };
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
        seen.append(button->icon().isNull() ? button->text() : u"<icon>"_s);
    std::sort(seen.begin() + 2, seen.end());
    if (const auto* label = box->findChild<QLabel*>("qt_msgbox_label"))
        seen << QString::number(static_cast<QMessageBox*>(box)->icon())
             << QString::number(qRound(label->height() / qreal(label->fontMetrics().lineSpacing())));
    return seen;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT
    SystemDialogs dialogs_;

private slots:
    void initTestCase() { installAppearance(*qApp); }

    void messages()
    {
        // The longest message's lines are shown whole, without breaks of the box's own.
        const QString line = u"「只今のリスト」のなかのを削除する時は、「削除>>」で移してからにしてください。"_s;
        L seen;
        whenShown<QMessageBox>([&](QMessageBox* box) { seen = describe(box, box->text()); });
        dialogs_.message(nullptr, u"一行目\r\n"_s + line);
        QCOMPARE(seen, (L { "Nikomaru", u"一行目\n"_s + line, "OK", "0", "2" }));
        for (auto [button, yes] :
            { std::pair { QMessageBox::Yes, true }, { QMessageBox::No, false }, { QMessageBox::NoButton, false } }) {
            whenShown<QMessageBox>([&](QMessageBox* box) {
                seen = describe(box, box->text());
                if (button != QMessageBox::NoButton)
                    box->button(button)->click();
            });
            QCOMPARE(dialogs_.askYesNo(nullptr, u"よろしいですか？"_s), yes);
            QCOMPARE(seen, (L { "Nikomaru", u"よろしいですか？"_s, u"いいえ"_s, u"はい"_s, "0", "1" }));
        }
    }

    void input()
    {
        // OK with nothing typed is an empty face, not Cancel. (Typing is the desktop journey's.)
        for (bool cancel : { false, true }) {
            L seen;
            whenShown<QInputDialog>([&](QInputDialog* box) {
                seen = describe(box, box->labelText()) << box->textValue();
                cancel ? box->reject() : box->accept();
            });
            const std::optional<QString> answer = dialogs_.input(nullptr, u"顔文字を入力してください"_s);
            QCOMPARE(seen, (L { "Nikomaru", u"顔文字を入力してください"_s, "OK", u"キャンセル"_s, "" }));
            QCOMPARE(answer, cancel ? std::nullopt : std::optional(QString()));
        }
    }

    void openFile()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("faces.txt")).open(QIODevice::WriteOnly);
        const QString filter = u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s;
        for (bool accept : { true, false }) {
            L seen;
            whenShown<QFileDialog>([&](QFileDialog* dialog) {
                const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
                seen = L { types->itemText(0), types->itemText(1), dialog->nameFilters().value(1),
                    dialog->directory().absolutePath() };
                // Typed into the name field: selectFile() leaves it alone once it has the focus.
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("faces.txt");
                accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
            });
            QCOMPARE(
                platform::openFileDialog(nullptr, filter, dir.path()), accept ? dir.filePath("faces.txt") : QString());
            // Shown as given; files without a dot are offered too.
            QCOMPARE(seen,
                (L { u"テキストファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s, u"すべてのファイル(*.*) (*)"_s,
                    QDir(dir.path()).absolutePath() }));
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
