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

// The last box shown: its title, its text, what it shows (a message box its icon and how many
// lines its text takes, an input box its text; whether its text is shown as typed), then its
// buttons' texts sorted, "<icon>" for a button with an icon.
L seen;

void describe(QDialog* box)
{
    seen = L { box->windowTitle() };
    const auto* label = box->findChild<QLabel*>(qobject_cast<QMessageBox*>(box) ? "qt_msgbox_label" : nullptr);
    if (const auto* message = qobject_cast<QMessageBox*>(box)) {
        seen << message->text() << QString::number(message->icon())
             << QString::number(qRound(label->height() / qreal(label->fontMetrics().lineSpacing())));
    } else if (const auto* input = qobject_cast<QInputDialog*>(box)) {
        seen << input->labelText() << input->textValue();
    }
    if (!qobject_cast<QFileDialog*>(box))
        seen << (label->textFormat() == Qt::PlainText ? "as typed" : "formatted");
    else if (const auto* files = qobject_cast<QFileDialog*>(box)) {
        const auto* types = box->findChild<QComboBox*>("fileTypeCombo");
        seen << types->itemText(0) << types->itemText(1) << files->nameFilters().value(1)
             << files->directory().absolutePath();
    }
    L buttons;
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
        buttons.append(button->icon().isNull() ? button->text() : u"<icon>"_s);
    buttons.sort();
    seen += buttons;
}

// Once the modal box of type T is up, describes it and hands it to act, then closes it should
// act have left it open, so that exec() never waits for a person.
template <typename T> void whenShown(std::function<void(T*)> act = {})
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* box = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            describe(box);
            if (act)
                act(box);
            if (box->isVisible())
                box->reject();
        }
    });
    timer->start(10);
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
        whenShown<QMessageBox>();
        dialogs_.message(nullptr, u"一行目\r\n"_s + line);
        QCOMPARE(seen, (L { "Nikomaru", u"一行目\n"_s + line, "0", "2", "as typed", "OK" }));
        for (auto [button, yes] :
            { std::pair { QMessageBox::Yes, true }, { QMessageBox::No, false }, { QMessageBox::NoButton, false } }) {
            whenShown<QMessageBox>([button](QMessageBox* box) {
                if (button != QMessageBox::NoButton)
                    box->button(button)->click();
            });
            const QString question = u"顔文字「<u>(^_^)</u>」をリストから抹消してよろしいですか？"_s;
            QCOMPARE(dialogs_.askYesNo(nullptr, question), yes);
            QCOMPARE(seen, (L { "Nikomaru", question, "0", "1", "as typed", u"いいえ"_s, u"はい"_s }));
        }
    }

    void input()
    {
        // OK with nothing typed is an empty face, not Cancel. (Typing is the desktop journey's.)
        for (bool cancel : { false, true }) {
            whenShown<QInputDialog>([cancel](QInputDialog* box) { cancel ? box->reject() : box->accept(); });
            QCOMPARE(dialogs_.input(nullptr, u"顔文字を入力してください"_s),
                cancel ? std::nullopt : std::optional(QString()));
            QCOMPARE(seen, (L { "Nikomaru", u"顔文字を入力してください"_s, "", "as typed", "OK", u"キャンセル"_s }));
        }
    }

    void openFile()
    {
        QTemporaryDir dir;
        QFile(dir.filePath("faces.txt")).open(QIODevice::WriteOnly);
        const QString filter = u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s;
        for (bool accept : { true, false }) {
            whenShown<QFileDialog>([accept](QFileDialog* dialog) {
                // Typed into the name field: selectFile() leaves it alone once it has the focus.
                dialog->findChild<QLineEdit*>("fileNameEdit")->setText("faces.txt");
                accept ? static_cast<QDialog*>(dialog)->accept() : dialog->reject();
            });
            QCOMPARE(
                platform::openFileDialog(nullptr, filter, dir.path()), accept ? dir.filePath("faces.txt") : QString());
            // Shown as given; files without a dot are offered too.
            QCOMPARE(seen,
                (L { u"開く"_s, u"テキストファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s,
                    u"すべてのファイル(*.*) (*)"_s, QDir(dir.path()).absolutePath(), u"キャンセル"_s, u"開く(&O)"_s }));
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
