#include "facefile.h"
#include "tempfolder.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestFaceFile : public QObject {
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void roundTrip_data();
    void roundTrip();
    void readFailures_data();
    void readFailures();
    void capacity();
    void writeBoth();
    void failedWriteChangesNothing_data();
    void failedWriteChangesNothing();
};

void TestFaceFile::read_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty file") << QByteArray() << QStringList();
    QTest::newRow("one line with CR LF") << QByteArray("a\r\n") << QStringList { "a" };
    QTest::newRow("last line without terminator") << QByteArray("a\r\nb") << QStringList { "a", "b" };
    QTest::newRow("blank line in the middle") << QByteArray("a\r\n\r\nb\r\n") << QStringList { "a", "", "b" };
    QTest::newRow("only a terminator") << QByteArray("\r\n") << QStringList { "" };
    QTest::newRow("two terminators") << QByteArray("\r\n\r\n") << QStringList { "", "" };
    QTest::newRow("lone CR ends a line") << QByteArray("a\rb\r") << QStringList { "a", "b" };
    QTest::newRow("lone LF ends a line") << QByteArray("a\nb\n") << QStringList { "a", "b" };
    QTest::newRow("LF CR is two line ends") << QByteArray("a\n\rb") << QStringList { "a", "", "b" };
    QTest::newRow("blanks kept") << QByteArray("  a  \r\n\t\r\n") << QStringList { "  a  ", "\t" };
    QTest::newRow("code page 932") << QByteArray("\x82\xA0\r\n\xC9\xBC\r\n") << QStringList { u"あ"_s, u"ﾉｼ"_s };
    QTest::newRow("UTF-8 BOM not part of the first face")
        << QByteArray("\xEF\xBB\xBF\xE2\x99\xA1\r\nb\r\n") << QStringList { u"♡"_s, "b" };
    QTest::newRow("broken character keeps its line end")
        << QByteArray("\x82\r\nb\r\n") << QStringList { QString(QChar::ReplacementCharacter), "b" };
}

void TestFaceFile::read()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    TempFolder folder;
    folder.write("list.txt", bytes);
    QString reason;
    const auto faces = faces::readFaceFile(folder.file("list.txt"), &reason);
    QVERIFY2(faces, qPrintable(reason));
    QCOMPARE(*faces, expected);
}

void TestFaceFile::roundTrip_data()
{
    QTest::addColumn<QStringList>("faces");
    QTest::addColumn<QByteArray>("expected"); // empty: only the round trip is checked

    QTest::newRow("empty list is a zero-byte file") << QStringList() << QByteArray("");
    QTest::newRow("code page 932 with CR LF after every face")
        << QStringList { "(^_^)", "", u"ﾉｼ"_s } << QByteArray("(^_^)\r\n\r\n\xC9\xBC\r\n");
    QTest::newRow("single empty face") << QStringList { "" } << QByteArray("\r\n");
    QTest::newRow("one face outside code page 932 makes the file UTF-8") << QStringList {
        u"ﾉｼ"_s, u"ʕ•ᴥ•ʔ"_s
    } << QByteArray("\xEF\xBB\xBF\xEF\xBE\x89\xEF\xBD\xBC\r\n\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94\r\n");
    QTest::newRow("faces people use") << QStringList { u"( ͡° ͜ʖ ͡°)"_s, u"✧"_s, QString::fromUtf16(u"\u301C"),
        u" spaced "_s } << QByteArray();
}

void TestFaceFile::roundTrip()
{
    QFETCH(QStringList, faces);
    QFETCH(QByteArray, expected);
    TempFolder folder;
    QString path, reason;
    QVERIFY2(faces::writeFaceFiles({ { folder.file("list.txt"), faces } }, &path, &reason), qPrintable(reason));
    if (!expected.isNull())
        QCOMPARE(folder.read("list.txt"), expected);
    const auto back = faces::readFaceFile(folder.file("list.txt"), &reason);
    QVERIFY(back);
    QCOMPARE(*back, faces);
}

void TestFaceFile::readFailures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << "none.txt" << u"ファイルが見つかりません。"_s;
    QTest::newRow("a folder") << "folder" << u"ファイルではなくフォルダーです。"_s;
}

void TestFaceFile::readFailures()
{
    QFETCH(QString, name);
    QFETCH(QString, reason);
    TempFolder folder;
    QDir(folder.path()).mkdir("folder");
    QString actual;
    QVERIFY(!faces::readFaceFile(folder.file(name), &actual));
    QCOMPARE(actual, reason);
    QVERIFY(!QFileInfo::exists(folder.file("none.txt"))); // nothing is created
}

void TestFaceFile::capacity()
{
    TempFolder folder;
    const QByteArray full = QByteArray("x\r\n").repeated(faces::kMaxFaces);
    folder.write("full.txt", full);
    folder.write("over.txt", full + "y");
    QString reason;
    const auto faces = faces::readFaceFile(folder.file("full.txt"), &reason);
    QVERIFY(faces);
    QCOMPARE(faces->size(), faces::kMaxFaces);
    QVERIFY(!faces::readFaceFile(folder.file("over.txt"), &reason));
    QVERIFY(reason.contains("32767"));
    // Import has no limit of its own; it stops appending at the pool's.
    QCOMPARE(
        faces::readTextFile(folder.file("over.txt"), &reason, faces::Detection::AnyText)->size(), faces::kMaxFaces + 1);
}

void TestFaceFile::writeBoth()
{
    TempFolder folder;
    folder.write("kaolist1.txt", "old pool\r\n");
    folder.write("kaolist2.txt", "old current\r\n");
    QString path, reason;
    QVERIFY(faces::writeFaceFiles(
        { { folder.file("kaolist1.txt"), { "p" } }, { folder.file("kaolist2.txt"), {} } }, &path, &reason));
    QCOMPARE(folder.read("kaolist1.txt"), QByteArray("p\r\n"));
    QCOMPARE(folder.read("kaolist2.txt"), QByteArray(""));
    QCOMPARE(folder.entries(), (QStringList { "kaolist1.txt", "kaolist2.txt" })); // no temporaries left
}

void TestFaceFile::failedWriteChangesNothing_data()
{
    QTest::addColumn<int>("blocked");
    QTest::newRow("first file blocked") << 1;
    QTest::newRow("second file blocked") << 2;
}

void TestFaceFile::failedWriteChangesNothing()
{
    QFETCH(int, blocked);
    TempFolder folder;
    const QString blockedName = u"kaolist%1.txt"_s.arg(blocked);
    const QString otherName = u"kaolist%1.txt"_s.arg(3 - blocked);
    folder.write(otherName, "old\r\n");
    QDir(folder.path()).mkdir(blockedName); // root ignores permissions; a folder always blocks

    QString path, reason;
    QVERIFY(!faces::writeFaceFiles(
        { { folder.file("kaolist1.txt"), { "new" } }, { folder.file("kaolist2.txt"), { "new" } } }, &path, &reason));
    QCOMPARE(path, folder.file(blockedName));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(folder.read(otherName), QByteArray("old\r\n"));
    QVERIFY(QFileInfo(folder.file(blockedName)).isDir());
    QCOMPARE(folder.entries().size(), 2);
}

QTEST_GUILESS_MAIN(TestFaceFile)
#include "tst_facefile.moc"
