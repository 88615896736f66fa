#pragma once

#include <QString>

// Making written data durable; one implementation per system.
namespace faces {

// Forces the open file's data to the disk. 0 on success, else the system's error number.
int syncFile(int handle);

// Forces the folder's entries (a rename just made in it) to the disk. 0 on success, else the
// system's error number.
int syncFolder(const QString& folder);

} // namespace faces
