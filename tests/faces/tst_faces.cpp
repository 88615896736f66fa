#include "codepage932.h"
#include "codepage932_cases.h"
#include "facefile.h"
#include "tempfolder.h"

#include <QProcess>
#include <QTest>

#include <iconv.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using faces::Detection;
using L = QStringList;

namespace {

QString utf16(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), qsizetype(text.size()));
}

// A file system mounted for one test and always unmounted; only root may mount.
struct Mount {
    QString at;
    bool mount(const QStringList& arguments, const QString& target)
    {
        at = geteuid() == 0 && QProcess::execute("mount", arguments + L { target }) == 0 ? target : QString();
        return !at.isEmpty();
    }
    ~Mount()
    {
        if (!at.isEmpty())
            QProcess::execute("umount", { at });
    }
};

} // namespace

class TestFaces : public QObject {
    Q_OBJECT

private slots:
    void importReadsOnlyWhatFits() // first: the peak memory of the process is still low
    {
        TempFolder folder;
        QFile huge(folder.file("huge.txt")); // two faces, then 200 MB that take no disk space
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.write("a\r\n\x82\xA0\r\nc") && huge.resize(200 << 20));
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        QCOMPARE(faces::readTextFile(folder.file("huge.txt"), 2), (L { "a", u"あ"_s }));
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024, "the import read far more than it kept");
        folder.write("small.txt", "a\nb\nc\n");
        QCOMPARE(faces::readTextFile(folder.file("small.txt"), 5), (L { "a", "b", "c" }));
        QCOMPARE(faces::readTextFile(folder.file("small.txt"), 2), (L { "a", "b" }));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Detection>("detection");
        QTest::addColumn<QString>("expected");
        const Detection strict = Detection::Strict, any = Detection::AnyText;
        for (const cases::Decode& c : cases::kDecode)
            QTest::newRow(c.name) << QByteArray(c.bytes.data(), qsizetype(c.bytes.size())) << strict << utf16(c.text);
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF\xC2\xAF\\_") << strict << utf16(u"\u00AF\\_");
        QTest::newRow("UTF-16LE BOM") << QByteArray("\xFF\xFE\x61\x00\x42\x30", 6) << strict << u"aあ"_s;
        QTest::newRow("UTF-16BE BOM, lone surrogates, odd byte")
            << QByteArray("\xFE\xFF\xD8\x3D\x00\x61\xDE\x00\x62", 9) << strict << utf16(u"\uFFFDa\uFFFD\uFFFD");
        QTest::newRow("UTF-8 text starting with U+FEFF")
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\x61") << strict << QChar(0xFEFF) + u"a"_s;
        QTest::newRow("face lists read BOM-less UTF-8 as code page 932")
            << QByteArray("\xE3\x81\x82") << strict << utf16(u"\u7E3A\uFFFD");
        QTest::newRow("import reads BOM-less UTF-8 as UTF-8") << QByteArray("\xE3\x81\x82") << any << u"あ"_s;
        QTest::newRow("import reads invalid UTF-8 as code page 932") << QByteArray("\x82\xA0\xB1") << any << u"あｱ"_s;
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Detection, detection);
        QTEST(faces::decodeText(bytes, detection), "expected");
    }

    void codePage932MatchesTheSystem()
    {
        // Every pair of bytes against iconv itself, so that a table that is wrong yet agrees with
        // its own encoder shows; and every character must encode back to itself.
        iconv_t cd = iconv_open("UTF-16LE", "CP932");
        int characters = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            for (int trail = 0x40; trail <= 0xFC && codepage932::isLeadByte(lead); ++trail) {
                if (!codepage932::isTrailByte(trail))
                    continue;
                char in[2] = { char(lead), char(trail) }, out[8] = {};
                char *inPtr = in, *outPtr = out;
                size_t inLeft = 2, outLeft = sizeof out;
                const bool valid = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != size_t(-1) && outLeft == 6;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                const char16_t unit = valid ? char16_t(uchar(out[0]) | uchar(out[1]) << 8) : u'\uFFFD';
                const std::u16string text = codepage932::decode(std::string_view(in, 2));
                QVERIFY2(text == std::u16string(1, unit), qPrintable(QString::number(lead * 256 + trail, 16)));
                const auto encoded = codepage932::encode(text);
                QVERIFY(!valid || (encoded && codepage932::decode(*encoded) == text));
                characters += valid;
            }
        }
        iconv_close(cd);
        QVERIFY(characters > 9000);
        for (const cases::Encode& c : cases::kEncode) {
            const auto bytes = codepage932::encode(c.text);
            const bool survives = bytes && codepage932::decode(*bytes) == c.text;
            QVERIFY2(c.bytes.empty() ? !survives : survives && *bytes == c.bytes, c.name);
        }
    }

    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<L>("expected");
        QTest::newRow("empty file") << QByteArray() << L();
        QTest::newRow("last line without terminator") << QByteArray("a\r\nb") << L { "a", "b" };
        QTest::newRow("blank line in the middle") << QByteArray("a\r\n\r\nb\r\n") << L { "a", "", "b" };
        QTest::newRow("only a terminator") << QByteArray("\r\n") << L { "" };
        QTest::newRow("lone CR and lone LF end lines") << QByteArray("a\rb\nc\n\r") << L { "a", "b", "c", "" };
        QTest::newRow("blanks kept") << QByteArray("  a  \r\n\t\r\n") << L { "  a  ", "\t" };
        QTest::newRow("code page 932") << QByteArray("\x82\xA0\r\n\xC9\xBC\r\n") << L { u"あ"_s, u"ﾉｼ"_s };
        QTest::newRow("UTF-8 BOM is not part of the first face")
            << QByteArray("\xEF\xBB\xBF\xE2\x99\xA1\r\nb\r\n") << L { u"♡"_s, "b" };
        QTest::newRow("32,767 faces") << QByteArray("x\r\n").repeated(faces::kMaxFaces) << L(faces::kMaxFaces, "x");
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        TempFolder folder;
        folder.write("list.txt", bytes);
        QString reason;
        QByteArray digest;
        const auto faces = faces::readFaceText(folder.file("list.txt"), &reason, &digest);
        QVERIFY2(faces, qPrintable(reason));
        QTEST(faces->toList(), "expected");
        QCOMPARE(digest, faces::fileDigest(folder.file("list.txt")));
    }

    void readFailures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "none.txt" << u"ファイルが見つかりません。"_s;
        QTest::newRow("a folder") << "folder" << u"ファイルではなくフォルダーです。"_s;
        QTest::newRow("a FIFO") << "fifo" << u"通常のファイルではありません。"_s;
        QTest::newRow("a link to /dev/zero") << "zero" << u"通常のファイルではありません。"_s;
        QTest::newRow("over 64 MiB") << "big" << u"ファイルが大きすぎます（扱えるのは 64 MiB までです）。"_s;
        QTest::newRow("32,768 faces") << "many" << u"顔文字が多すぎます（32768 個。扱えるのは 32767 個までです）。"_s;
    }
    void readFailures()
    {
        QFETCH(QString, name);
        TempFolder folder;
        QDir(folder.path()).mkdir("folder");
        QCOMPARE(mkfifo(qPrintable(folder.file("fifo")), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", folder.file("zero")));
        QFile big(folder.file("big"));
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(faces::kMaxFileBytes + 1));
        folder.write("many", QByteArray("x\r\n").repeated(faces::kMaxFaces + 1));
        QString reason;
        QVERIFY(!faces::readFaceText(folder.file(name), &reason));
        QTEST(reason, "reason");
        QVERIFY(!QFileInfo::exists(folder.file("none.txt"))); // nothing is created
        QVERIFY(name == "many" || name == "big" || !faces::readTextFile(folder.file(name), 10)); // nor imported
    }

    void write_data()
    {
        QTest::addColumn<L>("faces");
        QTest::addColumn<QByteArray>("expected"); // null: only the round trip is checked
        QTest::newRow("empty list is a zero-byte file") << L() << QByteArray("");
        QTest::newRow("code page 932, CR LF after every face")
            << L { "(^_^)", "", u"ﾉｼ"_s } << QByteArray("(^_^)\r\n\r\n\xC9\xBC\r\n");
        QTest::newRow("one face outside code page 932 makes the file UTF-8")
            << L { u"ﾉｼ"_s, u"♡"_s } << QByteArray("\xEF\xBB\xBF\xEF\xBE\x89\xEF\xBD\xBC\r\n\xE2\x99\xA1\r\n");
        QTest::newRow("wave dash would come back as another character")
            << L { utf16(u"\u301C") } << QByteArray("\xEF\xBB\xBF\xE3\x80\x9C\r\n");
        QTest::newRow("private use that would read as a UTF-16 mark")
            << L { utf16(u"\uF8F3\uF8F2") } << QByteArray("\xEF\xBB\xBF\xEF\xA3\xB3\xEF\xA3\xB2\r\n");
        QTest::newRow("faces people use") << L { u"( ͡° ͜ʖ ͡°)"_s, u"ʕ•ᴥ•ʔ"_s, u" spaced "_s } << QByteArray();
        QTest::newRow("a face of a megabyte") << L { u"あ"_s.repeated(1 << 20) } << QByteArray();
    }
    void write()
    {
        QFETCH(L, faces);
        QFETCH(QByteArray, expected);
        TempFolder folder;
        folder.write("kaolist1.txt", "old pool\r\n");
        QString path, reason;
        QVERIFY2(
            faces::writeFaceFiles(
                { { folder.file("kaolist1.txt"), { "p" } }, { folder.file("kaolist2.txt"), faces } }, &path, &reason),
            qPrintable(reason));
        QCOMPARE(folder.read("kaolist1.txt"), QByteArray("p\r\n"));
        QVERIFY(expected.isNull() || folder.read("kaolist2.txt") == expected);
        QCOMPARE(faces::readFaceText(folder.file("kaolist2.txt"), &reason).value_or(faces::FaceText()).toList(), faces);
        QCOMPARE(folder.entries(), (L { "kaolist1.txt", "kaolist2.txt" })); // no temporaries left
    }

    void writeFailures_data()
    {
        QTest::addColumn<QString>("failed");
        QTest::addColumn<QString>("reason");
        QTest::newRow("a folder in place of the current list") << "kaolist2.txt" << u"書き込めません"_s;
        QTest::newRow("disk full") << "kaolist1.txt" << u"ディスクの空き領域が足りません"_s;
        QTest::newRow("the second rename fails") << "kaolist2.txt" << u"置き換えられません"_s;
    }
    void writeFailures()
    {
        const QString fault = QTest::currentDataTag();
        QFETCH(QString, failed);
        QFETCH(QString, reason);
        TempFolder folder, elsewhere;
        Mount mount, bind;
        if (fault == "disk full" && !mount.mount({ "-t", "tmpfs", "-o", "size=16k", "tmpfs" }, folder.path()))
            QSKIP("making a small file system needs root");
        folder.write("kaolist1.txt", "old pool\r\n");
        folder.write("kaolist2.txt", "old current\r\n");
        if (fault.startsWith("a folder")) // root ignores permissions; a folder always blocks
            QVERIFY(QFile::remove(folder.file("kaolist2.txt")) && QDir(folder.path()).mkdir("kaolist2.txt"));
        // A mount point cannot be renamed over, though it opens and reads as a file.
        elsewhere.write("other", "old current\r\n");
        if (fault.startsWith("the second") && !bind.mount({ "--bind", elsewhere.file("other") }, folder.file(failed)))
            QSKIP("mounting needs root");
        const L many(1000, u"face (^_^)"_s); // 12 KB: less than a write buffer, more than the disk has
        QString path, actual;
        QVERIFY(!faces::writeFaceFiles(
            { { folder.file("kaolist1.txt"), many }, { folder.file("kaolist2.txt"), many } }, &path, &actual));
        QCOMPARE(path, folder.file(failed));
        QVERIFY2(actual.contains(reason), qPrintable(actual));
        QCOMPARE(folder.read("kaolist1.txt"), QByteArray("old pool\r\n")); // put back after a failed rename
        QVERIFY(fault.startsWith("a folder") || folder.read("kaolist2.txt") == "old current\r\n");
        QCOMPARE(folder.entries().size(), 2); // no temporaries left
    }
};

QTEST_GUILESS_MAIN(TestFaces)
#include "tst_faces.moc"
