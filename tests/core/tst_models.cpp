// What both windows do, over fake views that record what they are asked in one log and answer
// from a queue: the same rows on every system.
#include "core_test.h"

#include "listeditormodel.h"
#include "mainwindowmodel.h"
#include "textcodec.h"
#include "texts.h"

#include <doctest.h>

#include <deque>
#include <map>

using namespace std::literals;
using app::Change;
using List = app::ListEditorView::List;
using test::TempFolder;

namespace {

// Answers in turn: "yes" for はい, text typed into the input box, a chosen file; none left:
// いいえ, キャンセル, cancelled.
using Answers = std::deque<std::optional<std::u16string>>;

struct Log {
    std::u16string lines; // every box, clipboard text and paste, one a line
    Answers answers;
    std::optional<std::u16string> ask(const std::u16string& line)
    {
        lines += line + u"\n";
        std::optional<std::u16string> answer;
        if (!answers.empty())
            answer = answers.front(), answers.pop_front();
        return answer;
    }
};

// A list box's selection: none once its faces are new or one is removed.
int afterChange(int row, Change change)
{
    return change == Change::Removed || change == Change::Reset ? -1 : row;
}

// What both windows' fakes do alike: boxes and the clipboard, in the one log.
template <typename View> struct FakeBoxes : View {
    Log& log;
    const char16_t* who; // before each message
    FakeBoxes(Log& l, const char16_t* w)
        : log(l)
        , who(w)
    {
    }
    void message(const std::u16string& text) override { log.lines += who + text + u"\n"; }
    bool askYesNo(const std::u16string& text) override { return log.ask(text) == u"yes"; }
    void setClipboardText(std::u16string_view text) override
    {
        log.lines += u"clipboard " + std::u16string(text) + u"\n";
    }
};

struct FakeEditor final : FakeBoxes<app::ListEditorView> {
    app::ListEditorModel model;
    int rows[2] = { -1, -1 }; // selected in the current list, the pool
    bool open = false, up = true, down = true;
    FakeEditor(Log& l, app::MainWindowModel& main)
        : FakeBoxes(l, u"")
        , model(*this, main)
    {
    }
    void listChanged(List list, Change change, int) override { rows[int(list)] = afterChange(rows[int(list)], change); }
    int selection(List list) const override { return rows[int(list)]; }
    void select(List list, int row) override { rows[int(list)] = row; }
    void enableMoveButtons(bool u, bool d) override { up = u, down = d; }
    std::optional<std::u16string> askText(const std::u16string& prompt) override { return log.ask(prompt); }
    faces::Path chooseFile(std::u16string_view filter, const faces::Path& folder) override
    {
        return log.ask(u"open " + std::u16string(filter) + u"|" + faces::displayPath(folder)).value_or(u"");
    }
    void showWindow() override { open = true; }
    void closeWindow() override { open = false; }
};

struct FakeMain final : FakeBoxes<app::MainWindowView>, app::SettingsStore {
    Log record; // this window's and its editor's
    std::map<std::u16string, std::u16string> settings; // "section/key"
    app::MainWindowModel model;
    std::unique_ptr<FakeEditor> editor;
    int row = -1, windows = 0; // the selection; windows made so far
    bool shown = false, checked = false, failed = false;
    explicit FakeMain(const faces::ListFolders& folders)
        : FakeBoxes(record, u"main ")
        , model(*this, folders, *this)
    {
    }
    std::u16string read(std::u16string_view, std::u16string_view section, std::u16string_view key) override
    {
        return settings[std::u16string(section) + u"/" + std::u16string(key)];
    }
    void write(std::u16string_view, std::u16string_view s, std::u16string_view k, std::u16string_view value) override
    {
        settings[std::u16string(s) + u"/" + std::u16string(k)] = value;
    }
    void createWindow() override { ++windows, checked = false, row = -1; }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }
    void listChanged(Change change, int) override { row = afterChange(row, change); }
    int selection() const override { return row; }
    void setChecked(bool on) override { checked = on; }
    bool isChecked() const override { return checked; }
    void setAlwaysOnTop(bool on) override { log.lines += on ? u"on top\n" : u"not on top\n"; }
    void pasteIntoPrevious(std::u16string_view text) override { log.lines += u"paste " + std::u16string(text) + u"\n"; }
    void openEditor() override
    {
        editor = std::make_unique<FakeEditor>(record, model);
        editor->model.load();
    }
    bool isEditorOpen() const override { return editor && editor->open; }
    void raiseEditor() override { log.lines += u"raise editor\n"; }
    void fail() override { failed = true; }
};

