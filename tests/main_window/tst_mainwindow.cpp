#include "fakedialogs.h"
#include "listeditor.h"
#include "mainwindow.h"
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

class TestMainWindow : public QObject {
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
    std::unique_ptr<MainWindow> form_;
};

void TestMainWindow::init()
{
    folder_ = std::make_unique<TempFolder>();
    settingsDir_ = std::make_unique<TempFolder>();
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsDir_->path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir_->path());
    folder_->write("kaolist2.txt", "(^_^)\r\n\r\n\xC9\xBC\r\n");
    folder_->write("kaolist1.txt", "pool\r\n");
    dialogs_ = FakeDialogs();
    form_ = std::make_unique<MainWindow>(folder_->path(), dialogs_);
}

void TestMainWindow::cleanup()
{
    form_.reset();
}

void TestMainWindow::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("caption");
    QTest::newRow("faceList") << "faceList" << QRect(0, 0, 105, 148) << "";
    QTest::newRow("copyButton") << "copyButton" << QRect(0, 152, 105, 43) << u"コピー"_s;
    QTest::newRow("editButton") << "editButton" << QRect(0, 194, 105, 43) << u"編集"_s;
    QTest::newRow("aboutButton") << "aboutButton" << QRect(0, 236, 105, 43) << "About";
    QTest::newRow("alwaysOnTopBox") << "alwaysOnTopBox" << QRect(0, 284, 105, 12) << u"常に手前に表示"_s;
}

void TestMainWindow::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, caption);
    QVERIFY(form_->load());
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

void TestMainWindow::tabOrderAndFocus()
{
    QVERIFY(form_->load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    QCOMPARE(QApplication::focusWidget(), control<QWidget>("faceList"));
    for (const char* next : { "copyButton", "editButton", "aboutButton", "alwaysOnTopBox", "faceList" }) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(next));
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), "alwaysOnTopBox");
}

void TestMainWindow::keys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("clipboard"); // "-" when nothing is copied
    QTest::addColumn<int>("messages");
    QTest::newRow("Enter on the list copies") << "faceList" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("keypad Enter on the list copies") << "faceList" << int(Qt::Key_Enter) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on the check box copies") << "alwaysOnTopBox" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on Copy copies") << "copyButton" << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
    QTest::newRow("Enter on About shows About") << "aboutButton" << int(Qt::Key_Return) << "-" << 1;
    QTest::newRow("Escape does nothing") << "faceList" << int(Qt::Key_Escape) << "-" << 0;
}

void TestMainWindow::keys()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, clipboard);
    QFETCH(int, messages);
    QVERIFY(form_->load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    control<ListBox>("faceList")->setListIndex(2);
    QApplication::clipboard()->setText("-");
    form_->findChild<QWidget*>(focus)->setFocus();
    QTest::keyClick(form_->findChild<QWidget*>(focus), Qt::Key(key));
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    QCOMPARE(dialogs_.shown.size(), messages);
    QVERIFY(form_->isVisible());
    QVERIFY(form_->isLoaded());
}

void TestMainWindow::sidewaysExtent()
{
    // Whatever the faces' widths, the list scrolls sideways over 200 pixels, no more.
    folder_->write("kaolist2.txt", QByteArray("(^_^)\r\n") + QByteArray(300, 'W') + "\r\n");
    QVERIFY(form_->load());
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    auto* list = control<ListBox>("faceList");
    QScrollBar* bar = list->horizontalScrollBar();
    QTRY_COMPARE(bar->maximum(), 200 - list->viewport()->width());
    QCOMPARE(bar->minimum(), 0);
}

void TestMainWindow::copyWithoutSelection()
{
    QVERIFY(form_->load());
    QApplication::clipboard()->setText("previous");
    control<QPushButton>("copyButton")->click();
    QCOMPARE(QApplication::clipboard()->text(), QString());
}

void TestMainWindow::about()
{
    QVERIFY(form_->load());
    control<QPushButton>("aboutButton")->click();
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].startsWith(u"Nikomaru Ver1.02\r\n制作："_s));
    QCOMPARE(dialogs_.shown[0].count("\r\n"), 1);
}

