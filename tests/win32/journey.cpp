// A person's journey through the Windows program, driven from outside (driver.h).
// Usage: journey PROGRAM_FOLDER IMPORT_FOLDER READ_ONLY_PROGRAM_FOLDER|-
#include "driver.h"

using namespace driver;

int wmain(int argc, wchar_t* argv[])
{
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
    check(said.find(L"（書き込む権限がありません）") != said.npos && IsWindowVisible(editor)
            && file("kaolist1.txt") == poolBefore && file("kaolist2.txt") == currentBefore,
        "a read-only list fails the save, which says why, keeps the editor and changes neither file");
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
