#pragma once

// What the core's tests need from the system they run on; one implementation per system.

#include "facefile.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace test {

using faces::Path;

// A throw-away folder, removed with everything in it.
struct TempFolder {
    Path path;
    explicit TempFolder(const Path& parent = {}); // in the system's temporary folder by default
    ~TempFolder();
    Path operator/(const char* name) const { return path / name; }
    void write(const char* name, std::string_view bytes) const;
    std::string read(const char* name) const; // "<missing>" when there is no such file
    size_t entries() const;
};

// Runs a program with arguments and waits for it: its exit code.
int run(const Path& program, const std::vector<std::string>& arguments);
// Starts a program with arguments; it is killed when the result is let go.
std::shared_ptr<void> start(const Path& program, const std::vector<std::string>& arguments);

// The most memory the process has held so far, in KiB.
long peakMemoryKiB();

// A folder name that only the system's own form of paths can hold.
Path strangeName();

// A face list file made by something other than writing bytes to it; the row's file is the path.
struct Read {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> expected;
    std::u16string reason = {}; // why the face list is refused
    size_t import = 0; // imports as many faces instead, from a text file in any encoding
    std::function<void(const Path&)> make = {}; // makes the file instead of writing the bytes
};
std::vector<Read> systemReads();

// Something done to the lists' folder before a save, undone when the result is let go.
struct Write {
    const char* name;
    std::vector<std::u16string> faces;
    std::string expected = {}; // the file written
    std::u16string reason = {}; // the save fails, and says why
    std::function<std::shared_ptr<void>(const Path& folder)> setup = {};
    std::function<void(const Path& folder)> check = {}; // after the save
    Path parent = {}; // where the lists' folder is made, when not in the temporary folder
};
std::vector<Write> systemWrites();

// Makes the file refuse to be replaced until the result is let go: a read-only file on Windows, a
// mount point on POSIX (as root; nothing elsewhere).
std::shared_ptr<void> blockReplacing(const Path& path);

// A small disk to fill, where the test was given one (tests/core/small_disk.sh, as root).
Path smallDisk();

// Makes the system's flush of written data to the disk fail with an I/O error until the result
// is let go.
std::shared_ptr<void> failFlushes();

// Many faces: more than a write buffer, less than a small disk.
std::vector<std::u16string> manyFaces();

} // namespace test
