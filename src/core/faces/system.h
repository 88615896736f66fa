#pragma once

// The file system calls that differ between systems; one implementation file per system. Errors
// are std::error_code: errno values on POSIX, the system's error numbers on Windows.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace faces::sys {

using Path = std::filesystem::path;

// Opens a file for reading in binary mode; nullptr with errno set when it cannot.
std::FILE* openForReading(const Path& path);

// Creates or truncates the file and writes the bytes, forced to the disk before it returns.
std::error_code writeDurably(const Path& path, std::string_view bytes);

// Renames source over target in one step; durable once syncFolder() has run.
std::error_code replaceFile(const Path& source, const Path& target);

// Forces a folder's entries (renames just made in it) to the disk.
std::error_code syncFolder(const Path& folder);

// Whether this user may create files in the folder.
bool isWritableFolder(const Path& folder);

// The running program's file, links resolved.
Path executablePath();

// The per-user data folder for the lists: $XDG_DATA_HOME/Nikomaru (only when absolute, else
// ~/.local/share/Nikomaru) on POSIX, %LOCALAPPDATA%\Nikomaru on Windows.
Path userDataFolder();

// A path as people read it: the system's separators, names that are no valid text with U+FFFD.
std::u16string displayPath(const Path& path);

// The system's reason for a failed file operation; Japanese where it is one people meet.
std::u16string describe(std::error_code error);

// An exclusive lock on a file that the system lets go of when the holder ends, however it ends.
class FileLock {
public:
    enum class Result { Locked, Busy, Failed };

    FileLock() = default;
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // One try, without waiting: Busy when another holder has it, Failed when the file cannot be
    // made or opened.
    Result tryLock(const Path& path);
    void unlock();

private:
    Path path_;
    std::intptr_t handle_ = -1;
};

} // namespace faces::sys
