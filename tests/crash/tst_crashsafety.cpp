// Killed at random moments while saving, the face list files stay whole. The test runs itself
// with --drive FOLDER as the program that saves.
#include "fakedialogs.h"
#include "listbox.h"
#include "listeditor.h"
#include "mainwindow.h"
#include "tempfolder.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

constexpr int kFaces = 20000;

// Faces first..last-1, each ended by CR LF.
QByteArray lines(int first, int last)
{
    QByteArray bytes;
    for (int i = first; i < last; ++i)
        bytes += "face " + QByteArray::number(i) + " (^_^)\r\n";
    return bytes;
}

// Presses the editor's OK over and over, moving the pool's first face to the current list.
int drive(const QString& folder)
{
    FakeDialogs dialogs;
    MainWindow mainWindow({ folder, folder + "/user" }, dialogs);
    for (bool ok = mainWindow.load(); ok && dialogs.shown.isEmpty();) {
        mainWindow.findChild<QPushButton*>(QStringLiteral("editButton"))->click();
        ListEditor* editor = mainWindow.editor();
        editor->findChild<ListBox*>(QStringLiteral("poolList"))->setListIndex(0);
        editor->findChild<QPushButton*>(QStringLiteral("moveToCurrentButton"))->click();
        editor->findChild<QPushButton*>(QStringLiteral("okButton"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return 1;
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedWhileSaving()
    {
        TempFolder folder;
        folder.write("kaolist1.txt", lines(0, kFaces));
        folder.write("kaolist2.txt", "");
        // What a killed save may leave: its temporaries and its lock file.
        const QRegularExpression allowed(QStringLiteral("^kaolist([12]\\.txt(\\..+)?|\\.lock(\\.rmlock)?)$"));
        int lastMoved = 0;
        for (int round = 0; round < 40; ++round) {
            QProcess driver;
            driver.setProcessChannelMode(QProcess::ForwardedChannels);
            driver.start(QCoreApplication::applicationFilePath(), { "--drive", folder.path() });
            QVERIFY(driver.waitForStarted());
            QTest::qWait(QRandomGenerator::global()->bounded(30, 400));
            driver.kill(); // SIGKILL to this child only, even should it have ended already
            QVERIFY(driver.waitForFinished());
            // Each file is its old or its new content; killed between the two replacements, the
            // pool can be one save ahead of the current list.
            const QByteArray current = folder.read("kaolist2.txt"), pool = folder.read("kaolist1.txt");
            const int moved = int(current.count('\n'));
            QCOMPARE(current, lines(0, moved));
            QVERIFY(pool == lines(moved, kFaces) || pool == lines(moved + 1, kFaces));
            QVERIFY(moved >= lastMoved);
            lastMoved = moved;
            for (const QString& name : folder.entries())
                QVERIFY2(allowed.match(name).hasMatch(), qPrintable(name));
            folder.write("kaolist1.txt", lines(moved, kFaces)); // the next round starts whole
        }
        QVERIFY2(lastMoved > 0, "the driver never saved");
        qInfo("%d saves survived 40 kills", lastMoved);
    }
};

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc == 3 && argv[1] == QByteArrayView("--drive"))
        return drive(QString::fromLocal8Bit(argv[2]));
    TestCrashSafety test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashsafety.moc"
