#include "fakedialogs.h"
#include "form1.h"
#include "form2.h"
#include "tempfolder.h"

#include "listbox.h"
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void layout_data();
    void layout();
    void tabOrderAndFocus();
    void keys_data();
    void keys();
    void sidewaysExtent();
    void copyWithoutSelection();
    void about();
    void restoreOption_data();
    void restoreOption();
    void storeOption_data();
    void storeOption();
    void loadFailure();
    void unloadAndLoadAgain();
    void endsWhenNoWindowIsLoaded();

private:
    template <typename T> T* control(const char* name) { return form_->findChild<T*>(QLatin1String(name)); }
    QString storedSetting() { return QSettings("Nikomaru", "Nikomaru").value("Setting/Check", "<missing>").toString(); }

    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<TempFolder> settingsDir_;
    FakeDialogs dialogs_;
    std::unique_ptr<Form1> form_;
};

void TestForm1::init()
{
    folder_ = std::make_unique<TempFolder>();
    settingsDir_ = std::make_unique<TempFolder>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_->path());
    folder_->write("kaolist2.txt", "(^_^)\r\n\r\n\xC9\xBC\r\n");
    folder_->write("kaolist1.txt", "pool\r\n");
    dialogs_ = FakeDialogs();
    form_ = std::make_unique<Form1>(folder_->path(), dialogs_);
}

void TestForm1::cleanup()
{
    form_.reset();
}

void TestForm1::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("List1") << "List1" << QRect(0, 0, 105, 148) << "";
    QTest::newRow("Command1") << "Command1" << QRect(0, 152, 105, 43) << u"コピー"_s;
    QTest::newRow("Command2") << "Command2" << QRect(0, 194, 105, 43) << u"編集"_s;
    QTest::newRow("Command3") << "Command3" << QRect(0, 236, 105, 43) << "About";
    QTest::newRow("Check1") << "Check1" << QRect(0, 284, 105, 12) << u"常に手前に表示"_s;
}

void TestForm1::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QVERIFY(form_->Load());
    QCOMPARE(form_->windowTitle(), "Nikomaru");
    QCOMPARE(form_->size(), QSize(106, 300));
    QCOMPARE(form_->minimumSize(), form_->maximumSize());
    QVERIFY(!(form_->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QWidget* widget = form_->findChild<QWidget*>(name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        QCOMPARE(button->text(), caption);
}

void TestForm1::tabOrderAndFocus()
{
    QVERIFY(form_->Load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("List1"));
    for (const char* next : { "Command1", "Command2", "Command3", "Check1", "List1" }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), "Check1");
}

void TestForm1::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("clipboard"); // "-" when nothing is copied
    QTest::addColumn<int>("messages");
    QTest::newRow("Enter on the list copies") << "List1" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("keypad Enter on the list copies") << "List1" << int(Qt::Key_Enter) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on the check box copies") << "Check1" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on Copy copies") << "Command1" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on About shows About") << "Command3" << int(Qt::Key_Return) << "-" << 1;
    QTest::newRow("Escape does nothing") << "List1" << int(Qt::Key_Escape) << "-" << 0;
}

void TestForm1::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, clipboard);
    QFETCH(int, messages);
    QVERIFY(form_->Load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    control<ListBox>("List1")->setListIndex(2);
    QApplication::clipboard()->setText("-");
    form_->findChild<QWidget*>(focus)->setFocus();
    QTest::keyClick(form_->findChild<QWidget*>(focus), Qt::Key(key));
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    QCOMPARE(dialogs_.shown.size(), messages);
    QVERIFY(form_->isVisible());
    QVERIFY(form_->isLoaded());
}

void TestForm1::sidewaysExtent()
{
    // Whatever the faces' widths, the list scrolls sideways over 200 pixels, no more.
    folder_->write("kaolist2.txt", QByteArray("(^_^)\r\n") + QByteArray(300, 'W') + "\r\n");
    QVERIFY(form_->Load());
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    auto* list = control<ListBox>("List1");
    QScrollBar* bar = list->horizontalScrollBar();
    QTRY_COMPARE(bar->maximum(), 200 - list->viewport()->width());
    QCOMPARE(bar->minimum(), 0);
}

void TestForm1::copyWithoutSelection()
{
    QVERIFY(form_->Load());
    QApplication::clipboard()->setText("previous");
    control<QPushButton>("Command1")->click();
    QCOMPARE(QApplication::clipboard()->text(), QString());
}

