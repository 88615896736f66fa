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

// Waits for the modal box of type T, hands it to check, then always closes it through
// finish, so that a failed check cannot leave exec() waiting for a person.
template <typename T> void whenShown(std::function<void(T*)> check, std::function<void(T*)> finish)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, check, finish] {
        auto* box = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        check(box);
        finish(box);
    });
    timer->start(10);
}

QStringList buttonTexts(QWidget* box)
{
    QStringList texts;
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
        texts.append(button->text());
    texts.sort();
    return texts;
}

bool anyButtonHasIcon(QWidget* box)
{
    for (QAbstractButton* button : box->findChild<QDialogButtonBox*>()->buttons())
        if (!button->icon().isNull())
            return true;
    return false;
}

} // namespace

class TestDialogs : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installAppearance(*qApp); }
    void message();
    void askYesNo_data();
    void askYesNo();
    void input_data();
    void input();
    void openFile();

private:
    SystemDialogs dialogs_;
};

void TestDialogs::message()
{
    QStringList seen;
    whenShown<QMessageBox>(
        [&](QMessageBox* box) {
            seen << box->windowTitle() << box->text() << buttonTexts(box);
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            QVERIFY(!anyButtonHasIcon(box));
        },
        [](QMessageBox* box) { box->button(QMessageBox::Ok)->click(); });
    dialogs_.message(nullptr, u"一行目\r\n二行目"_s);
    QCOMPARE(seen, (QStringList { "Nikomaru", u"一行目\n二行目"_s, "OK" }));
}

void TestDialogs::askYesNo_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
    QTest::newRow("closed") << int(QMessageBox::NoButton) << false;
}

void TestDialogs::askYesNo()
{
    QFETCH(int, answer);
    QStringList buttons;
    whenShown<QMessageBox>([&](QMessageBox* box) { buttons = buttonTexts(box); },
        [answer](QMessageBox* box) {
            if (answer == QMessageBox::NoButton)
                box->close();
            else
                box->button(QMessageBox::StandardButton(answer))->click();
        });
    QTEST(dialogs_.askYesNo(nullptr, u"よろしいですか？"_s), "expected");
    QCOMPARE(buttons, (QStringList { u"いいえ"_s, u"はい"_s }));
}

void TestDialogs::input_data()
{
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("typed");
    QTest::newRow("OK") << true << u"(´▽｀)"_s;
    QTest::newRow("OK on an empty field") << true << QString();
    QTest::newRow("cancel") << false << u"abc"_s;
}

void TestDialogs::input()
{
    QFETCH(bool, ok);
    QFETCH(QString, typed);
    QStringList seen;
    whenShown<QInputDialog>(
        [&](QInputDialog* box) {
            seen << box->windowTitle() << box->labelText() << buttonTexts(box);
            QVERIFY(box->findChild<QLineEdit*>()->text().isEmpty());
            // Typed as an input method would deliver it: text carried by the event.
            QKeyEvent key(QEvent::KeyPress, 0, Qt::NoModifier, typed);
            QApplication::sendEvent(box->findChild<QLineEdit*>(), &key);
        },
        [ok](QInputDialog* box) { ok ? box->accept() : box->reject(); });
    const std::optional<QString> answer = dialogs_.input(nullptr, u"顔文字を入力してください"_s);
    QCOMPARE(seen, (QStringList { "Nikomaru", u"顔文字を入力してください"_s, "OK", u"キャンセル"_s }));
    QCOMPARE(answer.has_value(), ok);
    if (ok)
        QCOMPARE(*answer, typed);
}

void TestDialogs::openFile()
{
    QTemporaryDir dir;
    QFile(dir.filePath("faces.txt")).open(QIODevice::WriteOnly);
    QFile(dir.filePath("NOEXT")).open(QIODevice::WriteOnly);
    const QString filter = u"テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0"_s;
    QStringList filters;
    QString directory;
    whenShown<QFileDialog>(
        [&](QFileDialog* dialog) {
            const auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
            for (int i = 0; i < types->count(); ++i)
                filters << types->itemText(i);
            filters << types->currentText();
            directory = dialog->directory().absolutePath();
            QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
            QVERIFY(dialog->windowTitle().isEmpty() || !dialog->windowTitle().contains("Nikomaru"));
            // The second filter shows files without a dot too.
            QCOMPARE(dialog->nameFilters().value(1).contains("(*)"), true);
        },
        [&](QFileDialog* dialog) {
            dialog->selectFile(dir.filePath("faces.txt"));
            static_cast<QDialog*>(dialog)->accept();
        });
    const QString path = platform::openFileDialog(nullptr, filter, dir.path());
    QCOMPARE(filters,
        (QStringList { u"テキストファイル(*.txt)"_s, u"すべてのファイル(*.*)"_s, u"テキストファイル(*.txt)"_s }));
    QCOMPARE(directory, QDir(dir.path()).absolutePath());
    QCOMPARE(path, dir.filePath("faces.txt"));

    whenShown<QFileDialog>([](QFileDialog*) {}, [](QFileDialog* dialog) { dialog->reject(); });
    QCOMPARE(platform::openFileDialog(nullptr, filter, dir.path()), QString());
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
