// Windows: paths are UTF-16 throughout (every Windows language), saves are flushed with
// FlushFileBuffers and replaced with a write-through move, the lock is LockFileEx.
#define _CRT_RAND_S // rand_s
#include "system.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>

namespace faces::sys {
namespace {

// The errors people meet as errno values, so that they are told in the same words on every
// system; the others keep the system's number.
std::error_code lastError()
{
    const DWORD error = GetLastError();
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return { ENOSPC, std::generic_category() };
    case ERROR_ACCESS_DENIED:
        return { EACCES, std::generic_category() };
    case ERROR_WRITE_PROTECT:
        return { EROFS, std::generic_category() };
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return { EBUSY, std::generic_category() };
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return { ENOENT, std::generic_category() };
    case ERROR_IO_DEVICE:
    case ERROR_CRC:
        return { EIO, std::generic_category() };
    default:
        return { int(error), std::system_category() };
    }
}

struct Handle {
    HANDLE handle;
    ~Handle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

} // namespace

std::FILE* openForReading(const Path& path, bool followLinks)
{
    Handle file { CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr) };
    if (file.handle == INVALID_HANDLE_VALUE) {
        errno = lastError().value() == ENOENT ? ENOENT : EACCES;
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information {};
    if (GetFileType(file.handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.handle, &information)
        || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EINVAL;
        return nullptr;
    }
    if (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT && !followLinks) {
        errno = ELOOP;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(file.handle), _O_RDONLY | _O_BINARY);
    if (fd < 0)
        return nullptr;
    file.handle = INVALID_HANDLE_VALUE; // the descriptor owns it now
    std::FILE* stream = _fdopen(fd, "rb");
    if (!stream)
        _close(fd);
    return stream;
}

std::error_code writeNewFile(const Path& path, std::string_view bytes, const Path&)
{
    // CREATE_NEW refuses a link of that name too: nothing is ever written through one. The
    // permissions come from the folder, as for every file made in it.
    Handle file { CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr) };
    if (file.handle == INVALID_HANDLE_VALUE)
        return lastError();
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = DWORD(std::min<size_t>(bytes.size() - done, 1 << 30));
        DWORD written = 0;
        if (!WriteFile(file.handle, bytes.data() + done, chunk, &written, nullptr))
            return lastError();
        done += written;
    }
    if (!FlushFileBuffers(file.handle))
        return lastError();
    const HANDLE handle = file.handle;
    file.handle = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) ? std::error_code() : lastError();
}

std::error_code replaceFile(const Path& source, const Path& target)
{
    // A read-only list is never replaced, as Windows itself refuses; so on every file system.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return { EACCES, std::generic_category() };
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {};
    const std::error_code error = lastError();
    // Windows says "access denied" for a file another program holds open (a virus scanner, an
    // indexer): tell that apart, as it passes.
    if (error.value() == EACCES && error.category() == std::generic_category()) {
        const Handle held { CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr) };
        if (held.handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION)
            return { EBUSY, std::generic_category() };
    }
    return error;
}

std::error_code syncFolder(const Path&)
{
    return {}; // NTFS journals the move; MOVEFILE_WRITE_THROUGH returned once it was on disk
}

bool isOwnRegularFile(const Path& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES
        && !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE));
}

std::string randomName()
{
    // rand_s draws from the system's generator.
    std::string name;
    for (int i = 0; i < 2; ++i) {
        unsigned int value = 0;
        if (rand_s(&value) != 0)
            value = unsigned(GetTickCount64()) ^ GetCurrentProcessId() ^ (i ? 0x9E3779B9u : 0);
        for (int shift = 28; shift >= 0; shift -= 4)
            name += "0123456789abcdef"[(value >> shift) & 15];
    }
    return name;
}

bool isWritableFolder(const Path& folder)
{
    // Rights come from access lists that only a try tells reliably (Program Files, say); the
    // probe is a name of its own, so a stray file can decide nothing.
    const Path probe = folder / (L"kaolist-write-test." + Path(randomName()).wstring() + L".tmp");
    const HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

Path executablePath()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, name.data(), DWORD(name.size()));
        if (n == 0)
            return {};
        if (n < name.size()) {
            name.resize(n);
            return Path(name);
        }
        name.resize(name.size() * 2);
    }
}

Path userDataFolder()
{
    // Windows sets %LOCALAPPDATA% for every session; asking the shell loads it and COM, which
    // costs a start-up a third of its time, so only where the variable is missing.
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), DWORD(folder.size())));
    if (!folder.empty() && folder.size() < MAX_PATH)
        return Path(folder) / L"Nikomaru";
    using Known = HRESULT(WINAPI*)(REFKNOWNFOLDERID, DWORD, HANDLE, PWSTR*);
    using Free = void(WINAPI*)(void*);
    const auto known = reinterpret_cast<Known>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "SHGetKnownFolderPath")));
    const auto release = reinterpret_cast<Free>(
        reinterpret_cast<void (*)()>(GetProcAddress(LoadLibraryW(L"ole32.dll"), "CoTaskMemFree")));
    PWSTR knownFolder = nullptr;
    Path path;
    if (known && release && SUCCEEDED(known(FOLDERID_LocalAppData, 0, nullptr, &knownFolder))) {
        path = Path(knownFolder) / L"Nikomaru";
        release(knownFolder);
    }
    return path;
}

std::u16string displayPath(const Path& path)
{
    const std::wstring& text = path.native();
    return std::u16string(text.begin(), text.end());
}

std::u16string describe(std::error_code error)
{
    if (error.category() != std::system_category()) {
        const std::string text = error.message();
        return std::u16string(text.begin(), text.end());
    }
    wchar_t* text = nullptr;
    const DWORD n
        = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
            nullptr, DWORD(error.value()), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string reason(text, text + n);
    LocalFree(text);
    while (!reason.empty()
        && (reason.back() == u'\n' || reason.back() == u'\r' || reason.back() == u'.' || reason.back() == u'\u3002'))
        reason.pop_back();
    if (reason.empty()) {
        const std::string number = std::to_string(error.value());
        reason = u"エラー " + std::u16string(number.begin(), number.end());
    }
    return reason;
}

FileLock::Result FileLock::tryLock(const Path& path, std::error_code* error)
{
    unlock();
    // A link there is not followed: it could make a file anywhere.
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const bool busy = GetLastError() == ERROR_SHARING_VIOLATION;
        *error = lastError();
        return busy ? Result::Busy : Result::Failed;
    }
    BY_HANDLE_FILE_INFORMATION information {};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &information)
        || (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        CloseHandle(file);
        *error = { EINVAL, std::generic_category() };
        return Result::Failed;
    }
    OVERLAPPED whole {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        const DWORD code = GetLastError();
        *error = lastError();
        CloseHandle(file);
        return code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? Result::Busy : Result::Failed;
    }
    path_ = path;
    handle_ = reinterpret_cast<std::intptr_t>(file);
    return Result::Locked;
}

void FileLock::unlock()
{
    if (handle_ == -1)
        return;
    // The file stays: removing it while another program waits on it would let a third one in.
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED whole {};
    UnlockFileEx(file, 0, 1, 0, &whole);
    CloseHandle(file);
    handle_ = -1;
}

} // namespace faces::sys