void TestForm1::about()
{
    QVERIFY(form_->Load());
    control<QPushButton>("Command3")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].startsWith(u"Nikomaru Ver1.02\r\n制作："_s));
    QCOMPARE(dialogs_.shown[0].count("\r\n"), 1);
}

void TestForm1::restoreOption_data()
{
    QTest::addColumn<QByteArray>("file"); // the settings file as stored
    QTest::addColumn<bool>("on");
    QTest::newRow("True") << QByteArray("[Setting]\nCheck=True\n") << true;
    QTest::newRow("lower case") << QByteArray("[Setting]\nCheck=true\n") << false;
    QTest::newRow("leading blank") << QByteArray("[Setting]\nCheck=\" True\"\n") << false;
    QTest::newRow("empty") << QByteArray("[Setting]\nCheck=\n") << false;
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("garbage") << QByteArray("\x01\xFF[[[=\n\n==") << false;
    QTest::newRow("list value") << QByteArray("[Setting]\nCheck=True, True\n") << false;
    QTest::newRow("unreadable") << QByteArray("<folder>") << false;
}

void TestForm1::restoreOption()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, on);
    QDir(settingsDir_->path()).mkdir("Nikomaru");
    if (file == "<folder>")
        QDir(settingsDir_->path()).mkpath("Nikomaru/Nikomaru.conf"); // root reads any file; a folder it cannot
    else
        settingsDir_->write("Nikomaru/Nikomaru.conf", file);
    QVERIFY(form_->Load());
    QCOMPARE(control<QCheckBox>("Check1")->isChecked(), on);
    QCOMPARE(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QCOMPARE(form_->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
}

void TestForm1::storeOption_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("stored");
    QTest::newRow("off is the empty string") << 0 << "";
    QTest::newRow("on is True") << 1 << "True";
    QTest::newRow("on then off") << 2 << "";
}

void TestForm1::storeOption()
{
    QFETCH(int, clicks);
    QFETCH(QString, stored);
    QVERIFY(form_->Load());
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QWindow* window = form_->windowHandle();
    for (int i = 0; i < clicks; ++i)
        control<QCheckBox>("Check1")->click();
    QCOMPARE(form_->windowHandle(), window); // changed in place, not re-created
    QCOMPARE(window->flags().testFlag(Qt::WindowStaysOnTopHint), clicks == 1);
    QCOMPARE(storedSetting(), "<missing>"); // stored only when the window is unloaded
    form_->close();
    QCOMPARE(storedSetting(), stored);
    QCOMPARE(QSettings("Nikomaru", "Nikomaru").value("Setting/Check").typeId(), QMetaType::QString);
}

void TestForm1::loadFailure()
{
    QFile::remove(folder_->file("kaolist2.txt"));
    QVERIFY(!form_->Load());
    QVERIFY(!form_->isVisible());
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist2.txt"))));
    QVERIFY(dialogs_.shown[0].contains(u"ファイルが見つかりません。"_s));
    QVERIFY(!QFileInfo::exists(folder_->file("kaolist2.txt")));
}

void TestForm1::unloadAndLoadAgain()
{
    QVERIFY(form_->Load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    control<QCheckBox>("Check1")->click();
    control<ListBox>("List1")->setListIndex(0);
    control<QPushButton>("Command2")->setFocus(); // an auto-default button takes over Enter
    form_->Unload();
    QVERIFY(!form_->isVisible());
    QCOMPARE(control<ListBox>("List1")->count(), 0);
    folder_->write("kaolist2.txt", "new\r\n");
    QVERIFY(form_->Load());
    QCOMPARE(control<ListBox>("List1")->count(), 1);
    QCOMPARE(control<ListBox>("List1")->text(0), "new");
    QCOMPARE(control<ListBox>("List1")->listIndex(), -1);
    QVERIFY(control<QCheckBox>("Check1")->isChecked());
    QVERIFY(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(control<QPushButton>("Command1")->isDefault());
    QVERIFY(!control<QPushButton>("Command2")->isDefault());
}

void TestForm1::endsWhenNoWindowIsLoaded()
{
    QSignalSpy ended(form_.get(), &Form1::allWindowsUnloaded);
    QVERIFY(form_->Load());
    // Unloading and loading again within one handler does not end the program.
    form_->Unload();
    QVERIFY(form_->Load());
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
    // With the editor open, closing the main window does not end it either.
    control<QPushButton>("Command2")->click();
    QVERIFY(form_->editor());
    form_->close();
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
    form_->editor()->close();
    QVERIFY(ended.wait(1000));
    QTRY_VERIFY(!form_->editor()); // discarded once closed
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
