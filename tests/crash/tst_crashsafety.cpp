#include "tempfolder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

namespace {

constexpr int kFaces = 20000;
constexpr int kKills = 40;

QByteArray face(int i)
{
    return "face " + QByteArray::number(i) + " (^_^)";
}

// A complete list of faces first..last-1 in order, each ended by CR LF: -1 when the bytes are
// anything else (a mixture, a truncated file).
int firstFaceOf(const QByteArray& bytes, bool endsAtLast)
{
    if (bytes.isEmpty())
        return endsAtLast ? kFaces : 0;
    if (!bytes.endsWith("\r\n"))
        return -1;
    QList<QByteArray> lines = bytes.split('\n');
    lines.removeLast(); // what follows the last LF: nothing
    const int first = endsAtLast ? kFaces - int(lines.size()) : 0;
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i] != face(first + i) + '\r')
            return -1;
    return endsAtLast ? first : int(lines.size());
}

} // namespace

class TestCrashSafety : public QObject {
    Q_OBJECT

private slots:
    void killedWhileSaving();
};

void TestCrashSafety::killedWhileSaving()
{
    TempFolder folder;
    QByteArray pool;
    for (int i = 0; i < kFaces; ++i)
        pool += face(i) + "\r\n";
    folder.write("kaolist1.txt", pool);
    folder.write("kaolist2.txt", "");

    // What a killed save may leave: its temporaries and its lock file.
    const QRegularExpression leftover(QStringLiteral("^kaolist([12]\\.txt\\..+|\\.lock(\\.rmlock)?)$"));
    int lastMoved = 0;
    for (int round = 0; round < kKills; ++round) {
        QProcess driver;
        driver.setProcessChannelMode(QProcess::ForwardedChannels);
        driver.start(QStringLiteral(CRASH_DRIVER), { folder.path() });
        QVERIFY(driver.waitForStarted());
        QTest::qWait(QRandomGenerator::global()->bounded(30, 400));
        driver.kill(); // SIGKILL to this child only, even should it have ended already
        QVERIFY(driver.waitForFinished());

        const int poolStart = firstFaceOf(folder.read("kaolist1.txt"), true);
        const int currentEnd = firstFaceOf(folder.read("kaolist2.txt"), false);
        QVERIFY2(poolStart >= 0, "kaolist1.txt is neither its old nor its new content");
        QVERIFY2(currentEnd >= 0, "kaolist2.txt is neither its old nor its new content");
        // Killed between the two replacements, the pool can be one save ahead of the current list.
        QVERIFY(poolStart == currentEnd || poolStart == currentEnd + 1);
        QVERIFY(currentEnd >= lastMoved);
        lastMoved = currentEnd;
        for (const QString& name : folder.entries())
            QVERIFY2(
                name == "kaolist1.txt" || name == "kaolist2.txt" || leftover.match(name).hasMatch(), qPrintable(name));
        if (poolStart != currentEnd) // put the lost face back so the next round starts whole
            folder.write("kaolist1.txt", folder.read("kaolist1.txt").prepend(face(currentEnd) + "\r\n"));
    }
    QVERIFY2(lastMoved > 0, "the driver never saved");
    qInfo("%d saves survived %d kills", lastMoved, kKills);
}

QTEST_GUILESS_MAIN(TestCrashSafety)
#include "tst_crashsafety.moc"
