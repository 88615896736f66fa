// The face list core on every system: reading, writing, saves that survive crashes, the lock
// and where the lists live.
#define DOCTEST_CONFIG_IMPLEMENT
#include "codepage932.h"
#include "codepage932_cases.h"
#include "core_test.h"

#include "textcodec.h"

#include <doctest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <tuple>

using namespace std::literals;
using faces::FaceText;
using faces::SaveLock;
using test::TempFolder;

namespace doctest {
template <> struct StringMaker<std::vector<std::u16string>> {
    static String convert(const std::vector<std::u16string>& list)
    {
        std::string text;
        for (const auto& face : list)
            text.append("[").append(faces::toUtf8(face)).append("]");
        return text.c_str();
    }
};
} // namespace doctest

namespace test {

TempFolder::TempFolder(const Path& parent)
{
    static int counter = 0;
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path = (parent.empty() ? std::filesystem::temp_directory_path() : parent)
        / ("nikomaru-test-" + std::to_string(stamp) + "-" + std::to_string(++counter));
    std::filesystem::create_directories(path);
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

void TempFolder::write(const char* name, std::string_view bytes) const
{
    std::ofstream(path / name, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

std::string TempFolder::read(const char* name) const
{
    std::ifstream file(path / name, std::ios::binary);
    return file && std::filesystem::is_regular_file(path / name) ? std::string(std::istreambuf_iterator<char>(file), {})
                                                                 : "<missing>";
}

size_t TempFolder::entries() const
{
    // The lock file may stay: Windows keeps it.
    return size_t(std::count_if(std::filesystem::directory_iterator(path), {},
        [](const auto& entry) { return entry.path().filename() != "kaolist.lock"; }));
}

Path smallDisk()
{
    const char* disk = std::getenv("NIKOMARU_TEST_SMALL_DISK");
    return disk ? Path(disk) : Path();
}

std::vector<std::u16string> manyFaces()
{
    return std::vector<std::u16string>(1000, u"face (^_^)");
}

} // namespace test

namespace {

FaceText textOf(const std::vector<std::u16string>& list)
{
    FaceText text;
    for (const auto& face : list)
        text.append(face);
    return text;
}

std::vector<std::u16string> numbered(int first, int last)
{
    std::vector<std::u16string> list;
    for (int i = first; i < last; ++i) {
        const std::string n = std::to_string(i);
        list.push_back(u"face " + std::u16string(n.begin(), n.end()));
    }
    return list;
}

bool save(const faces::Path& folder, const FaceText& pool, const FaceText& current,
    const std::function<void(int)>& afterStep = {})
{
    SaveLock lock;
    faces::Path path;
    std::u16string reason;
    return lock.lock(folder) == SaveLock::Result::Locked
        && faces::writeFaceFiles(folder, { { faces::kPoolFileName, pool }, { faces::kCurrentFileName, current } },
            &path, &reason, afterStep);
}

std::vector<std::u16string> stored(const faces::Path& path)
{
    std::u16string reason;
    return faces::readFaceText(path, &reason).value_or(FaceText()).toList();
}

// Child modes, each ending as a killed process would, without cleaning up.
int child(const std::string& mode, const faces::Path& folder, const char* step)
{
    if (mode == "--crash-at") // a save of the first face moved from the pool to the current list
        save(folder, textOf(numbered(1, 3)), textOf(numbered(0, 1)), [n = std::atoi(step)](int now) {
            if (now == n)
                std::_Exit(3);
        });
    SaveLock lock;
    if (mode == "--lock-and-die" && lock.lock(folder) == SaveLock::Result::Locked)
        std::_Exit(3);
    if (mode == "--hold-lock" && lock.lock(folder) == SaveLock::Result::Locked) // until killed
        std::ofstream(folder / "held").flush(), std::this_thread::sleep_for(60s);
    if (mode != "--swap-lists")
        return 4;
    // Beside the program, wherever it is.
    const faces::ListFolders folders { faces::applicationFolder(), {} };
    std::u16string reason;
    const auto pool = faces::readFaceText(folders.readPath(faces::kPoolFileName), &reason);
    const auto current = faces::readFaceText(folders.readPath(faces::kCurrentFileName), &reason);
    return pool && current && save(folders.saveFolder(), *current, *pool) ? 0 : 1;
}

} // namespace

TEST_CASE("code page 932 as the system converts it")
{
    for (const auto& [name, bytes, text] : cases::kDecode) {
        CAPTURE(std::string(name));
        CHECK(codepage932::decode(bytes) == text);
    }
    for (const auto& [name, text, bytes] : cases::kEncode) {
        CAPTURE(std::string(name));
        const auto encoded = codepage932::encode(text);
        const bool survives = encoded && codepage932::decode(*encoded) == text;
        CHECK((bytes.empty() ? !survives : survives && *encoded == bytes));
    }
    // Every pair of bytes against the system's own conversion, so that a table that is wrong yet
    // agrees with its own encoder shows; and every character read encodes back to itself.
    std::string pairs;
    for (int pair = 0x8140; pair <= 0xFCFC; ++pair)
        if (codepage932::isLeadByte(pair >> 8) && codepage932::isTrailByte(pair & 0xFF))
            pairs += { char(pair >> 8), char(pair) };
    std::u16string text = codepage932::decode(pairs);
    CHECK(text == codepage932::decodeWithSystem(pairs));
    std::erase(text, u'\uFFFD');
    CHECK(text.size() > 9000);
    const auto encoded = codepage932::encode(text);
    CHECK((encoded && codepage932::decode(*encoded) == text));
}

TEST_CASE("reading face lists and imports")
{
    std::string lines;
    for (int i = 0; i < faces::kMaxFaces; ++i)
        lines += "x\r\n";
    const auto truncateTo = [](std::uintmax_t size) {
        return [size](const faces::Path& path) { std::filesystem::resize_file(path, size); };
    };
    std::string big = "\xE3\x81\x82\r\n"; // UTF-8 but near its end
    big.append(3 << 20, 'x').append("\r\n\xE9\r\n");
    std::vector<test::Read> rows { { "empty file", "", {} },
        { "last line without terminator", "a\r\nb", { u"a", u"b" } },
        { "lone CR and lone LF end lines", "a\rb\nc\n\r", { u"a", u"b", u"c", u"" } },
        { "blanks kept", "  a  \r\n\t\r\n", { u"  a  ", u"\t" } },
        { "UTF-8 BOM, a second BOM is text", "\xEF\xBB\xBF\xEF\xBB\xBF\xC2\xAF\\_", { u"\uFEFF\u00AF\\_" } },
        { "UTF-16LE BOM", "\xFF\xFE\x61\x00\x42\x30"s, { u"aあ" } },
        { "UTF-16BE BOM, lone surrogates kept, odd byte", "\xFE\xFF\xD8\x3D\x00\x61\xDE\x00\x62"s,
            { u"\xD83D"
              u"a\xDE00\uFFFD" } },
        { "face lists read BOM-less UTF-8 as code page 932", "\xE3\x81\x82", { u"\u7E3A\xDC82" } },
        { "bytes that are no character are kept", "a\x82\r\x85\x40z\r\n\x82",
            { u"a\xDC82", u"\xDC85\xDC40z", u"\xDC82" } },
        { "invalid UTF-8 after a mark is kept", "\xEF\xBB\xBF\xE3\x81(", { u"\xDCE3\xDC81(" } },
        { "import reads BOM-less UTF-8 as UTF-8", "\xE3\x81\x82", { u"あ" }, {}, 10 },
        { "import reads invalid UTF-8 as code page 932", "\x82\xA0\xB1\xED\xA0\x80", { u"あｱ恝\u0080" }, {}, 10 },
        { "import reads half-width katakana that are valid UTF-8 as code page 932", "(\xC3\xBD)", { u"(ﾃｽ)" }, {}, 10 },
        { "import reads only the faces that fit", "a\r\n\x82\xA0\r\nc", { u"a", u"あ" }, {}, 2,
            truncateTo(200'000'000) }, // takes no disk space
        { "the file's start decides its encoding, whatever the room: few", big, { u"あ" }, {}, 1 },
        { "the file's start decides its encoding, whatever the room: all", big,
            { u"あ", std::u16string(3 << 20, u'x'), u"\uFFFD" }, {}, 32767 },
        { "32,767 faces", lines, std::vector<std::u16string>(faces::kMaxFaces, u"x") },
        { "32,768 faces", lines + "x", {}, u"顔文字が多すぎます（32768 個。扱えるのは 32767 個までです）。" },
        { "missing", {}, {}, u"ファイルが見つかりません。", 0, [](const faces::Path&) {} },
        { "a folder", {}, {}, u"ファイルではなくフォルダーです。", 0,
            [](const faces::Path& path) { std::filesystem::create_directory(path); } },
        { "over 64 MiB", {}, {}, u"ファイルが大きすぎます（扱えるのは 64 MiB までです）。", 0,
            [](const faces::Path& path) {
                std::ofstream(path).put('x');
                std::filesystem::resize_file(path, faces::kMaxFileBytes + 1);
            } } };
    for (test::Read& row : test::systemReads())
        rows.push_back(std::move(row));

    for (const test::Read& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        TempFolder folder;
        const faces::Path path = folder / "list.txt";
        if (!row.make || !row.bytes.empty())
            folder.write("list.txt", row.bytes);
        if (row.make)
            row.make(path);
        const long before = test::peakMemoryKiB();
        std::u16string reason;
        const auto read = row.import ? faces::readTextFile(path, row.import) : faces::readFaceText(path, &reason);
        CHECK(reason == row.reason);
        CHECK(read.value_or(FaceText()).toList() == row.expected);
        CHECK_MESSAGE(test::peakMemoryKiB() - before < 32 * 1024, "read far more than it kept");
        if (row.make && !row.reason.empty() && !row.reason.starts_with(u"ファイルが大きすぎます"))
            CHECK(!faces::readTextFile(path, 10)); // missing or no regular file: nor imported, nor waited for
    }
}

TEST_CASE("saving both lists: every file or none")
{
    const std::u16string tooLarge = u"ファイルが大きすぎます（扱えるのは 64 MiB までです）。";
    std::vector<test::Write> rows { { "empty list is a zero-byte file", {}, "" },
        { "code page 932, CR LF after every face", { u"(^_^)", u"", u"ﾉｼ", u"´あ" },
            "(^_^)\r\n\r\n\xC9\xBC\r\n\x81\x4C\x82\xA0\r\n" },
        { "one face outside code page 932 makes the file UTF-8", { u"ﾉｼ", u"♡" },
            "\xEF\xBB\xBF\xEF\xBE\x89\xEF\xBD\xBC\r\n\xE2\x99\xA1\r\n" },
        { "wave dash would come back as another character", { u"\u301C" }, "\xEF\xBB\xBF\xE3\x80\x9C\r\n" },
        { "private use that would read as a UTF-16 mark", { u"\uF8F3\uF8F2" },
            "\xEF\xBB\xBF\xEF\xA3\xB3\xEF\xA3\xB2\r\n" },
        { "fails: a list the reader would refuse", { std::u16string(faces::kMaxFileBytes - 1, u'x') }, {}, tooLarge },
        { "fails: a folder in place of the file", test::manyFaces(), {}, u"置き換えられません",
            [](const faces::Path& folder) {
                std::filesystem::create_directory(folder / faces::kCurrentFileName);
                return nullptr;
            } },
        { "fails: the disk cannot keep what was written", test::manyFaces(), {},
            u"ディスクの読み書きでエラーが起きました", [](const faces::Path&) { return test::failFlushes(); } } };
    if (!test::smallDisk().empty())
        rows.push_back({ "fails: disk full", test::manyFaces(), {}, u"ディスクの空き領域が足りません", {}, {},
            test::smallDisk() });
    for (test::Write& row : test::systemWrites())
        rows.push_back(std::move(row));

    for (const test::Write& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        TempFolder folder(row.parent);
        std::shared_ptr<void> undo = row.setup ? row.setup(folder.path) : nullptr;
        const bool wasFile = !std::filesystem::is_directory(folder / faces::kCurrentFileName);
        folder.write(faces::kPoolFileName, "old pool\r\n");
        if (wasFile)
            folder.write(faces::kCurrentFileName, "old current\r\n");
        const FaceText pool = textOf({ u"p" }), current = textOf(row.faces);
        const auto failure = faces::saveLists({ folder.path, pool, current, faces::fileDigest(folder / "kaolist1.txt"),
                                                  faces::fileDigest(folder / "kaolist2.txt") },
            [] { return false; });
        const bool saved = !failure;
        CHECK(saved == row.reason.empty());
        CHECK((saved
            || (failure->reason.find(row.reason) != std::u16string::npos
                && failure->path.parent_path() == folder.path)));
        if (row.check)
            row.check(folder.path);
        // Both files or neither: the first is put back when the second cannot replace its file.
        CHECK(folder.read(faces::kPoolFileName) == (saved ? "p\r\n" : "old pool\r\n"));
        CHECK(folder.read(faces::kCurrentFileName)
            == (saved         ? row.expected
                    : wasFile ? "old current\r\n"
                              : "<missing>"));
        CHECK(folder.entries() == 2); // no temporaries left
    }
}

TEST_CASE("a save cut short at any step leaves both lists from one save")
{
    const auto self = faces::sys::executablePath();
    for (int step = 0; step <= 4; ++step) {
        CAPTURE(step);
        TempFolder folder;
        save(folder.path, textOf(numbered(0, 3)), FaceText());
        CHECK(test::run(self, { "--crash-at", folder.path.string(), std::to_string(step) }) == 3);
        faces::ListFolders { folder.path, {} }.finishInterruptedSaves();
        // Once the intent is recorded the save is completed; before, it never happened.
        const bool done = step > 0;
        CHECK(stored(folder / faces::kPoolFileName) == (done ? numbered(1, 3) : numbered(0, 3)));
        CHECK(stored(folder / faces::kCurrentFileName) == (done ? numbered(0, 1) : numbered(0, 0)));
        CHECK(folder.entries() == 2);
    }
}

TEST_CASE("a journal whose temporary files are not the ones it names is not applied")
{
    const TempFolder folder;
    const faces::ListFolders folders { folder.path, {} };
    save(folder.path, textOf(numbered(0, 3)), FaceText());
    CHECK(test::run(faces::sys::executablePath(), { "--crash-at", folder.path.string(), "1" }) == 3);
    for (const auto& item : std::filesystem::directory_iterator(folder.path))
        if (item.path().filename().string().starts_with("kaolist2.txt."))
            std::ofstream(item.path(), std::ios::app) << "x";
    CHECK(!folders.finishInterruptedSaves());
    CHECK(stored(folder / faces::kPoolFileName) == numbered(0, 3));
    CHECK(folder.entries() == 2);
}

TEST_CASE("a save keeps a list's bytes and its encoding")
{
    // The file before, a face added to it (or none), the file after.
    const std::tuple<const char*, std::string, const char16_t*, std::string> rows[] = {
        { "unedited: bytes that are no character, lone line ends", "a\n\x82\rb\x85\x40", nullptr,
            "a\r\n\x82\r\nb\x85\x40\r\n" },
        { "unedited: UTF-8 without a mark", "\xE3\x81\x82\n", nullptr, "\xE3\x81\x82\r\n" },
        { "unedited: a character in its other form", "\x87\x9A", nullptr, "\x87\x9A\r\n" },
        { "edited: bytes that are no character", "\x82\xA0\x82", u"ﾉｼ", "\x82\xA0\x82\r\n\xC9\xBC\r\n" },
        { "edited: UTF-8 with its mark",
            "\xEF\xBB\xBF"
            "a\xFF",
            u"b",
            "\xEF\xBB\xBF"
            "a\xFF\r\nb\r\n" },
        { "edited: UTF-16",
            "\xFF\xFE"
            "a\0"s,
            u"b",
            "\xFF\xFE"
            "a\0\r\0\n\0b\0\r\0\n\0"s },
    };
    for (const auto& [name, before, added, after] : rows) {
        CAPTURE(std::string(name));
        TempFolder folder;
        folder.write(faces::kCurrentFileName, before);
        std::u16string reason;
        auto list = faces::readFaceText(folder / faces::kCurrentFileName, &reason);
        REQUIRE(list);
        if (added)
            list->append(added);
        save(folder.path, FaceText(), *list);
        CHECK(folder.read(faces::kCurrentFileName) == after);
    }
}

TEST_CASE("the size limit at its edges, for both lists, saving and reading")
{
    for (const char* name : { faces::kPoolFileName, faces::kCurrentFileName }) {
        for (const std::uintmax_t size : { faces::kMaxFileBytes, faces::kMaxFileBytes + 1 }) {
            CAPTURE(std::string(name) + " of " + std::to_string(size) + " bytes");
            TempFolder folder;
            const bool pool = name == std::string(faces::kPoolFileName), fits = size <= faces::kMaxFileBytes;
            const FaceText big = textOf({ std::u16string(size_t(size) - 2, u'x') }), small = textOf({ u"s" });
            CHECK(save(folder.path, pool ? big : small, pool ? small : big) == fits);
            folder.write(name, std::string(size_t(size) - 2, 'x').append("\r\n"));
            std::u16string reason;
            CHECK(faces::readFaceText(folder / name, &reason).has_value() == fits);
        }
    }
}

TEST_CASE("one save at a time")
{
    TempFolder folder;
    SaveLock first, second;
    CHECK(first.lock(folder.path) == SaveLock::Result::Locked);
    CHECK(second.lock(folder.path, 50ms) == SaveLock::Result::Busy);
    first.unlock();
    CHECK(second.lock(folder.path, 0ms) == SaveLock::Result::Locked);
    second.unlock();
    // The system lets go of a lock whose holder ended without letting go, or was killed; while
    // another program holds it, the lock is busy.
    CHECK(test::run(faces::sys::executablePath(), { "--lock-and-die", folder.path.string() }) == 3);
    CHECK(first.lock(folder.path, 0ms) == SaveLock::Result::Locked);
    first.unlock();
    auto holder = test::start(faces::sys::executablePath(), { "--hold-lock", folder.path.string() });
    for (int i = 0; i < 1000 && !std::filesystem::exists(folder / "held"); ++i)
        std::this_thread::sleep_for(20ms);
    CHECK(first.lock(folder.path, 50ms) == SaveLock::Result::Busy);
    holder.reset();
    CHECK(first.lock(folder.path, 5s) == SaveLock::Result::Locked);
    first.unlock();
    // A lock file that cannot be made fails at once, not as a busy lock would.
    std::filesystem::remove(faces::lockFilePath(folder.path));
    std::filesystem::create_directory(faces::lockFilePath(folder.path));
    CHECK(first.lock(folder.path, 5s) == SaveLock::Result::Failed);
}

TEST_CASE("editing keeps memory a small multiple of the faces")
{
    FaceText current = textOf({ std::u16string(1 << 20, u'x'), u"y" }), pool;
    for (int i = 0; i < 200; ++i) { // up and down, moves to the pool and back
        const std::u16string first(current.at(0)), second(current.at(1));
        current.replace(0, second);
        current.replace(1, first);
        pool.append(current.at(1));
        current.remove(1);
        current.append(pool.at(0));
        pool.remove(0);
    }
    CHECK(current.toList() == std::vector<std::u16string> { u"x" + std::u16string((1 << 20) - 1, u'x'), u"y" });
    CHECK(current.unitsHeld() < 3 << 20);
    CHECK(pool.unitsHeld() < 3 << 20);
}

TEST_CASE("where the lists live")
{
    TempFolder program;
    // A program folder that can be written is the program's: another copy's lists in the user's
    // folder play no part.
    std::filesystem::create_directory(program / "user");
    program.write("user/kaolist2.txt", "");
    program.write("kaolist-write-test.tmp", ""); // decides nothing
    const faces::ListFolders portable { program.path, program / "user" };
    CHECK(portable.readPath(faces::kCurrentFileName) == program / faces::kCurrentFileName);
    CHECK(portable.saveFolder() == program.path);
    // One that cannot (here: not there at all): each list from the user's folder where the user
    // has it, saves into the user's folder.
    const faces::ListFolders installed { program / "missing", program / "user" };
    CHECK(installed.readPath(faces::kCurrentFileName) == program / "user" / faces::kCurrentFileName);
    CHECK(installed.readPath(faces::kPoolFileName) == program / "missing" / faces::kPoolFileName);
    CHECK(installed.saveFolder() == program / "user");

    // Beside the program in a folder of any name, the working folder playing no part.
    const faces::Path strange = program.path / test::strangeName();
    std::filesystem::create_directory(strange);
    const faces::Path copy = strange / faces::sys::executablePath().filename();
    std::filesystem::copy_file(faces::sys::executablePath(), copy);
    save(strange, textOf({ u"p" }), textOf({ u"c" }));
    CHECK(test::run(copy, { "--swap-lists" }) == 0);
    CHECK(stored(strange / faces::kPoolFileName) == std::vector<std::u16string> { u"c" });
    CHECK(stored(strange / faces::kCurrentFileName) == std::vector<std::u16string> { u"p" });
}

int main(int argc, char* argv[])
{
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--crash-at" || mode == "--lock-and-die" || mode == "--hold-lock" || mode == "--swap-lists")
        return child(mode, argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : "0");
    doctest::Context context(argc, argv);
    return context.run();
}
