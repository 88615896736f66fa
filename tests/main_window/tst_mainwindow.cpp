#include "windowfixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGlyphRun>
#include <QMimeData>
#include <QRawFont>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

private slots:
    void initTestCase() { installAppearance(*qApp); }
    void init() { f = std::make_unique<WindowFixture>("(^_^)\r\n\r\n\xC9\xBC\r\n", "pool\r\n"); }

    void layoutAndFocus()
    {
        QVERIFY(f->window->load());
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        QCOMPARE(f->window->windowTitle(), "Nikomaru");
        QCOMPARE(f->window->minimumSize(), QSize(106, 300));
        QCOMPARE(f->window->maximumSize(), QSize(106, 300));
        const std::tuple<const char*, QRect, QString> controls[]
            = { { "faceList", { 0, 0, 105, 148 }, "" }, { "copyButton", { 0, 152, 105, 43 }, u"コピー"_s },
                  { "editButton", { 0, 194, 105, 43 }, u"編集"_s }, { "aboutButton", { 0, 236, 105, 43 }, "About" },
                  { "alwaysOnTopBox", { 0, 284, 105, 12 }, u"常に手前に表示"_s } };
        // Created in tab order; the focus starts on the list.
        for (const auto& [name, geometry, caption] : controls) {
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
            QCOMPARE(f->main(name)->geometry(), geometry);
            if (auto* button = f->main<QAbstractButton>(name))
                QCOMPARE(button->text(), caption);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), f->main("faceList"));
        QVERIFY(!f->main<ListBox>("faceList")->currentIndex().isValid()); // nothing looks selected
        // Whatever the faces' widths, the list scrolls sideways over 200 pixels, no more.
        auto* list = f->main<ListBox>("faceList");
        list->addItem(QString(300, u'W'));
        QTRY_COMPARE(list->horizontalScrollBar()->maximum(), 200 - list->viewport()->width());
    }

    void facesFitTheirRows()
    {
        // Every face of the starter lists and faces people use, far down a list too, are drawn
        // whole in the font in use: the row centres the text's line, so the glyphs' ink must
        // stay inside the row once the list has been shown.
        QString reason;
        const auto pool = faces::readFaceText(STARTER_LISTS "/kaolist1.txt", &reason);
        const auto current = faces::readFaceText(STARTER_LISTS "/kaolist2.txt", &reason);
        QVERIFY2(pool && current, qPrintable(reason));
        L samples = pool->toList() + current->toList();
        samples += { u"ʕ•ᴥ•ʔ"_s, u"¯\\_(ツ)_/¯"_s, u"( ͡° ͜ʖ ͡°)"_s, u"(๑•̀ㅂ•́)و✧"_s, u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s, u"(´∀｀)ｇ"_s,
            u"(ó\u030D_ò\u030D)"_s };
        auto* list = f->main<ListBox>("faceList");
        list->addItems(L(200, "(^_^)") + samples); // beyond the faces a first screen shows
        QVERIFY(f->window->load());
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
        const auto misfit = [&] {
            const int row = list->visualRect(list->model()->index(0, 0)).height();
            for (const QString& face : samples) {
                QTextLayout layout(face, list->font());
                layout.beginLayout();
                const QTextLine line = layout.createLine();
                layout.endLayout();
                const qreal top = (row - line.height()) / 2;
                for (const QGlyphRun& run : layout.glyphRuns()) {
                    for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
                        const QRectF ink
                            = run.rawFont().boundingRect(run.glyphIndexes()[i]).translated(run.positions()[i]);
                        if (!ink.isEmpty() && (top + ink.top() < 0 || top + ink.bottom() > row))
                            return u"%1 in a row of %2 pixels"_s.arg(face).arg(row);
                    }
                }
            }
            return QString();
        };
        QTRY_COMPARE(misfit(), QString());
    }

    void doubleClickAndDrag()
    {
        QVERIFY(f->window->load());
        QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
        auto* list = f->main<ListBox>("faceList");
        const QString face(2000, u'あ'); // more than a row shows
        list->addItem(face);
        const QPoint at = list->visualRect(list->model()->index(2, 0)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at, 0);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at); // QTest's double click lacks the first press
        QCOMPARE(QApplication::clipboard()->text(), u"ﾉｼ"_s);
        QCOMPARE(list->model()->index(3, 0).data().toString().size(), 512); // drawn: what 200 pixels can show
        // A face is dragged out whole, as plain text, and only copied.
        const std::unique_ptr<QMimeData> dragged(list->model()->mimeData({ list->model()->index(3, 0) }));
        QCOMPARE(dragged->text(), face);
        QCOMPARE(list->model()->supportedDragActions(), Qt::CopyAction);
        QCOMPARE(list->dragDropMode(), QAbstractItemView::DragOnly);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("select");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("clipboard"); // "-": nothing copied
        QTest::addColumn<int>("messages");
        QTest::newRow("Enter on the list copies") << "faceList" << 2 << int(Qt::Key_Return) << u"ﾉｼ"_s << 0;
        QTest::newRow("keypad Enter on the check box copies")
            << "alwaysOnTopBox" << 0 << int(Qt::Key_Enter) << "(^_^)" << 0;
        QTest::newRow("copy without a selection copies nothing") << "copyButton" << -1 << int(Qt::Key_Space) << "" << 0;
        QTest::newRow("Enter on About shows About") << "aboutButton" << 2 << int(Qt::Key_Return) << "-" << 1;
        QTest::newRow("Escape does nothing") << "faceList" << 2 << int(Qt::Key_Escape) << "-" << 0;
    }
    void keys()
    {
        QFETCH(QString, focus);
        QFETCH(int, select);
        QFETCH(int, key);
        QVERIFY(f->window->load());
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        f->main<ListBox>("faceList")->setListIndex(select);
        QApplication::clipboard()->setText("-");
        f->main(qPrintable(focus))->setFocus();
        QTest::keyClick(f->main(qPrintable(focus)), Qt::Key(key));
        QTEST(QApplication::clipboard()->text(), "clipboard");
        QTEST(int(f->dialogs.shown.size()), "messages");
        QVERIFY(f->dialogs.shown.isEmpty() || f->dialogs.shown[0].startsWith(u"Nikomaru Ver1.02\r\n制作："_s));
        QVERIFY(f->window->isVisible());
    }

    void option_data()
    {
        QTest::addColumn<QByteArray>("file"); // the settings file as stored
        QTest::addColumn<bool>("on"); // once loaded
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("stored"); // once unloaded
        QTest::newRow("True") << QByteArray("[Setting]\nCheck=True\n") << true << 0 << "True";
        QTest::newRow("True, cleared") << QByteArray("[Setting]\nCheck=True\n") << true << 1 << "";
        QTest::newRow("lower case") << QByteArray("[Setting]\nCheck=true\n") << false << 0 << "";
        QTest::newRow("missing, checked") << QByteArray() << false << 1 << "True";
        QTest::newRow("missing, checked and cleared") << QByteArray() << false << 2 << "";
        QTest::newRow("garbage") << QByteArray("\x01\xFF[[[=\n\n==") << false << 0 << "";
        QTest::newRow("list value") << QByteArray("[Setting]\nCheck=True, True\n") << false << 0 << "";
        QTest::newRow("unreadable") << QByteArray("<folder>") << false << 1 << "<missing>";
    }
    void option() // and unload, load again
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, on);
        QFETCH(int, clicks);
        QDir(f->settings.path()).mkdir("Nikomaru");
        if (file == "<folder>")
            QDir(f->settings.path()).mkpath("Nikomaru/Nikomaru.conf"); // root reads any file; a folder it cannot
        else if (!file.isEmpty())
            f->settings.write("Nikomaru/Nikomaru.conf", file);
        QVERIFY(f->window->load());
        QCOMPARE(f->main<QCheckBox>("alwaysOnTopBox")->isChecked(), on);
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        QWindow* window = f->window->windowHandle();
        QCOMPARE(window->flags().testFlag(Qt::WindowStaysOnTopHint), on);
        const QString before = f->storedOption();
        for (int i = 0; i < clicks; ++i)
            f->main<QCheckBox>("alwaysOnTopBox")->click();
        on ^= clicks % 2;
        QCOMPARE(f->window->windowHandle(), window); // changed in place, not re-created
        QCOMPARE(window->flags().testFlag(Qt::WindowStaysOnTopHint), on);
        QCOMPARE(f->storedOption(), before); // stored only when the window is unloaded
        f->main<ListBox>("faceList")->setListIndex(0);
        f->main("editButton")->setFocus(); // an auto-default button takes over Enter
        f->window->unload();
        QTEST(f->storedOption(), "stored");
        QVERIFY(!f->window->isVisible());
        f->folder.write("kaolist2.txt", "new\r\n");
        QVERIFY(f->window->load());
        QCOMPARE(f->main<ListBox>("faceList")->items(), QStringList { "new" });
        QCOMPARE(f->main<ListBox>("faceList")->listIndex(), -1);
        QCOMPARE(f->window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), on && file != "<folder>");
        QVERIFY(f->main<QPushButton>("copyButton")->isDefault() && !f->main<QPushButton>("editButton")->isDefault());
    }

    void loadFailure()
    {
        QFile::remove(f->folder.file("kaolist2.txt"));
        QSignalSpy fatal(f->window.get(), &MainWindow::fatalError);
        QVERIFY(!f->window->load());
        QVERIFY(!f->window->isVisible());
        QCOMPARE(fatal.size(), 1);
        QCOMPARE(f->dialogs.shown,
            QStringList { u"顔文字のリストを読み込めないため、終了します。\r\n%1\r\nファイルが見つかりません。"_s.arg(
                QDir::toNativeSeparators(f->folder.file("kaolist2.txt"))) });
    }

    void endsWhenNoWindowIsLoaded()
    {
        QSignalSpy ended(f->window.get(), &MainWindow::allWindowsUnloaded);
        QVERIFY(f->window->load());
        // Unloading and loading again within one handler does not end the program.
        f->window->unload();
        QVERIFY(f->window->load());
        // With the editor open, closing the main window does not end it either; OK loads it again.
        f->main<QPushButton>("editButton")->click();
        f->window->close();
        QCoreApplication::processEvents(); // the end is decided once the handler has returned
        QCOMPARE(ended.size(), 0);
        f->editor()->findChild<QPushButton*>("okButton")->click();
        QVERIFY(f->window->isLoaded() && f->window->isVisible());
        QTRY_VERIFY(!f->editor());
        f->main<QPushButton>("editButton")->click();
        f->window->close();
        f->editor()->close();
        QVERIFY(ended.wait(1000));
        QTRY_VERIFY(!f->editor()); // discarded once closed
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