// Lists written one face a character, "_" for an empty face, "[...]" for a longer one: "12|pq"
// is the current list 1, 2 and the pool p, q.
faces::FaceText facesOf(std::u16string_view chars)
{
    faces::FaceText list;
    for (size_t i = 0; i < chars.size(); ++i) {
        const size_t end = chars[i] == u'[' ? chars.find(u']', i) : i;
        list.append(chars[i] == u'_' ? u"" : end > i ? chars.substr(i + 1, end - i - 1) : chars.substr(i, 1));
        i = end;
    }
    return list;
}
std::string chars(const faces::FaceText& list)
{
    std::u16string text;
    for (size_t i = 0; i < list.size(); ++i) {
        const std::u16string face(list.at(i));
        text += face.empty() ? u"_" : face.size() == 1 ? face : u"[" + face + u"]";
    }
    return faces::toUtf8(text);
}

// The program's folder with the lists given, and the main window loaded over it.
struct Program {
    TempFolder folder;
    FakeMain main { { folder.path, folder / "data" } };
    explicit Program(std::u16string_view lists)
    {
        const size_t bar = lists.find(u'|');
        folder.write("kaolist2.txt", faces::serialize(facesOf(lists.substr(0, bar))));
        folder.write("kaolist1.txt", faces::serialize(facesOf(lists.substr(bar + 1))));
        REQUIRE(main.model.load());
    }
    std::string stored() const
    {
        std::u16string reason;
        const auto list = [&](const char* name) {
            return chars(faces::readFaceText(folder / name, &reason).value_or(faces::FaceText()));
        };
        return list("kaolist2.txt") + "|" + list("kaolist1.txt");
    }
    FakeEditor& editor() { return *main.editor; }
};

struct Operation {
    const char* name;
    std::u16string lists;
    int select1, select2;
    std::string buttons, expected; // buttons pressed in turn; the lists in the editor afterwards
    int selectedAfter;
    std::u16string shown; // the log; "<lists>": the lists' folder, "<reason>": the system's reason
    Answers answers = {};
    std::string other = {}; // once the editor is open, another program "saves" the pool (same faces,
                            // other bytes), "locks" the lists or "blocks" the save
    std::string imported = {}; // the bytes of the file chosen in the open dialog
};

} // namespace

