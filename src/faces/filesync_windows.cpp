// Windows: _commit flushes a file to the disk; NTFS journals renames, folders need no flush.
#include "filesync.h"

#include <cerrno>
#include <io.h>

namespace faces {

int syncFile(int handle)
{
    return _commit(handle) == 0 ? 0 : errno;
}

int syncFolder(const QString&)
{
    return 0;
}

} // namespace faces
