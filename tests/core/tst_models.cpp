// What both windows do, over a fake view that records what it is asked and answers from a
// queue: the same rows on every system.
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

// A list box's selection as the person leaves it, and as a list box keeps it when faces change.
struct Selection {
    int row = -1;
    void changed(Change change)
    {
        if (change == Change::Removed || change == Change::Reset)
            row = -1;
    }
};

struct FakeSettings final : app::SettingsStore {
    std::map<std::u16string, std::u16string> values; // "section/key"
    std::u16string read(std::u16string_view, std::u16string_view section, std::u16string_view key) override
    {
        const auto value = values.find(std::u16string(section) + u"/" + std::u16string(key));
        return value == values.end() ? u"" : value->second;
    }
    void write(
        std::u16string_view, std::u16string_view section, std::u16string_view key, std::u16string_view value) override
    {
        values[std::u16string(section) + u"/" + std::u16string(key)] = value;
    }
};

struct Fake {
    std::u16string log; // every box, clipboard text and paste, one a line
    Answers answers;
    std::optional<std::u16string> next(const std::u16string& line)
    {
        log += line + u"\n";
        if (answers.empty())
            return std::nullopt;
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

struct FakeEditor final : app::ListEditorView {
    Fake& fake;
    app::ListEditorModel model;
    Selection current, pool;
    bool open = false, up = true, down = true;
    FakeEditor(Fake& f, app::MainWindowModel& main)
        : fake(f)
        , model(*this, main)
    {
    }
    Selection& of(List list) { return list == List::Current ? current : pool; }
    void message(const std::u16string& text) override { fake.log += text + u"\n"; }
    bool askYesNo(const std::u16string& text) override { return fake.next(text) == u"yes"; }
    void setClipboardText(std::u16string_view text) override
    {
        fake.log += u"clipboard " + std::u16string(text) + u"\n";
    }
    void listChanged(List list, Change change, int) override { of(list).changed(change); }
    int selection(List list) const override { return list == List::Current ? current.row : pool.row; }
    void select(List list, int row) override { of(list).row = row; }
    void enableMoveButtons(bool u, bool d) override { up = u, down = d; }
    std::optional<std::u16string> askText(const std::u16string& prompt) override { return fake.next(prompt); }
    faces::Path chooseFile(std::u16string_view filter, const faces::Path& folder) override
    {
        return fake.next(u"open " + std::u16string(filter) + u"|" + faces::displayPath(folder)).value_or(u"");
    }
    void showWindow() override { open = true; }
    void closeWindow() override { open = false; }
};

struct FakeMain final : app::MainWindowView {
    Fake fake;
    FakeSettings settings;
    app::MainWindowModel model;
    std::unique_ptr<FakeEditor> editor;
    Selection list;
    bool shown = false, checked = false, failed = false;
    int windows = 0; // made so far
    explicit FakeMain(const faces::ListFolders& folders)
        : model(*this, folders, settings)
    {
    }
    void message(const std::u16string& text) override { fake.log += u"main " + text + u"\n"; }
    bool askYesNo(const std::u16string& text) override { return fake.next(text) == u"yes"; }
    void setClipboardText(std::u16string_view text) override
    {
        fake.log += u"clipboard " + std::u16string(text) + u"\n";
    }
    void createWindow() override { ++windows, checked = false, list.row = -1; }
    void showWindow() override { shown = true; }
    void closeWindow() override { shown = false; }
    void listChanged(Change change, int) override { list.changed(change); }
    int selection() const override { return list.row; }
    void setChecked(bool on) override { checked = on; }
    bool isChecked() const override { return checked; }
    void setAlwaysOnTop(bool on) override { fake.log += on ? u"on top\n" : u"not on top\n"; }
    void pasteIntoPrevious(std::u16string_view text) override { fake.log += u"paste " + std::u16string(text) + u"\n"; }
    void openEditor() override
    {
        editor = std::make_unique<FakeEditor>(fake, model);
        editor->model.load();
    }
    bool isEditorOpen() const override { return editor && editor->open; }
    void raiseEditor() override { fake.log += u"raise editor\n"; }
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
std::u16string chars(const faces::FaceText& list)
{
    std::u16string text;
    for (size_t i = 0; i < list.size(); ++i)
        text += list.at(i).empty()   ? u"_"
            : list.at(i).size() == 1 ? std::u16string(list.at(i))
                                     : u"[" + std::u16string(list.at(i)) + u"]";
    return text;
}
std::u16string stored(const TempFolder& folder)
{
    std::u16string reason;
    return chars(faces::readFaceText(folder / "kaolist2.txt", &reason).value_or(faces::FaceText())) + u"|"
        + chars(faces::readFaceText(folder / "kaolist1.txt", &reason).value_or(faces::FaceText()));
}
std::string utf8(const std::u16string& text)
{
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
    }
    FakeEditor& editor() { return *main.editor; }
};

const std::u16string kSelectCurrentDot = texts::kSelectFromCurrentToMove;

struct Operation {
    const char* name;
    std::u16string lists;
    int select1, select2;
    std::string buttons, expected; // buttons pressed in turn; the lists in the editor afterwards
    int selectedAfter;
    std::u16string shown; // every box and clipboard text, one a line; "<here>": the working folder,
                          // "<lists>": the folder of the lists, "<reason>": the system's reason
    Answers answers = {};
    std::string other = {}; // once the editor is open, another program "saves" the pool (same faces,
                            // other bytes), "locks" the lists or "blocks" the save
    std::string imported = {}; // the bytes of the file chosen in the open dialog
};

} // namespace

TEST_CASE("the list editor's operations")
{
    const std::u16string xs(faces::kMaxFaces - 1, u'x');
    const std::u16string prompt = std::u16string(texts::kCreatePrompt) + u"\n";
    const std::u16string erase = u"顔文字「q」をリストから抹消してよろしいですか？\n";
    const std::u16string full = std::u16string(texts::kListFull) + u"\n";
    const std::u16string import = u"「リストに追加できる顔文字」にインポートします。\n"
                                  u"open テキストファイル(*.txt)\0*.txt\0すべてのファイル(*.*)\0*.*\0\0|<here>\n"s;
    const std::u16string cannotSave = u"顔文字のリストを保存できませんでした。\r\n<lists>";
    const std::u16string nothingChanged = u"\r\nどちらのファイルも変更していません。\n";
    const std::u16string longFace(300, u'長');
    std::string many = "x\r\n";
    for (int i = 0; i < 16; ++i)
        many += many; // 65,536 faces
    const Operation rows[] = {
        { "move to pool without selection", u"12345|pq", -1, 0, "moveToPool", "12345|pq", -1,
            texts::kSelectFromCurrent + u"\n"s },
        { "move the third of five to the pool", u"12345|pq", 2, 0, "moveToPool", "1245|pq3", -1, {} },
        { "move to current without selection", u"12345|pq", 1, -1, "moveToCurrent", "12345|pq", 1,
            texts::kSelectFromPool + u"\n"s },
        { "move to current", u"a|pq", 0, 0, "moveToCurrent", "ap|q", 0, {} },
        { "an empty face moves like any other", u"_|p", 0, -1, "moveToPool", "|p_", -1, {} },
        { "up the second", u"12345|pq", 1, -1, "moveUp", "21345|pq", 0, {} },
        { "up the first", u"12345|pq", 0, -1, "moveUp", "12345|pq", 0, kSelectCurrentDot + u"\n" },
        { "up without selection", u"12|pq", -1, -1, "moveUp", "12|pq", -1, kSelectCurrentDot + u"\n" },
        { "down the fourth", u"12345|pq", 3, -1, "moveDown", "12354|pq", 4, {} },
        { "down the last", u"12345|pq", 4, -1, "moveDown", "12345|pq", 4, kSelectCurrentDot + u"\n" },
        { "down without selection", u"12345|pq", -1, -1, "moveDown", "12345|pq", -1, kSelectCurrentDot + u"\n" },
        { "up and down on an empty list", u"|p", -1, -1, "moveUp moveDown", "|p", -1,
            kSelectCurrentDot + u"\n" + kSelectCurrentDot + u"\n" },
        { "erase", u"12345|pq", -1, 1, "erase", "12345|p", -1, erase, { u"yes" } },
        { "erase, いいえ keeps the face", u"12345|pq", -1, 1, "erase", "12345|pq", -1, erase },
        { "erase without selection", u"12345|pq", -1, -1, "erase", "12345|pq", -1, texts::kEraseNothing + u"\n"s },
        { "erase a selected empty face", u"12345|p_", -1, 1, "erase", "12345|p_", -1, texts::kEraseNothing + u"\n"s },
        { "create", u"1|p", 0, -1, "create", "1|pツ", 0, prompt, { u"ツ" } },
        { "create cancelled", u"1|p", 0, -1, "create", "1|p", 0, prompt },
        { "create an empty face", u"1|p", 0, -1, "create", "1|p_", 0, prompt, { u"" } },
        { "a created face is one line", u"1|p", 0, -1, "create", "1|p[ b]", 0, prompt, { u" \r\nb\n" } },
        { "edits, then OK saves both lists", u"abc|p_", 2, 0, "moveUp moveToCurrent ok", "acbp|_", 1, {} },
        { "OK with nothing edited", u"a_|_", -1, -1, "ok", "a_|_", -1, {} },
        { "cancel after an edit writes nothing", u"abc|p", 0, -1, "moveToPool cancel", "bc|pa", -1, {} },
        { "after cancel the editor starts again from the files", u"abc|p", 0, -1, "moveToPool cancel edit", "abc|p", -1,
            {} },
        { "edit again brings the open editor forward, with its edits", u"abc|p", 0, -1, "moveToPool edit", "bc|pa", -1,
            u"raise editor\n" },
        { "a save that fails keeps the editor and its edits", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            cannotSave + u"kaolist1.txt\r\n<reason>" + nothingChanged, {}, "blocks" },
        { "the 32,767th face still fits", u"a|" + xs, 0, -1, "create", "a|" + utf8(xs) + "b", 0, prompt, { u"b" } },
        { "a full pool takes no more", u"a|x" + xs, 0, -1, "moveToPool create", "a|x" + utf8(xs), 0,
            full + prompt + full, { u"c" } },
        { "another program saved since: いいえ keeps the edits", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            texts::kChangedElsewhere + u"\n"s, {}, "saves" },
        { "another program saved since: はい saves over it", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            texts::kChangedElsewhere + u"\n"s, { u"yes" }, "saves" },
        { "another program is saving", u"a|pq", 0, 1, "moveToCurrent ok", "aq|p", 0,
            cannotSave + u"kaolist.lock\r\nほかの Nikomaru が保存しているところです。" + nothingChanged, {}, "locks" },
        { "import cancelled", u"c|pq", 0, 1, "importFaces", "c|pq", 0, import },
        { "import lines after the pool", u"c|pq", 0, 1, "importFaces", "c|pqa_b", 0, import, {}, {}, "a\r\n\r\nb" },
        { "import until the pool is full", u"c|pq", 0, 1, "importFaces", "c|pq" + utf8(xs.substr(1)), 0, import, {}, {},
            many },
        { "a long face is shortened in the question", u"a|p[" + longFace + u"]", -1, 1, "erase",
            "a|p[" + utf8(longFace) + "]", -1,
            u"顔文字「" + longFace.substr(0, 255) + u"…」をリストから抹消してよろしいですか？\n" },
        { "Ctrl+C copies the selected face of either list, if any", u"ab|pq", 1, -1, "copyCurrent copyPool", "ab|pq", 1,
            u"clipboard b\n" },
    };
    for (const Operation& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        Program program(row.lists);
        FakeMain& main = program.main;
        REQUIRE(main.model.load());
        main.model.edit();
        FakeEditor& editor = program.editor();
        editor.current.row = row.select1;
        editor.pool.row = row.select2;
        main.fake.answers = row.answers;
        TempFolder elsewhere;
        if (!row.imported.empty()) {
            elsewhere.write("import.txt", row.imported);
            main.fake.answers = { faces::displayPath(elsewhere / "import.txt") };
        }
        faces::SaveLock other;
        if (row.other == "locks")
            REQUIRE(other.lock(program.folder.path) == faces::SaveLock::Result::Locked);
        if (row.other == "saves") // the same faces, other bytes
            program.folder.write("kaolist1.txt", "\xEF\xBB\xBF" + program.folder.read("kaolist1.txt"));
        if (row.other == "blocks") // where the save writes first
            std::filesystem::create_directories(program.folder / "kaolist1.txt.tmp" / "x");
        const std::u16string before = stored(program.folder);

        std::string buttons = row.buttons + " ";
        for (size_t at; (at = buttons.find(' ')) != buttons.npos; buttons.erase(0, at + 1)) {
            const std::string button = buttons.substr(0, at);
            app::ListEditorModel& model = main.editor->model;
            const std::map<std::string, void (app::ListEditorModel::*)()> actions {
                { "moveToPool", &app::ListEditorModel::moveToPool },
                { "moveToCurrent", &app::ListEditorModel::moveToCurrent }, { "create", &app::ListEditorModel::create },
                { "moveUp", &app::ListEditorModel::moveUp }, { "moveDown", &app::ListEditorModel::moveDown },
                { "erase", &app::ListEditorModel::erase }, { "ok", &app::ListEditorModel::ok },
                { "cancel", &app::ListEditorModel::cancel }, { "importFaces", &app::ListEditorModel::importFaces }
            };
            if (button == "edit")
                main.model.edit();
            else if (button == "copyCurrent" || button == "copyPool")
                model.copy(button == "copyCurrent" ? List::Current : List::Pool);
            else
                (model.*actions.at(button))();
        }
        other.unlock();
        std::filesystem::remove_all(program.folder / "kaolist1.txt.tmp");

        FakeEditor& now = program.editor();
        CHECK(utf8(chars(now.model.faces(List::Current)) + u"|" + chars(now.model.faces(List::Pool))) == row.expected);
        CHECK(now.current.row == row.selectedAfter);
        std::u16string shown = row.shown;
        for (const auto& [mark, text] : { std::pair { u"<here>"s, faces::displayPath(std::filesystem::current_path()) },
                 std::pair { u"<lists>"s, faces::displayPath(program.folder / "") } })
            for (size_t at; (at = shown.find(mark)) != shown.npos;)
                shown.replace(at, mark.size(), text);
        if (const size_t reason = shown.find(u"<reason>"); reason != shown.npos) { // the system's own words
            const std::u16string& log = main.fake.log;
            CHECK((log.starts_with(shown.substr(0, reason)) && log.ends_with(shown.substr(reason + 8))
                && log.size() > shown.size()));
        } else {
            CHECK(utf8(main.fake.log) == utf8(shown));
        }
        // Edits stay in memory until OK writes both files, closes the editor and loads the main
        // window again; キャンセル closes it too.
        const bool saved = row.buttons.ends_with("ok") && (row.other.empty() || !row.answers.empty());
        CHECK(now.open == (!saved && !row.buttons.ends_with("cancel")));
        CHECK(utf8(stored(program.folder)) == (saved ? row.expected : utf8(before)));
        CHECK(program.folder.entries() == 2); // nor temporaries, nor the lock
        CHECK(utf8(chars(main.model.faces()))
            == utf8(stored(program.folder).substr(0, stored(program.folder).find(u'|'))));
        CHECK(main.windows == 1 + saved);
        // Up and Down follow the selection.
        now.model.tick();
        const int last = int(now.model.faces(List::Current).size()) - 1;
        CHECK(now.up == (now.current.row != 0));
        CHECK(now.down == (now.current.row != last));
    }
}

TEST_CASE("the main window")
{
    struct Option {
        const char* name;
        std::optional<std::u16string> stored; // before the start
        int clicks; // on the box once loaded
        std::u16string storedAfter; // once unloaded
        std::u16string shown; // what the window was told
    };
    const Option rows[] = {
        { "True", u"True", 0, u"True", u"on top\n" },
        { "True, cleared", u"True", 1, u"", u"on top\nnot on top\n" },
        { "lower case is off", u"true", 0, u"", u"" },
        { "a leading blank is off", u" True", 0, u"", u"" },
        { "missing, checked and cleared", std::nullopt, 2, u"", u"on top\nnot on top\n" },
        { "empty, checked", u"", 1, u"True", u"on top\n" },
    };
    for (const Option& row : rows) {
        const std::string name = row.name;
        CAPTURE(name);
        Program program(u"a|p");
        FakeMain& main = program.main;
        if (row.stored)
            main.settings.values[u"Setting/Check"] = *row.stored;
        REQUIRE(main.model.load());
        CHECK(main.checked == (row.stored == u"True"));
        for (int i = 0; i < row.clicks; ++i) {
            main.checked = !main.checked;
            main.model.alwaysOnTopClicked();
        }
        main.model.unload();
        CHECK(!main.shown);
        CHECK(utf8(main.settings.values[u"Setting/Check"]) == utf8(row.storedAfter));
        CHECK(utf8(main.fake.log) == utf8(row.shown));
        // The next load reads the list again and restores the option: OK keeps it.
        program.folder.write("kaolist2.txt", "new\r\n");
        main.fake.log.clear();
        REQUIRE(main.model.load());
        CHECK(main.checked == (row.storedAfter == u"True"));
        CHECK(utf8(chars(main.model.faces())) == "[new]");
        CHECK(main.list.row == -1);
    }

    Program program(u"[a\x03\x1B\u0085b]_|p");
    FakeMain& main = program.main;
    REQUIRE(main.model.load());
    CHECK((main.shown && !main.failed));
    // コピー with nothing selected puts an empty text there; the window before gets nothing.
    main.model.copy();
    main.model.pasteIntoPrevious();
    main.list.row = 0; // copied whole
    main.model.copy();
    main.list.row = 1;
    main.model.copy();
    CHECK(utf8(main.fake.log) == "clipboard \nclipboard a\x03\x1B\u0085b\nclipboard \n");
    // The window before gets no control characters: they would act there as keys.
    main.fake.log.clear();
    main.list.row = 0;
    main.model.pasteIntoPrevious();
    CHECK(utf8(main.fake.log) == "clipboard ab\npaste ab\n");
    main.fake.log.clear();
    main.model.showAbout();
    CHECK(main.fake.log.starts_with(u"main Nikomaru Ver1.02\r\n制作："));
    CHECK(main.fake.log.find(u"\r\n", 25) == std::u16string::npos);
    main.fake.log.clear();
    // The version notice: four lines.
    main.model.edit();
    program.editor().model.showVersion();
    const std::u16string& version = main.fake.log;
    CHECK(version.starts_with(u"Nikomaru Ver1.10\r\n制作："));
    CHECK(std::count(version.begin(), version.end(), u'\n') == 4);
    CHECK((version.find(u"\r\nE-Mail：") < version.find(u"\r\nURL：")));

    // OK while the main window is closed writes both lists and opens it again.
    main.model.unload();
    program.editor().model.moveToCurrent(); // nothing selected: a message only
    program.editor().pool.row = 0;
    program.editor().model.moveToCurrent();
    program.editor().model.ok();
    CHECK((main.shown && main.model.isLoaded() && !program.editor().open));
    CHECK(utf8(chars(main.model.faces())) == "[a\x03\x1B\u0085b]_p");

    // A list that cannot be read ends the program: the pool when the editor opens, told in the
    // main window, the current list when the main window loads, before it is shown.
    main.fake.log.clear();
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
    CHECK(utf8(main.fake.log) == utf8(cannotRead("kaolist1.txt") + cannotRead("kaolist2.txt")));
}