TEST_CASE("the list editor's operations")
{
    const std::u16string xs(faces::kMaxFaces - 1, u'x'), longFace(300, u'長'), dot = texts::kSelectFromCurrentToMove;
    const std::u16string prompt = texts::kCreatePrompt + u"\n"s, full = texts::kListFull + u"\n"s;
    const std::u16string erase = u"顔文字「q」をリストから抹消してよろしいですか？\n";
    const std::u16string import = u"「リストに追加できる顔文字」にインポートします。\n"
                                  u"open テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0|"s
        + faces::displayPath(std::filesystem::current_path()) + u"\n";
    const std::u16string cannotSave = u"顔文字のリストを保存できませんでした。\r\n<lists>";
    const std::u16string unchanged = u"\r\nどちらのファイルも変更していません。\n";
    std::string many = "x\r\n";
    for (int i = 0; i < 16; ++i)
        many += many; // 65,536 faces
    const std::string x32766 = faces::toUtf8(xs);
    const Operation rows[] = {
        { "move to pool without selection", u"12345|pq", -1, 0, "moveToPool", "12345|pq", -1,
            texts::kSelectFromCurrent + u"\n"s },
        { "move the third of five to the pool", u"12345|pq", 2, 0, "moveToPool", "1245|pq3", -1, {} },
        { "move to current without selection", u"12345|pq", 1, -1, "moveToCurrent", "12345|pq", 1,
            texts::kSelectFromPool + u"\n"s },
        { "move to current", u"a|pq", 0, 0, "moveToCurrent", "ap|q", 0, {} },
        { "an empty face moves like any other", u"_|p", 0, -1, "moveToPool", "|p_", -1, {} },
        { "up the second", u"12345|pq", 1, -1, "moveUp", "21345|pq", 0, {} },
        { "up the first", u"12345|pq", 0, -1, "moveUp", "12345|pq", 0, dot + u"\n" },
        { "down the fourth", u"12345|pq", 3, -1, "moveDown", "12354|pq", 4, {} },
        { "down the last", u"12345|pq", 4, -1, "moveDown", "12345|pq", 4, dot + u"\n" },
        { "up and down on an empty list", u"|p", -1, -1, "moveUp moveDown", "|p", -1, dot + u"\n" + dot + u"\n" },
        { "erase", u"12345|pq", -1, 1, "erase", "12345|p", -1, erase, { u"yes" } },
        { "erase, いいえ keeps the face", u"12345|pq", -1, 1, "erase", "12345|pq", -1, erase },
        { "erase without selection", u"12345|pq", -1, -1, "erase", "12345|pq", -1, texts::kEraseNothing + u"\n"s },
        { "erase a selected empty face", u"12345|p_", -1, 1, "erase", "12345|p_", -1, texts::kEraseNothing + u"\n"s },
        { "a long face is shortened in the question", u"a|p[" + longFace + u"]", -1, 1, "erase",
            "a|p[" + faces::toUtf8(longFace) + "]", -1,
            u"顔文字「" + longFace.substr(0, 255) + u"…」をリストから抹消してよろしいですか？\n" },
        { "create", u"1|p", 0, -1, "create", "1|pツ", 0, prompt, { u"ツ" } },
        { "create cancelled", u"1|p", 0, -1, "create", "1|p", 0, prompt },
        { "create an empty face", u"1|p", 0, -1, "create", "1|p_", 0, prompt, { u"" } },
        { "a created face is one line", u"1|p", 0, -1, "create", "1|p[ b]", 0, prompt, { u" \r\nb\n" } },
        { "the 32,767th face still fits", u"a|" + xs, 0, -1, "create", "a|" + x32766 + "b", 0, prompt, { u"b" } },
        { "a full pool takes no more", u"a|x" + xs, 0, -1, "moveToPool create", "a|x" + x32766, 0, full + prompt + full,
            { u"c" } },
        { "edits, then OK saves both lists", u"abc|p_", 2, 0, "moveUp moveToCurrent ok", "acbp|_", 1, {} },
        { "OK with nothing edited", u"a_|_", -1, -1, "ok", "a_|_", -1, {} },
        { "cancel after an edit writes nothing", u"abc|p", 0, -1, "moveToPool cancel", "bc|pa", -1, {} },
        { "after cancel the editor starts again from the files", u"abc|p", 0, -1, "moveToPool cancel edit", "abc|p", -1,
            {} },
        { "edit again brings the open editor forward, with its edits", u"abc|p", 0, -1, "moveToPool edit", "bc|pa", -1,
            u"raise editor\n" },
        { "a save that fails keeps the editor and its edits", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            cannotSave + u"kaolist.save\r\n<reason>" + unchanged, {}, "blocks" },
        { "another program saved since: いいえ keeps the edits", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            texts::kChangedElsewhere + u"\n"s, {}, "saves" },
        { "another program saved since: はい saves over it", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            texts::kChangedElsewhere + u"\n"s, { u"yes" }, "saves" },
        { "another program is saving", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            cannotSave + u"kaolist.lock\r\nほかの Nikomaru が保存しているところです。" + unchanged, {}, "locks" },
        { "import cancelled", u"c|pq", 0, 1, "importFaces", "c|pq", 0, import },
        { "import lines after the pool", u"c|pq", 0, 1, "importFaces", "c|pqa_b", 0, import, {}, {}, "a\r\n\r\nb" },
        { "import until the pool is full", u"c|pq", 0, 1, "importFaces", "c|pq" + x32766.substr(1), 0, import, {}, {},
            many },
        { "Ctrl+C copies the selected face of either list, if any", u"ab|pq", 1, -1, "copyCurrent copyPool", "ab|pq", 1,
            u"clipboard b\n" },
    };
    using Model = app::ListEditorModel;
    const std::map<std::string, std::function<void(Model&)>> actions { { "moveToPool", &Model::moveToPool },
        { "moveToCurrent", &Model::moveToCurrent }, { "create", &Model::create }, { "moveUp", &Model::moveUp },
        { "moveDown", &Model::moveDown }, { "erase", &Model::erase }, { "ok", &Model::ok },
        { "cancel", &Model::cancel }, { "importFaces", &Model::importFaces },
        { "copyCurrent", [](Model& m) { m.copy(List::Current); } },
        { "copyPool", [](Model& m) { m.copy(List::Pool); } } };
    for (const Operation& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        Program program(row.lists);
        FakeMain& main = program.main;
        main.model.edit();
        program.editor().rows[0] = row.select1;
        program.editor().rows[1] = row.select2;
        main.log.answers = row.answers;
        TempFolder elsewhere;
        elsewhere.write("import.txt", row.imported);
        if (!row.imported.empty())
            main.log.answers = { faces::displayPath(elsewhere / "import.txt") };
        faces::SaveLock other;
        if (row.other == "locks")
            REQUIRE(other.lock(program.folder.path) == faces::SaveLock::Result::Locked);
        if (row.other == "saves") // the same faces, other bytes
            program.folder.write("kaolist1.txt", "\xEF\xBB\xBF" + program.folder.read("kaolist1.txt"));
        if (row.other == "blocks") // where the save is recorded
            std::filesystem::create_directories(program.folder / "kaolist.save" / "x");
        const std::string before = program.stored();

        std::string buttons = row.buttons + " ";
        for (size_t at; (at = buttons.find(' ')) != buttons.npos; buttons.erase(0, at + 1))
            buttons.starts_with("edit ") ? main.model.edit()
                                         : actions.at(buttons.substr(0, at))(program.editor().model);
        other.unlock();
        std::filesystem::remove_all(program.folder / "kaolist.save");

        FakeEditor& editor = program.editor();
        CHECK(chars(editor.model.faces(List::Current)) + "|" + chars(editor.model.faces(List::Pool)) == row.expected);
        CHECK(editor.rows[0] == row.selectedAfter);
        std::u16string shown = row.shown;
        if (const size_t at = shown.find(u"<lists>"); at != shown.npos)
            shown.replace(at, 7, faces::displayPath(program.folder / ""));
        const std::u16string& log = main.log.lines;
        if (const size_t reason = shown.find(u"<reason>"); reason != shown.npos) // the system's, in Japanese
            CHECK((log.starts_with(shown.substr(0, reason)) && log.ends_with(shown.substr(reason + 8))
                && log.size() > shown.size() && log.substr(reason).find_first_of(u"aeiou") == log.npos));
        else
            CHECK(faces::toUtf8(log) == faces::toUtf8(shown));
        // Edits stay in memory until OK writes both files, closes the editor and loads the main
        // window again with the list saved; キャンセル closes it too.
        const bool saved = row.buttons.ends_with("ok") && (row.other.empty() || !row.answers.empty());
        CHECK(editor.open == (!saved && !row.buttons.ends_with("cancel")));
        CHECK(program.stored() == (saved ? row.expected : before));
        CHECK(program.folder.entries() == 2); // nor temporaries, nor the lock
        CHECK(chars(main.model.faces()) + "|" == program.stored().substr(0, program.stored().find('|') + 1));
        CHECK(main.windows == 1 + saved);
        // Up and Down follow the selection.
        editor.model.tick();
        CHECK(editor.up == (editor.rows[0] != 0));
        CHECK(editor.down == (editor.rows[0] != int(editor.model.faces(List::Current).size()) - 1));
    }
}

