#include "codepage932.h"
#include "codepage932_cases.h"
#include "facefile.h"
#include "rows.h"
#include "tempfolder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using L = QStringList;

namespace {

// Runs a shell command with arguments $1, $2...
bool shell(const QString& command, const L& arguments)
{
    return QProcess::execute("sh", L { "-c", command, "sh" } + arguments) == 0;
}

constexpr int kCrashFaces = 20000;

// Faces first..last-1.
FaceList numbered(int first, int last)
{
    FaceList faces;
    for (int i = first; i < last; ++i)
        faces.append(u"face %1 (^_^)"_s.arg(i));
    return faces;
}

// Saves over and over, each time moving the pool's first face to the end of the current list,
// until it is killed; it goes on from the current list it finds.
int saveUntilKilled(const QString& folder)
{
    QString path, reason;
    int moved = int(faces::readFaceText(folder + "/kaolist2.txt", &reason).value().size());
    while (++moved <= kCrashFaces)
        faces::writeFaceFiles({ { folder + "/kaolist1.txt", numbered(moved, kCrashFaces) },
                                  { folder + "/kaolist2.txt", numbered(0, moved) } },
            &path, &reason);
    return 0;
}

struct Read {
    QByteArray bytes; // "$command": a shell command makes the file $1 instead
    L expected;
    QString reason = {}; // why the face list is refused
    int import = 0; // imports as many faces instead, from a text file in any encoding
};
struct Write {
    L faces;
    QByteArray expected = {}; // the file written
    QString reason = {}; // the save fails, and says why
    QString setup = {}; // a shell command run first on the folder $1 and a file elsewhere $2
};

} // namespace

Q_DECLARE_METATYPE(Read)
Q_DECLARE_METATYPE(Write)

class TestFaces : public QObject {
    Q_OBJECT

private slots:
    void codePage932MatchesTheSystem()
    {
        // Every pair of bytes against the system's own conversion, so that a table that is wrong
        // yet agrees with its own encoder shows; and every character read encodes back to itself.
        std::string pairs;
        for (int pair = 0x8140; pair <= 0xFCFC; ++pair)
            if (codepage932::isLeadByte(pair >> 8) && codepage932::isTrailByte(pair & 0xFF))
                pairs += { char(pair >> 8), char(pair) };
        std::u16string text = codepage932::decode(pairs);
        QVERIFY(text == codepage932::decodeWithSystem(pairs));
        std::erase(text, u'\uFFFD');
        QVERIFY(text.size() > 9000);
        const auto encoded = codepage932::encode(text);
        QVERIFY(encoded && codepage932::decode(*encoded) == text);
    }

    void read_data()
    {
        const QString notRegular = u"通常のファイルではありません。"_s;
        addRows<Read>({ { "empty file", { "", {} } }, { "last line without terminator", { "a\r\nb", { "a", "b" } } },
            { "lone CR and lone LF end lines", { "a\rb\nc\n\r", { "a", "b", "c", "" } } },
            { "blanks kept", { "  a  \r\n\t\r\n", { "  a  ", "\t" } } },
            { "UTF-8 BOM", { "\xEF\xBB\xBF\xC2\xAF\\_", { u"\u00AF\\_"_s } } },
            { "UTF-16LE BOM", { QByteArray("\xFF\xFE\x61\x00\x42\x30", 6), { u"aあ"_s } } },
            { "UTF-16BE BOM, lone surrogates, odd byte",
                { QByteArray("\xFE\xFF\xD8\x3D\x00\x61\xDE\x00\x62", 9), { u"\uFFFDa\uFFFD\uFFFD"_s } } },
            { "face lists read BOM-less UTF-8 as code page 932", { "\xE3\x81\x82", { u"\u7E3A\uFFFD"_s } } },
            { "import reads BOM-less UTF-8 as UTF-8", { "\xE3\x81\x82", { u"あ"_s }, {}, 10 } },
            { "import reads invalid UTF-8 as code page 932", { "\x82\xA0\xB1", { u"あｱ"_s }, {}, 10 } },
            { "import reads only the faces that fit", // 200 MB that take no disk space
                { "$printf 'a\\r\\n\\202\\240\\r\\nc' >$1 && truncate -s 200M $1", { "a", u"あ"_s }, {}, 2 } },
            { "32,767 faces", { QByteArray("x\r\n").repeated(faces::kMaxFaces), L(faces::kMaxFaces, "x") } },
            { "32,768 faces",
                { QByteArray("x\r\n").repeated(faces::kMaxFaces + 1), {},
                    u"顔文字が多すぎます（32768 個。扱えるのは 32767 個までです）。"_s } },
            { "missing", { "$: $1", {}, u"ファイルが見つかりません。"_s } },
            { "a folder", { "$mkdir $1", {}, u"ファイルではなくフォルダーです。"_s } },
            { "a FIFO", { "$mkfifo $1", {}, notRegular } },
            { "a link to /dev/zero", { "$ln -s /dev/zero $1", {}, notRegular } },
            { "over 64 MiB",
                { "$truncate -s 67108865 $1", {}, u"ファイルが大きすぎます（扱えるのは 64 MiB までです）。"_s } } });
        for (const auto& [name, bytes, text] : cases::kDecode) // no line ends but CR in these
            QTest::newRow(name) << Read { QByteArray(bytes.data(), qsizetype(bytes.size())),
                QStringView(text).toString().split(u'\r') };
    }
    void read()
    {
        QFETCH(Read, row);
        const QByteArray& bytes = row.bytes;
        TempFolder folder;
        const QString path = folder.file("list.txt");
        if (bytes.startsWith('$'))
            QVERIFY(shell(QString::fromUtf8(bytes.sliced(1)), { path }));
        else
            folder.write("list.txt", bytes);
        rusage before {}, after {};
        getrusage(RUSAGE_SELF, &before);
        QString actual;
        if (row.import) {
            QCOMPARE(faces::readTextFile(path, row.import), row.expected);
        } else {
            const auto faces = faces::readFaceText(path, &actual);
            QCOMPARE(actual, row.reason);
            QCOMPARE(faces.value_or(faces::FaceText()).toList(), row.expected);
        }
        getrusage(RUSAGE_SELF, &after);
        QVERIFY2(after.ru_maxrss - before.ru_maxrss < 32 * 1024, "read far more than it kept");
        if (bytes.startsWith('$') && !bytes.contains("truncate"))
            QVERIFY(!faces::readTextFile(path, 10)); // nor imported, nor waited for
    }

