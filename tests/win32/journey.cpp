// Drives the Windows program from outside through the Windows API, as an automation tool would:
// finds windows by title and controls by caption or class, presses buttons, selects rows, reads
// list boxes, the clipboard, window styles and the registry, and answers boxes by their buttons.
// Usage: journey PROGRAM_FOLDER IMPORT_FOLDER READ_ONLY_PROGRAM_FOLDER|-
#include "facefile.h"
#include "texts.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <source_location>
#include <string>
#include <thread>
#include <vector>

namespace {

using Faces = std::vector<std::wstring>;
int passed = 0, failed = 0;
faces::Path folder;
PROCESS_INFORMATION program {};

void check(bool ok, const char* what)
{
    (ok ? passed : failed)++;
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    std::fflush(stdout);
}

// Waits for a state, at most 10 seconds; says where a wait ran out.
bool eventually(const std::function<bool()>& state, std::source_location at = std::source_location::current())
{
    for (int i = 0; i < 500; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(20)))
        if (state())
            return true;
    std::fprintf(stderr, "line %u: the state waited for did not come\n", unsigned(at.line()));
    return false;
}

const wchar_t* wide(const char16_t* text)
{
    return reinterpret_cast<const wchar_t*>(text);
}

std::wstring text(HWND window)
{
    std::wstring value(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    value.resize(size_t(GetWindowTextW(window, value.data(), int(value.size()))));
    return value;
}

// A visible top-level window of this title (and class), other than `besides`.
HWND window(const std::wstring& title, const wchar_t* kind = nullptr, HWND besides = nullptr)
{
    HWND found = nullptr;
    eventually([&] {
        for (HWND w = FindWindowExW(nullptr, nullptr, kind, title.c_str()); w;
             w = FindWindowExW(nullptr, w, kind, title.c_str()))
            if (w != besides && IsWindowVisible(w))
                return (found = w) != nullptr;
        return false;
    });
    return found;
}

HWND control(HWND parent, const std::wstring& caption, const wchar_t* kind = L"Button")
{
    struct Search {
        const std::wstring& caption;
        const wchar_t* kind;
        HWND found;
    } search { caption, kind, nullptr };
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[32] = {};
            GetClassNameW(child, name, 32);
            if (lstrcmpiW(name, s->kind) == 0 && (s->caption.empty() || text(child) == s->caption))
                return (s->found = child), FALSE;
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}

void press(HWND parent, const std::wstring& caption)
{
    PostMessageW(control(parent, caption), BM_CLICK, 0, 0);
}

HWND list(HWND parent, int which) // 0: the first list box, 1: the second
{
    HWND found = control(parent, L"", L"ListBox");
    return which == 0 ? found : FindWindowExW(parent, found, L"ListBox", nullptr);
}

Faces rows(HWND list)
{
    Faces all;
    const int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, WPARAM(i), 0);
        if (length < 0)
            break;
        // The program may refill the list between the two messages: a row gone is LB_ERR.
        std::wstring row(std::max<size_t>(size_t(length), 512) + 1, L'\0'); // rows show 512 at most
        const LRESULT copied = SendMessageW(list, LB_GETTEXT, WPARAM(i), LPARAM(row.data()));
        if (copied < 0 || copied > length)
            break;
        row.resize(size_t(copied));
        all.push_back(row);
    }
    return all;
}

// OK closes the editor, then the main window, and opens the main window anew: the new one.
HWND afterOk(HWND editor, HWND main)
{
    return eventually([&] { return !IsWindow(editor) && !IsWindow(main); }) ? window(L"Nikomaru", L"NikomaruWindow")
                                                                            : nullptr;
}

// What a window's thread holds active and focused: it has taken in a switch once these change.
GUITHREADINFO threadState(HWND window)
{
    GUITHREADINFO thread { sizeof thread };
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread);
    return thread;
}

// Brings a window in front as a person's click would, until its program has taken that in. Wine
// may give the front back for a late window manager event: then it asks again.
bool bringToFront(HWND window, const std::function<bool()>& takenIn)
{
    return eventually([&] {
        if (GetForegroundWindow() != window)
            SetForegroundWindow(window);
        return GetForegroundWindow() == window && takenIn();
    });
}