TEST_CASE("the main window")
{
    struct Option {
        const char* name;
        std::u16string stored; // before the start
        int clicks; // on the box once loaded
        std::u16string storedAfter; // once unloaded
        std::u16string log;
    };
    const Option rows[] = {
        { "True", u"True", 0, u"True", u"on top\n" },
        { "True, cleared", u"True", 1, u"", u"on top\nnot on top\n" },
        { "lower case is off", u"true", 0, u"", u"" },
        { "a leading blank is off", u" True", 0, u"", u"" },
        { "empty, checked", u"", 1, u"True", u"on top\n" },
    };
    for (const Option& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        TempFolder folder;
        folder.write("kaolist2.txt", "a\r\n");
        FakeMain main({ folder.path, {} });
        main.settings[u"Setting/Check"] = row.stored;
        REQUIRE(main.model.load());
        CHECK(main.checked == (row.stored == u"True"));
        for (int i = 0; i < row.clicks; ++i) {
            main.checked = !main.checked;
            main.model.alwaysOnTopClicked();
        }
        main.model.unload();
        CHECK(!main.shown);
        CHECK(faces::toUtf8(main.settings[u"Setting/Check"]) == faces::toUtf8(row.storedAfter));
        CHECK(faces::toUtf8(main.log.lines) == faces::toUtf8(row.log));
        // The next load reads the list again and restores the option: OK keeps it.
        folder.write("kaolist2.txt", "new\r\n");
        REQUIRE(main.model.load());
        CHECK((main.checked == (row.storedAfter == u"True") && chars(main.model.faces()) == "[new]" && main.row == -1));
    }

    Program program(u"[a\x03\x1B\u0085b\xDC82]_|p"); // a byte kept as it was shows as U+FFFD
    FakeMain& main = program.main;
    CHECK((main.shown && !main.failed));
    // コピー with nothing selected puts an empty text there; the window before gets nothing.
    main.model.copy();
    main.model.pasteIntoPrevious();
    for (const int row : { 0, 1 }) {
        main.row = row;
        main.model.copy(); // whole
    }
    // The window before gets no control characters: they would act there as keys.
    main.row = 0;
    main.model.pasteIntoPrevious();
    CHECK(faces::toUtf8(main.log.lines)
        == "clipboard \nclipboard a\x03\x1B\u0085b\uFFFD\nclipboard \nclipboard ab\uFFFD\npaste ab\uFFFD\n");
    main.log.lines.clear();
    main.model.showAbout(); // two lines
    CHECK((main.log.lines.starts_with(u"main Nikomaru Ver1.02\r\n制作：")
        && main.log.lines.find(u"\r\n", 25) == std::u16string::npos));
    main.log.lines.clear();
    // The version notice: four lines.
    main.model.edit();
    program.editor().model.showVersion();
    const std::u16string& version = main.log.lines;
    CHECK((version.starts_with(u"Nikomaru Ver1.10\r\n制作：") && std::count(version.begin(), version.end(), u'\n') == 4
        && version.find(u"\r\nE-Mail：") < version.find(u"\r\nURL：")));

    // OK while the main window is closed writes both lists and opens it again.
    main.model.unload();
    program.editor().rows[1] = 0;
    program.editor().model.moveToCurrent();
    program.editor().model.ok();
    CHECK((main.shown && main.model.isLoaded() && !program.editor().open));
    CHECK(chars(main.model.faces()) == "[a\x03\x1B\u0085b\uFFFD]_p");

    // A save cut short that cannot be completed yet: the lists read as it leaves them, told once.
    CHECK(test::run(faces::sys::executablePath(), { "--crash-at", program.folder.path.string(), "2" }) == 3);
    if (auto block = test::blockReplacing(program.folder / faces::kCurrentFileName)) {
        main.model.unload();
        main.log.lines.clear();
        REQUIRE(main.model.load());
        main.model.edit();
        CHECK(
            chars(main.model.faces()) + chars(program.editor().model.faces(List::Pool)) == "[face 0][face 1][face 2]");
        CHECK((main.log.lines.find(texts::kUnfinishedSave) == 5
            && main.log.lines.find(u"main ", 5) == main.log.lines.npos));
        block.reset();
        program.editor().model.ok();
        CHECK(program.stored() == "[face 0]|[face 1][face 2]");
    }
    // A list that cannot be read ends the program: the pool when the editor opens, told in the
    // main window, the current list when the main window loads, before it is shown.
    main.log.lines.clear();
    std::filesystem::remove(program.folder / "kaolist1.txt");
    std::filesystem::remove(program.folder / "kaolist2.txt");
    main.model.edit();
    CHECK((main.failed && !program.editor().open));
    main.model.unload();
    main.failed = false;
    CHECK(!main.model.load());
    CHECK((main.failed && !main.shown && !main.model.isLoaded()));
    const auto cannotRead = [&](const char* name) {
        return u"main 顔文字のリストを読み込めないため、終了します。\r\n" + faces::displayPath(program.folder / name)
            + u"\r\nファイルが見つかりません。\n";
    };
    CHECK(faces::toUtf8(main.log.lines) == faces::toUtf8(cannotRead("kaolist1.txt") + cannotRead("kaolist2.txt")));
}