    void write_data()
    {
        const L many(1000, u"face (^_^)"_s); // 12 KB: less than a write buffer, more than the disk has
        addRows<Write>({ { "empty list is a zero-byte file", { {}, "" } },
            { "code page 932, CR LF after every face",
                { { "(^_^)", "", u"ﾉｼ"_s, u"´あ"_s }, "(^_^)\r\n\r\n\xC9\xBC\r\n\x81\x4C\x82\xA0\r\n" } },
            { "one face outside code page 932 makes the file UTF-8",
                { { u"ﾉｼ"_s, u"♡"_s }, "\xEF\xBB\xBF\xEF\xBE\x89\xEF\xBD\xBC\r\n\xE2\x99\xA1\r\n" } },
            { "wave dash would come back as another character", { { u"\u301C"_s }, "\xEF\xBB\xBF\xE3\x80\x9C\r\n" } },
            { "private use that would read as a UTF-16 mark",
                { { u"\uF8F3\uF8F2"_s }, "\xEF\xBB\xBF\xEF\xA3\xB3\xEF\xA3\xB2\r\n" } },
            { "fails: a folder in place of the file", { many, {}, u"書き込めません"_s, "mkdir $1/kaolist2.txt" } },
            { "fails: disk full",
                { many, {}, u"ディスクの空き領域が足りません"_s, "mount -t tmpfs -o size=16k tmpfs $1" } },
            // A mount point cannot be renamed over, though it opens and reads as a file.
            { "fails: the second rename",
                { many, {}, u"置き換えられません"_s,
                    "touch $1/kaolist2.txt $2 && mount --bind $2 $1/kaolist2.txt" } } });
    }
    void write()
    {
        QFETCH(Write, row);
        const auto& [faces, expected, reason, setup] = row;
        TempFolder folder, elsewhere;
        const QString current = folder.file("kaolist2.txt");
        const auto unmount = qScopeGuard([&] {
            shell("umount \"$1\" \"$2\" 2>/dev/null", { current, folder.path() });
        });
        if (!setup.isEmpty() && !shell(setup, { folder.path(), elsewhere.file("other") }))
            QSKIP("mounting needs root");
        folder.write("kaolist1.txt", "old pool\r\n");
        if (!QFileInfo(current).isDir())
            folder.write("kaolist2.txt", "old current\r\n");
        QString path, actual;
        const bool saved
            = faces::writeFaceFiles({ { folder.file("kaolist1.txt"), { "p" } }, { current, faces } }, &path, &actual);
        QVERIFY2(saved == reason.isEmpty() && actual.contains(reason), qPrintable(actual));
        QCOMPARE(path, saved ? QString() : current);
        // Both files or neither: the first is put back when the second cannot replace its file.
        QCOMPARE(folder.read("kaolist1.txt"), QByteArray(saved ? "p\r\n" : "old pool\r\n"));
        QCOMPARE(folder.read("kaolist2.txt"),
            saved                            ? expected
                : QFileInfo(current).isDir() ? "<missing>"_ba
                                             : "old current\r\n"_ba);
        QVERIFY(!saved || faces::readFaceText(current, &actual)->toList() == faces);
        QCOMPARE(folder.entries().size(), 2); // no temporaries left
    }

    void killedWhileSaving()
    {
        TempFolder folder;
        // An empty current list to start from: a kill before the first save then leaves it as it was.
        folder.write("kaolist2.txt", "");
        folder.write("kaolist1.txt", faces::serialize(numbered(0, kCrashFaces)));
        int moved = 0;
        for (int round = 0; round < 40; ++round) {
            QProcess saver;
            saver.start(QCoreApplication::applicationFilePath(), { "--save-until-killed", folder.path() });
            QTest::qWait(QRandomGenerator::global()->bounded(30, 400));
            saver.kill(); // SIGKILL to this child only, even should it have ended already
            QVERIFY(saver.waitForFinished());
            // Each file is its old or its new content: the pool is at most one save ahead.
            const QByteArray current = folder.read("kaolist2.txt"), pool = folder.read("kaolist1.txt");
            moved = int(current.count('\n'));
            QCOMPARE(current, faces::serialize(numbered(0, moved)));
            QVERIFY(pool == faces::serialize(numbered(moved, kCrashFaces))
                || pool == faces::serialize(numbered(moved + 1, kCrashFaces)));
        }
        QVERIFY2(moved > 0, "nothing was saved");
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && argv[1] == QByteArrayView("--save-until-killed"))
        return saveUntilKilled(QString::fromLocal8Bit(argv[2]));
    TestFaces test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_faces.moc"