void TestMainWindow::restoreOption_data()
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

void TestMainWindow::restoreOption()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, on);
    QDir(settingsDir_->path()).mkdir("Nikomaru");
    if (file == "<folder>")
        QDir(settingsDir_->path()).mkpath("Nikomaru/Nikomaru.conf"); // root reads any file; a folder it cannot
    else
        settingsDir_->write("Nikomaru/Nikomaru.conf", file);
    QVERIFY(form_->load());
    QCOMPARE(control<QCheckBox>("alwaysOnTopBox")->isChecked(), on);
    QCOMPARE(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on);
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QCOMPARE(form_->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), on);
}

void TestMainWindow::storeOption_data()
{
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("stored");
    QTest::newRow("off is the empty string") << 0 << "";
    QTest::newRow("on is True") << 1 << "True";
    QTest::newRow("on then off") << 2 << "";
}

void TestMainWindow::storeOption()
{
    QFETCH(int, clicks);
    QFETCH(QString, stored);
    QVERIFY(form_->load());
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
    QWindow* window = form_->windowHandle();
    for (int i = 0; i < clicks; ++i)
        control<QCheckBox>("alwaysOnTopBox")->click();
    QCOMPARE(form_->windowHandle(), window); // changed in place, not re-created
    QCOMPARE(window->flags().testFlag(Qt::WindowStaysOnTopHint), clicks == 1);
    QCOMPARE(storedSetting(), "<missing>"); // stored only when the window is unloaded
    form_->close();
    QCOMPARE(storedSetting(), stored);
    QCOMPARE(QSettings("Nikomaru", "Nikomaru").value("Setting/Check").typeId(), QMetaType::QString);
}

void TestMainWindow::loadFailure()
{
    QFile::remove(folder_->file("kaolist2.txt"));
    QVERIFY(!form_->load());
    QVERIFY(!form_->isVisible());
    QCOMPARE(dialogs_.shown.size(), 1);
    QVERIFY(dialogs_.shown[0].contains(QDir::toNativeSeparators(folder_->file("kaolist2.txt"))));
    QVERIFY(dialogs_.shown[0].contains(u"ファイルが見つかりません。"_s));
    QVERIFY(!QFileInfo::exists(folder_->file("kaolist2.txt")));
}

void TestMainWindow::unloadAndLoadAgain()
{
    QVERIFY(form_->load());
    QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    control<QCheckBox>("alwaysOnTopBox")->click();
    control<ListBox>("faceList")->setListIndex(0);
    control<QPushButton>("editButton")->setFocus(); // an auto-default button takes over Enter
    form_->unload();
    QVERIFY(!form_->isVisible());
    QCOMPARE(control<ListBox>("faceList")->count(), 0);
    folder_->write("kaolist2.txt", "new\r\n");
    QVERIFY(form_->load());
    QCOMPARE(control<ListBox>("faceList")->count(), 1);
    QCOMPARE(control<ListBox>("faceList")->text(0), "new");
    QCOMPARE(control<ListBox>("faceList")->listIndex(), -1);
    QVERIFY(control<QCheckBox>("alwaysOnTopBox")->isChecked());
    QVERIFY(form_->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(control<QPushButton>("copyButton")->isDefault());
    QVERIFY(!control<QPushButton>("editButton")->isDefault());
}

void TestMainWindow::endsWhenNoWindowIsLoaded()
{
    QSignalSpy ended(form_.get(), &MainWindow::allWindowsUnloaded);
    QVERIFY(form_->load());
    // Unloading and loading again within one handler does not end the program.
    form_->unload();
    QVERIFY(form_->load());
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
    // With the editor open, closing the main window does not end it either.
    control<QPushButton>("editButton")->click();
    QVERIFY(form_->editor());
    form_->close();
    QTest::qWait(20);
    QCOMPARE(ended.size(), 0);
    form_->editor()->close();
    QVERIFY(ended.wait(1000));
    QTRY_VERIFY(!form_->editor()); // discarded once closed
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
