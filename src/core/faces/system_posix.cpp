// POSIX: paths are bytes, saves are fsync()ed files and folders, the lock is flock().
#include "system.h"

#include "textcodec.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
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

std::FILE* openForReading(const Path& path, bool followLinks)
{
    Descriptor file { open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW)) };
    struct stat status;
    if (file.fd < 0 || fstat(file.fd, &status) != 0)
        return nullptr;
    if (!S_ISREG(status.st_mode)) {
        errno = EINVAL;
        return nullptr;
    }
    std::FILE* stream = fdopen(file.fd, "rb");
    if (stream)
        file.fd = -1;
    return stream;
}

std::error_code writeNewFile(const Path& path, std::string_view bytes, const Path& like)
{
    // O_EXCL refuses a link of that name too: nothing is ever written through one.
    Descriptor file { open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666) };
    if (file.fd < 0)
        return lastError();
    struct stat model;
    if (!like.empty() && stat(like.c_str(), &model) == 0 && fchmod(file.fd, model.st_mode & 07777) != 0)
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

bool isOwnRegularFile(const Path& path)
{
    struct stat status;
    return lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == geteuid();
}

std::string randomName()
{
    std::string name;
    Descriptor source { open("/dev/urandom", O_RDONLY | O_CLOEXEC) };
    unsigned char bytes[8] = {};
    if (source.fd < 0 || read(source.fd, bytes, sizeof bytes) != ssize_t(sizeof bytes)) {
        // No urandom: the clock and the process still make a name that is new here.
        const auto now = std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()) ^ getpid();
        std::memcpy(bytes, &now, sizeof bytes);
    }
    for (const unsigned char b : bytes)
        name += "0123456789abcdef"[b >> 4], name += "0123456789abcdef"[b & 15];
    return name;
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

FileLock::Result FileLock::tryLock(const Path& path, std::error_code* error)
{
    unlock();
    // The holder removes the file as it lets go; a file locked after its removal is not the lock
    // any more, so try again on the one now at the path. A link there is not followed: it could
    // make a file anywhere.
    for (int attempt = 0; attempt < 100; ++attempt) {
        Descriptor file { open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666) };
        struct stat held, named;
        if (file.fd < 0 || fstat(file.fd, &held) != 0)
            return *error = lastError(), Result::Failed;
        if (!S_ISREG(held.st_mode))
            return *error = { EINVAL, std::generic_category() }, Result::Failed;
        if (flock(file.fd, LOCK_EX | LOCK_NB) != 0) {
            *error = lastError();
            return errno == EWOULDBLOCK ? Result::Busy : Result::Failed;
        }
        if (lstat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
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
