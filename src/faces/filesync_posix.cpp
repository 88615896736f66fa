// POSIX: fsync of the file, and of the folder so that a rename survives a power cut.
#include "filesync.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace faces {

int syncFile(int handle)
{
    return fsync(handle) == 0 ? 0 : errno;
}

int syncFolder(const QString& folder)
{
    const int fd = open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = fsync(fd) == 0 ? 0 : errno;
    close(fd);
    return error;
}

} // namespace faces