void select(HWND list, int row)
{
    SendMessageW(list, LB_SETCURSEL, WPARAM(row), 0);
}

std::wstring clipboard()
{
    std::wstring value = L"<empty>";
    if (!OpenClipboard(nullptr))
        return L"<busy>";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        value = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return value;
}

// The message box that is up: its text; it is answered with the button of that caption.
std::wstring answer(const std::wstring& button, HWND besides = nullptr)
{
    const HWND box = window(L"Nikomaru", L"#32770", besides);
    const std::wstring said = box ? text(GetDlgItem(box, 0xFFFF)) : L"<no box>";
    if (box) {
        press(box, button);
        eventually([&] { return !IsWindow(box); });
    }
    return said;
}

std::string file(const char* name)
{
    std::ifstream in(folder / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string bytes(const Faces& list)
{
    faces::FaceText text;
    for (const auto& face : list)
        text.append(std::u16string(face.begin(), face.end()));
    return faces::serialize(text);
}

DWORD start(const faces::Path& workingFolder)
{
    const std::wstring exe = (folder / L"nikomaru.exe").wstring();
    std::wstring line = L"\"" + exe + L"\"";
    STARTUPINFOW startup { sizeof startup };
    return CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
        workingFolder.wstring().c_str(), &startup, &program);
}

bool ended()
{
    DWORD code = 1;
    const bool done = WaitForSingleObject(program.hProcess, 10000) == WAIT_OBJECT_0
        && GetExitCodeProcess(program.hProcess, &code) && code == 0;
    CloseHandle(program.hProcess);
    CloseHandle(program.hThread);
    return done;
}

std::wstring setting()
{
    wchar_t value[16] = L"<missing>";
    DWORD size = sizeof value;
    RegGetValueW(
        HKEY_CURRENT_USER, L"Software\\Nikomaru\\Nikomaru\\Setting", L"Check", RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
}

bool onTop(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

double since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Figures only: opening the editor over 2 x 32,767 faces and OK, medians of five.
int benchmark()
{
    faces::FaceText many;
    for (int i = 0; i < faces::kMaxFaces; ++i)
        many.append(u"(＾▽＾)ﾉｼ " + std::u16string(std::to_wstring(i).begin(), std::to_wstring(i).end()));
    faces::SaveLock lock;
    faces::Path path;
    std::u16string reason;
    lock.lock(folder);
    faces::writeFaceFiles(
        folder, { { faces::kPoolFileName, many }, { faces::kCurrentFileName, many } }, &path, &reason);
    lock.unlock();
    start(folder);
    std::vector<double> opens, oks;
    for (int run = 0; run < 5; ++run) {
        HWND main = window(L"Nikomaru", L"NikomaruWindow");
        auto clock = std::chrono::steady_clock::now();
        press(main, L"編集");
        const HWND editor = window(L"Nikomaru リスト編集");
        eventually([&] { return SendMessageW(list(editor, 1), LB_GETCOUNT, 0, 0) == faces::kMaxFaces; });
        opens.push_back(since(clock));
        clock = std::chrono::steady_clock::now();
        press(editor, L"OK");
        main = afterOk(editor, main);
        eventually([&] { return SendMessageW(list(main, 0), LB_GETCOUNT, 0, 0) == faces::kMaxFaces; });
        oks.push_back(since(clock));
    }
    PostMessageW(window(L"Nikomaru", L"NikomaruWindow"), WM_CLOSE, 0, 0);
    ended();
    std::sort(opens.begin(), opens.end());
    std::sort(oks.begin(), oks.end());
    std::printf("Windows program under wine, 2 x %d faces, median of 5\n", faces::kMaxFaces);
    std::printf("  open the editor                   %8.1f ms (target < 150)\n", opens[2]);
    std::printf("  OK: write both, show main again   %8.1f ms (target < 200)\n", oks[2]);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc == 3 && std::wstring(argv[1]) == L"--bench")
        return folder = argv[2], benchmark();
    if (argc != 4)
        return 2;
    folder = argv[1];
    const faces::Path imports = argv[2];
    std::ofstream(folder / "kaolist2.txt", std::ios::binary) << "(^_^)\r\n\x82\xA0\r\n\xC9\xBC\r\n"; // あ, ﾉｼ
    std::ofstream(folder / "kaolist1.txt", std::ios::binary) << "p\r\nq\r\n";
    std::ofstream(imports / "faces.txt", std::ios::binary)
        << "\xCA\x95\xE2\x80\xA2\xE1\xB4\xA5\xE2\x80\xA2\xCA\x94\r\ni\r\n";
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Nikomaru");

    check(start(imports), "the program starts from the unpacked zip");
    HWND main = window(L"Nikomaru", L"NikomaruWindow");
    check(main && rows(list(main, 0)) == Faces { L"(^_^)", L"あ", L"ﾉｼ" }, "code page 932 lists are shown");
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    RECT client {};
    GetClientRect(main, &client);
    check((style & WS_SYSMENU) && !(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME)) && client.right == 106
            && client.bottom == 300,
        "a fixed 106 x 300 window with a close button only");
    // The program's own clipboard text only: wine hands clipboard text of several programs to X
    // and back, and one written just before the program's can come back over it.
    select(list(main, 0), 2);
    press(main, L"コピー");
    check(eventually([] { return clipboard() == L"ﾉｼ"; }), "コピー copies the selected face");
    select(list(main, 0), -1);
    press(main, L"コピー");
    check(eventually([] { return clipboard().empty(); }), "コピー without a selection puts an empty text there");
    press(main, L"常に手前に表示");
    check(eventually([&] { return onTop(main); }), "常に手前に表示 keeps the window on top");
    PostMessageW(main, WM_CLOSE, 0, 0);
    check(ended() && setting() == L"True", "closing ends the program and stores the option");
    start(imports);
    main = window(L"Nikomaru", L"NikomaruWindow");
    check(main && onTop(main) && SendMessageW(control(main, L"常に手前に表示"), BM_GETCHECK, 0, 0) == BST_CHECKED,
        "restarted, the window is on top again");

    press(main, L"編集");
    HWND editor = window(L"Nikomaru リスト編集");
    HWND current = list(editor, 0), pool = list(editor, 1);
    // Each button reaches what it does: with nothing selected, each says so in its own words.
    bool each = true;
    for (const auto& [button, said] :
        { std::pair { L"削除>>", texts::kSelectFromCurrent }, { L"<<追加", texts::kSelectFromPool },
            { L"上に", texts::kSelectFromCurrentToMove }, { L"下に", texts::kSelectFromCurrentToMove },
            { L"リストから抹消", texts::kEraseNothing }, { L"バージョン情報", texts::kVersionText } }) {
        press(editor, button);
        each = answer(L"OK").starts_with(wide(said)) && each;
    }
    check(each, "every button of the editor says what it needs");
    select(current, 0);
    press(editor, L"削除>>");
    check(eventually([&] { return rows(pool) == Faces { L"p", L"q", L"(^_^)" }; }), "削除>> moves a face to the pool");
    press(editor, L"新しく作る");
    const HWND input = window(L"Nikomaru", L"#32770");
    SetWindowTextW(control(input, L"", L"Edit"), L"(´・ω・｀)");
    press(input, L"OK");
    check(eventually([&] { return rows(pool).size() == 4 && rows(pool)[3] == L"(´・ω・｀)"; }),
        "新しく作る adds the face typed into the input box");
    select(pool, 0);
    press(editor, L"リストから抹消");
    check(answer(L"いいえ") == L"顔文字「p」をリストから抹消してよろしいですか？" && rows(pool).size() == 4,
        "リストから抹消, いいえ keeps the face");
    press(editor, L"リストから抹消");
    answer(L"はい");
    check(eventually([&] { return rows(pool).size() == 3; }), "リストから抹消, はい erases it");
    select(current, 1);
    press(editor, L"上に");
    check(eventually([&] { return rows(current) == Faces { L"ﾉｼ", L"あ" }; }), "上に moves the face up");
    press(editor, L"下に");
    check(eventually([&] { return rows(current) == Faces { L"あ", L"ﾉｼ" }; }), "下に moves it down");
    press(editor, L"上に");
    select(pool, 2);
    press(editor, L"<<追加");
    check(eventually([&] { return rows(current).size() == 3; }), "<<追加 moves a face to the list");
    select(current, 2);
    press(editor, L"削除>>");
    press(editor, L"インポート");
    check(answer(L"OK") == L"「リストに追加できる顔文字」にインポートします。", "インポート says where faces go");
    // The open dialog: the editor's own box other than a message box.
    std::pair<HWND, HWND> search { editor, nullptr };
    eventually([&] {
        EnumWindows(
            [](HWND w, LPARAM data) {
                auto* s = reinterpret_cast<std::pair<HWND, HWND>*>(data);
                if (GetWindow(w, GW_OWNER) == s->first && IsWindowVisible(w) && text(w) != L"Nikomaru")
                    return (s->second = w), FALSE;
                return TRUE;
            },
            LPARAM(&search));
        return search.second != nullptr;
    });
    const HWND dialog = search.second;
    const std::wstring chosen = (imports / L"faces.txt").wstring();
    SetDlgItemTextW(dialog, 0x47C, chosen.c_str()); // the file name box
    SetDlgItemTextW(dialog, 0x480, chosen.c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    check(eventually([&] {
        return rows(pool) == Faces { L"q", L"(^_^)", L"(´・ω・｀)", L"ʕ•ᴥ•ʔ", L"i" };
    }),
        "インポート reads a UTF-8 file through the open dialog");

    const std::string poolBefore = file("kaolist1.txt"), currentBefore = file("kaolist2.txt");
    SetFileAttributesW((folder / L"kaolist2.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    press(editor, L"OK");
    const std::wstring said = answer(L"OK");
    check(said.starts_with(L"顔文字のリストを保存できませんでした。") && IsWindowVisible(editor)
            && file("kaolist1.txt") == poolBefore && file("kaolist2.txt") == currentBefore,
        "a save that fails says so, keeps the editor and changes neither file");
    SetFileAttributesW((folder / L"kaolist2.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    press(editor, L"OK");
    main = afterOk(editor, main);
    check(main != nullptr, "OK closes the editor");
    check(file("kaolist2.txt") == bytes({ L"ﾉｼ", L"あ" })
            && file("kaolist1.txt") == bytes({ L"q", L"(^_^)", L"(´・ω・｀)", L"ʕ•ᴥ•ʔ", L"i" }),
        "OK writes both lists, UTF-8 where a face needs it");
    check(eventually([&] {
        return rows(list(main, 0)) == Faces { L"ﾉｼ", L"あ" };
    }),
        "the main window shows the saved list");

    press(main, L"編集");
    editor = window(L"Nikomaru リスト編集");
    select(list(editor, 0), 0);
    press(editor, L"削除>>");
    eventually([&] { return rows(list(editor, 0)).size() == 1; });
    press(editor, L"キャンセル");
    check(eventually([&] { return !IsWindow(editor); }) && file("kaolist2.txt") == bytes({ L"ﾉｼ", L"あ" }),
        "キャンセル discards the edits");
    PostMessageW(main, WM_CLOSE, 0, 0);
    check(ended(), "closing the main window ends the program");

    // The face goes where the person was typing: a text box of the driver's own, on a thread of its
    // own, is the window in front before Nikomaru.
    const Faces typed { L"ʕ•ᴥ•ʔ", L"（´・ω・｀）", L"(\U0001F600)" };
    std::ofstream(folder / "kaolist2.txt", std::ios::binary) << bytes(typed);
    HWND box = nullptr;
    DWORD boxThread = 0;
    std::thread typing([&] {
        box = CreateWindowExW(
            0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 100, 300, 80, nullptr, nullptr, nullptr, nullptr);
        boxThread = GetCurrentThreadId();
        SetForegroundWindow(box);
        for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0; DispatchMessageW(&m))
            TranslateMessage(&m);
    });
    eventually([&] { return box && GetForegroundWindow() == box && threadState(box).hwndFocus == box; });
    start(imports);
    main = window(L"Nikomaru", L"NikomaruWindow");
    const auto shiftEnter = [&](int row) {
        // As after a person's click on the row: Nikomaru in front, its list holding the focus.
        bringToFront(main, [&] { return threadState(main).hwndFocus == list(main, 0); });
        select(list(main, 0), row);
        INPUT keys[4] = {};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = WORD(i == 0 || i == 3 ? VK_SHIFT : VK_RETURN);
            keys[i].ki.dwFlags = i >= 2 ? KEYEVENTF_KEYUP : 0;
        }
        SendInput(4, keys, sizeof(INPUT));
    };
    shiftEnter(0);
    check(eventually([&] { return clipboard() == typed[0]; }) && text(box).empty(),
        "Shift+Enter with no window in front since the start only copies");
    // A person's switch is slow enough for Nikomaru to take in that it is no longer in front; the
    // driver's is not, unless it waits for that.
    bringToFront(box, [&] { return threadState(main).hwndActive != main; });
    bool all = true;
    for (int row = 0; row < 3; ++row) {
        SetWindowTextW(box, L"");
        shiftEnter(row);
        if (!eventually([&] { return text(box) == typed[size_t(row)] && GetForegroundWindow() == box; }))
            all = false, std::fprintf(stderr, "row %d: %zu characters typed\n", row, text(box).size());
    }
    check(all && eventually([&] { return clipboard() == typed[2]; }),
        "Shift+Enter types the face into the window in front before, and copies it");
    // The box, then another window, then Nikomaru in front, and the other window gone: the face
    // goes to no window rather than to the box.
    HWND gone = nullptr;
    std::thread other([&] {
        gone = CreateWindowExW(
            0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 500, 250, 300, 80, nullptr, nullptr, nullptr, nullptr);
        SetForegroundWindow(gone);
        for (MSG m; GetMessageW(&m, nullptr, 0, 0) > 0; DispatchMessageW(&m))
            if (m.message == WM_APP)
                DestroyWindow(gone), PostQuitMessage(0);
    });
    eventually([&] { return gone && GetForegroundWindow() == gone; });
    bringToFront(main, [&] { return threadState(main).hwndActive == main; });
    PostMessageW(gone, WM_APP, 0, 0);
    other.join();
    SetWindowTextW(box, L"");
    shiftEnter(1);
    // Copied first, then the handler returns: only then is nothing typed a state.
    const bool copied = eventually([&] { return clipboard() == typed[1]; });
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
    check(copied && GetForegroundWindow() == main && text(box).empty(),
        "Shift+Enter after the window in front before has gone only copies");
    PostThreadMessageW(boxThread, WM_QUIT, 0, 0);
    typing.join();
    PostMessageW(main, WM_CLOSE, 0, 0);
    ended();

    // A program folder nobody may write, as under Program Files: the lists go to the user's folder.
    if (std::wstring(argv[3]) != L"-") {
        const faces::Path local = faces::Path(_wgetenv(L"LOCALAPPDATA")) / L"Nikomaru";
        std::error_code ignored;
        std::filesystem::remove_all(local, ignored);
        folder = argv[3];
        const std::string before = file("kaolist2.txt");
        start(imports);
        main = window(L"Nikomaru", L"NikomaruWindow");
        press(main, L"編集");
        editor = window(L"Nikomaru リスト編集");
        Faces expected;
        eventually([&] { return !(expected = rows(list(editor, 0))).empty(); });
        select(list(editor, 0), 0);
        press(editor, L"削除>>");
        eventually([&] { return rows(list(editor, 0)).size() + 1 == expected.size(); });
        expected.erase(expected.begin(), expected.begin() + std::min<ptrdiff_t>(1, std::ssize(expected)));
        press(editor, L"OK");
        main = afterOk(editor, main);
        const std::string saved = (folder = local, file("kaolist2.txt"));
        folder = argv[3];
        check(!expected.empty() && saved == bytes(expected) && file("kaolist2.txt") == before,
            "a read-only program folder: OK saves into %LOCALAPPDATA%\\Nikomaru, the program's lists untouched");
        PostMessageW(main, WM_CLOSE, 0, 0);
        ended();
        std::filesystem::remove_all(local, ignored);
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
