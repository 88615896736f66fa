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

// Opens a regular file for reading in binary mode without blocking: a FIFO or a device is
// refused as it is opened, and so is a link at the path's end unless links are followed.
// nullptr with errno set when it cannot (EINVAL: no regular file, ELOOP: a link).
std::FILE* openForReading(const Path& path, bool followLinks = true);

// Creates a file that must not exist yet (a link of that name counts as existing), writes the
// bytes with the permissions of the file `like` where that exists, and forces them to the disk
// before it returns.
std::error_code writeNewFile(const Path& path, std::string_view bytes, const Path& like = {});

// Renames source over target in one step; durable once syncFolder() has run.
std::error_code replaceFile(const Path& source, const Path& target);

// Forces a folder's entries (renames just made in it) to the disk.
std::error_code syncFolder(const Path& folder);

// Whether this user may create files in the folder.
bool isWritableFolder(const Path& folder);

// Whether the path, its last part not followed, is a regular file that this user may take for
// his own: his own on POSIX, any in his folders on Windows.
bool isOwnRegularFile(const Path& path);

// 16 hexadecimal digits nobody can guess in advance.
std::string randomName();

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

    // One try, without waiting: Busy when another holder has it, Failed (with *error) when the
    // file cannot be made or opened, is no regular file or a link, or cannot be locked.
    Result tryLock(const Path& path, std::error_code* error);
    void unlock();

private:
    Path path_;
    std::intptr_t handle_ = -1;
};

} // namespace faces::sys
