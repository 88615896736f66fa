// The core's tests on Windows: wide paths, a replacement refused by a file held open, the local
// application data folder.
#include "core_test.h"

#include <doctest.h>

#include <windows.h>

#include <psapi.h>

namespace test {

int run(const Path& program, const std::vector<std::string>& arguments)
{
    std::wstring line = L"\"" + program.wstring() + L"\"";
    for (const std::string& argument : arguments)
        line += L" \"" + Path(argument).wstring() + L"\"";
    STARTUPINFOW startup { sizeof startup };
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    DWORD code = DWORD(-1);
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return int(code);
}

long peakMemoryKiB()
{
    PROCESS_MEMORY_COUNTERS counters { sizeof counters };
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
}

Path strangeName()
{
    return L"顔文字 リスト Ünïcode";
}

std::vector<Read> systemReads()
{
    return {};
}

std::vector<Write> systemWrites()
{
    // Another program has the current list open without allowing it to be replaced.
    return { { "fails: the second replacement", manyFaces(), {},
        u"置き換えられません（ほかのプログラムがファイルを使っています）", [](const Path& folder) {
            const HANDLE file = CreateFileW((folder / faces::kCurrentFileName).c_str(), GENERIC_READ,
                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
            REQUIRE(file != INVALID_HANDLE_VALUE);
            return std::shared_ptr<void>(file, CloseHandle);
        } } };
}

std::shared_ptr<void> blockReplacing(const Path& path)
{
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    return std::shared_ptr<void>(new char, [path](void* undo) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        delete static_cast<char*>(undo);
    });
}

} // namespace test

TEST_CASE("the user's data folder is in the local application data folder")
{
    // From the session's variable, or where it is missing, from the shell.
    const test::Path local = _wgetenv(L"LOCALAPPDATA");
    CHECK(faces::userDataFolder() == local / L"Nikomaru");
    SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    CHECK(faces::userDataFolder() == local / L"Nikomaru");
    SetEnvironmentVariableW(L"LOCALAPPDATA", local.c_str());
}
