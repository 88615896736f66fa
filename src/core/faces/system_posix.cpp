// POSIX: paths are bytes, saves are fsync()ed files and folders, the lock is flock().
#include "system.h"

#include "textcodec.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faces::sys {
namespace {

std::error_code lastError()
{
    return { errno, std::generic_category() };
}

// Closes a descriptor when it goes out of scope.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

} // namespace

std::FILE* openForReading(const Path& path)
{
    return std::fopen(path.c_str(), "rbe");
}

std::error_code writeDurably(const Path& path, std::string_view bytes)
{
    Descriptor file { open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666) };
    if (file.fd < 0)
        return lastError();
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno != EINTR)
            return lastError();
        done += n > 0 ? size_t(n) : 0;
    }
    // A full disk can show only here, when the data leaves the cache.
    if (fsync(file.fd) != 0)
        return lastError();
    const int fd = file.fd;
    file.fd = -1;
    return close(fd) == 0 ? std::error_code() : lastError();
}

std::error_code replaceFile(const Path& source, const Path& target)
{
    return std::rename(source.c_str(), target.c_str()) == 0 ? std::error_code() : lastError();
}

std::error_code syncFolder(const Path& folder)
{
    const Descriptor dir { open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC) };
    if (dir.fd < 0)
        return lastError();
    return fsync(dir.fd) == 0 ? std::error_code() : lastError();
}

bool isWritableFolder(const Path& folder)
{
    return access(folder.c_str(), W_OK | X_OK) == 0;
}

Path executablePath()
{
    std::error_code error;
    Path path = std::filesystem::read_symlink("/proc/self/exe", error); // Linux
    if (error)
        path = std::filesystem::read_symlink("/proc/curproc/file", error); // the BSDs
    return path;
}

Path userDataFolder()
{
    // A relative XDG_DATA_HOME is to be ignored: it would depend on the working folder.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return Path(data) / "Nikomaru";
    const char* home = std::getenv("HOME");
    if (!home || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user ? user->pw_dir : "/";
    }
    return Path(home) / ".local" / "share" / "Nikomaru";
}

std::u16string displayPath(const Path& path)
{
    return fromUtf8(path.native());
}

std::u16string describe(std::error_code error)
{
    return fromUtf8(error.message());
}

FileLock::Result FileLock::tryLock(const Path& path)
{
    unlock();
    // The holder removes the file as it lets go; a file locked after its removal is not the lock
    // any more, so try again on the one now at the path.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Descriptor file { open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666) };
        if (file.fd < 0)
            return Result::Failed;
        if (flock(file.fd, LOCK_EX | LOCK_NB) != 0)
            return errno == EWOULDBLOCK ? Result::Busy : Result::Failed;
        struct stat held, named;
        if (fstat(file.fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino
            && held.st_dev == named.st_dev) {
            path_ = path;
            handle_ = file.fd;
            file.fd = -1;
            return Result::Locked;
        }
    }
    return Result::Busy;
}

void FileLock::unlock()
{
    if (handle_ < 0)
        return;
    unlink(path_.c_str());
    close(int(handle_));
    handle_ = -1;
}

} // namespace faces::sys
