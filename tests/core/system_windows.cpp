// The core's tests on Windows: wide paths, a replacement refused by a file held open, the local
// application data folder.
#include "core_test.h"

#include <doctest.h>

#include <windows.h>

#include <psapi.h>

#include <cstring>

namespace test {

namespace {

HANDLE spawn(const Path& program, const std::vector<std::string>& arguments)
{
    std::wstring line = L"\"" + program.wstring() + L"\"";
    for (const std::string& argument : arguments)
        line += L" \"" + Path(argument).wstring() + L"\"";
    STARTUPINFOW startup { sizeof startup };
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

} // namespace

int run(const Path& program, const std::vector<std::string>& arguments)
{
    const HANDLE process = spawn(program, arguments);
    if (!process)
        return -1;
    DWORD code = DWORD(-1);
    WaitForSingleObject(process, INFINITE);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return int(code);
}

std::shared_ptr<void> start(const Path& program, const std::vector<std::string>& arguments)
{
    return std::shared_ptr<void>(spawn(program, arguments), [](HANDLE process) {
        if (process && TerminateProcess(process, 9))
            WaitForSingleObject(process, INFINITE);
        if (process)
            CloseHandle(process);
    });
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

namespace {

// Sets an entry of the program's own import table, through which the core calls the system.
void* replaceImport(const char* name, void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); dll->Name; ++dll) {
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* entries = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++entries) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                || strcmp(reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name, name) != 0)
                continue;
            DWORD protection = 0;
            VirtualProtect(&entries->u1.Function, sizeof(void*), PAGE_READWRITE, &protection);
            void* previous = reinterpret_cast<void*>(entries->u1.Function);
            entries->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&entries->u1.Function, sizeof(void*), protection, &protection);
            return previous;
        }
    }
    return nullptr;
}

BOOL WINAPI failingFlush(HANDLE)
{
    SetLastError(ERROR_IO_DEVICE);
    return FALSE;
}

} // namespace

std::shared_ptr<void> failFlushes()
{
    void* flush = replaceImport("FlushFileBuffers", reinterpret_cast<void*>(failingFlush));
    REQUIRE(flush);
    return std::shared_ptr<void>(flush, [](void* original) { replaceImport("FlushFileBuffers", original); });
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
