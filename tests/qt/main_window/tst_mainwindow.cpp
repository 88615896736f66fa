#include "windowfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGlyphRun>
#include <QMenu>
#include <QMimeData>
#include <QRawFont>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextLayout>
#include <QTimer>

using namespace Qt::StringLiterals;

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;
    ListBox* list() { return f->main<ListBox>("faceList"); }
    QCheckBox* alwaysOnTop() { return f->main<QCheckBox>("alwaysOnTopBox"); }

private slots:
    void initTestCase() { installAppearance(*qApp); }
    void init()
    {
        // The last face is wider than a row.
        f = std::make_unique<WindowFixture>(
            "(^_^)\r\n\r\n\xC9\xBC\r\n" + QByteArray("\x82\xA0").repeated(2000) + "\r\n", "pool\r\n");
        QVERIFY(f->window->load());
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
    }

    void controlsAndKeys()
    {
        QVERIFY(f->window->minimumSize() == QSize(106, 300) && f->window->maximumSize() == QSize(106, 300));
        // Screen readers see a window with its title.
        const QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(f->window.get());
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), "Nikomaru");
        QVERIFY(!list()->currentIndex().isValid()); // nothing looks selected
        // In tab order, the focus starting on the list: where each control is and its caption;
        // then with a face selected, a key pressed there, and what is on the clipboard then.
        for (const auto& [name, geometry, caption, select, key, copied] :
            { std::tuple { "faceList", QRect(0, 0, 105, 148), QString(), 2, Qt::Key_Return, u"ﾉｼ"_s },
                { "copyButton", { 0, 152, 105, 43 }, u"コピー"_s, -1, Qt::Key_Space, QString() },
                { "editButton", { 0, 194, 105, 43 }, u"編集"_s, 2, Qt::Key_Escape, u"-"_s },
                { "aboutButton", { 0, 236, 105, 43 }, u"About"_s, 2, Qt::Key_Return, u"-"_s },
                { "alwaysOnTopBox", { 0, 284, 105, 12 }, u"常に手前に表示"_s, 0, Qt::Key_Enter, u"(^_^)"_s } }) {
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(name));
            QCOMPARE(f->main(name)->geometry(), geometry);
            QCOMPARE(f->main<QAbstractButton>(name) ? f->main<QAbstractButton>(name)->text() : QString(), caption);
            list()->setListIndex(select);
            QApplication::clipboard()->setText("-");
            QTest::keyClick(QApplication::focusWidget(), key);
            QCOMPARE(QApplication::clipboard()->text(), copied);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(QApplication::focusWidget(), list());
        QVERIFY(f->window->isVisible()); // Escape did not close it
        QCOMPARE(f->dialogs.shown.size(), 1); // About, by Return
        // A face wider than a row: the list scrolls sideways over 200 pixels, no more, and draws
        // only what those can show; it is copied and dragged out whole, as plain text.
        const QString face(2000, u'あ');
        QTRY_COMPARE(list()->horizontalScrollBar()->maximum(), 200 - list()->viewport()->width());
        const QModelIndex last = list()->model()->index(3, 0);
        QCOMPARE(last.data().toString().size(), 512);
        QCOMPARE(std::unique_ptr<QMimeData>(list()->model()->mimeData({ last }))->text(), face);
        // A double-click copies the face.
        const QPoint at = list()->visualRect(last).center();
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, at, 0);
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, at); // QTest's double click lacks the first press
        QCOMPARE(QApplication::clipboard()->text(), face);
        // A face's menu: コピー copies it; 前のウィンドウに貼り付け shows its key.
        L entries;
        QTimer::singleShot(0, this, [&entries] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (const QAction* action : menu->actions())
                    entries << action->text() + u'|' + action->shortcut().toString();
                menu->actions().constFirst()->trigger();
                menu->close();
            }
        });
        emit list()->customContextMenuRequested(list()->visualRect(list()->model()->index(0, 0)).center());
        QCOMPARE(entries, (L { u"コピー|"_s, u"前のウィンドウに貼り付け|Shift+Return"_s }));
        QCOMPARE(QApplication::clipboard()->text(), "(^_^)");
    }

    void facesFitTheirRows()
    {
        // Every face of the starter lists and faces people use, far down a list too, are drawn
        // whole in the font in use: the row centres the text's line, so the glyphs' ink must
        // stay inside the row once the list has been shown.
        L samples { u"ʕ•ᴥ•ʔ"_s, u"¯\\_(ツ)_/¯"_s, u"( ͡° ͜ʖ ͡°)"_s, u"(๑•̀ㅂ•́)و✧"_s, u"(ﾉ◕ヮ◕)ﾉ*:･ﾟ✧"_s, u"(´∀｀)ｇ"_s,
            u"(ó\u030D_ò\u030D)"_s };
        for (const QString name : { "/kaolist1.txt", "/kaolist2.txt" })
            samples += storedFaces(STARTER_LISTS + name);
        // Far beyond what a first screen shows.
        f = std::make_unique<WindowFixture>(listBytes(L(200, "(^_^)") + samples), "");
        QVERIFY(f->window->load());
        const auto misfit = [&] {
            const int row = list()->visualRect(list()->model()->index(0, 0)).height();
            for (const QString& face : samples) {
                QTextLayout layout(face, list()->font());
                layout.beginLayout();
                const QTextLine line = layout.createLine();
                layout.endLayout();
                const qreal top = (row - line.height()) / 2;
                for (const QGlyphRun& run : layout.glyphRuns())
                    for (qsizetype i = 0; i < run.glyphIndexes().size(); ++i) {
                        const QRectF ink
                            = run.rawFont().boundingRect(run.glyphIndexes()[i]).translated(run.positions()[i]);
                        if (!ink.isEmpty() && (top + ink.top() < 0 || top + ink.bottom() > row))
                            return u"%1 in a row of %2 pixels"_s.arg(face).arg(row);
                    }
            }
            return QString();
        };
        QTRY_COMPARE(misfit(), QString());
    }

    void option_data()
    {
        QTest::addColumn<QByteArray>("file"); // the settings file as stored
        QTest::addColumn<int>("clicks"); // on the box once loaded
        QTest::addColumn<QString>("stored"); // once unloaded
        QTest::newRow("True, cleared") << "[Setting]\nCheck=True\n"_ba << 1 << "";
        QTest::newRow("missing, checked") << QByteArray() << 1 << "True";
    }
    void option() // and unload, load again
    {
        QFETCH(QByteArray, file);
        QFETCH(int, clicks);
        f->window->unload(); // which stores the option: start from the file given
        f->settings.write("Nikomaru/Nikomaru.conf", file);
        QVERIFY(f->window->load());
        QWindow* window = f->window->windowHandle();
        bool on = file.contains("=True");
        for (int i = 0; i <= clicks; ++i, on = !on) {
            QCOMPARE(alwaysOnTop()->isChecked(), on);
            QCOMPARE(window->flags().testFlag(Qt::WindowStaysOnTopHint), on);
            if (i < clicks)
                alwaysOnTop()->click();
        }
        QCOMPARE(f->window->windowHandle(), window); // changed in place, not re-created
        list()->setListIndex(0);
        f->main("editButton")->setFocus(); // an auto-default button takes over Enter
        f->window->unload();
        QTEST(f->storedOption(), "stored");
        QVERIFY(!f->window->isVisible());
        f->folder.write("kaolist2.txt", "new\r\n");
        QVERIFY(f->window->load());
        QCOMPARE(list()->items(), L { "new" });
        QCOMPARE(list()->listIndex(), -1);
        QVERIFY(f->main<QPushButton>("copyButton")->isDefault() && !f->main<QPushButton>("editButton")->isDefault());
    }

    void programEnd()
    {
        QSignalSpy ended(f->window.get(), &MainWindow::allWindowsUnloaded);
        QSignalSpy fatal(f->window.get(), &MainWindow::fatalError);
        // Unloading and loading again within one handler does not end the program.
        f->window->unload();
        QVERIFY(f->window->load());
        // With the editor open, closing the main window does not end it either; OK loads it again.
        f->main<QPushButton>("editButton")->click();
        f->window->close();
        QCoreApplication::processEvents(); // the end is decided once the handler has returned
        QCOMPARE(ended.size(), 0);
        f->edit("okButton")->click();
        QVERIFY(f->window->isLoaded() && f->window->isVisible());
        QTRY_VERIFY(!f->editor()); // discarded once closed
        f->main<QPushButton>("editButton")->click();
        f->window->close();
        f->editor()->close();
        QVERIFY(ended.wait(1000));
        // A list that cannot be read ends it at once: the pool when the editor opens, the
        // current list when the main window loads.
        QTRY_VERIFY(!f->editor());
        QVERIFY(f->window->load());
        QVERIFY(QFile::remove(f->folder.file("kaolist1.txt")) && QFile::remove(f->folder.file("kaolist2.txt")));
        f->main<QPushButton>("editButton")->click();
        f->window->unload();
        QVERIFY(!f->window->load() && !f->window->isVisible());
        QCOMPARE(fatal.size(), 2);
        // Told in boxes kept above the main window, which may be on top; at start no window is shown.
        QCOMPARE(f->dialogs.owners, (QList<QWidget*> { f->window.get(), nullptr }));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
