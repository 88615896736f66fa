#pragma once

#include "facelist.h"
#include "system.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace faces {

// Paths in the system's own form (bytes on POSIX, UTF-16 on Windows) from where the program
// finds itself to every open; converted only for display.
using Path = std::filesystem::path;

inline constexpr char kPoolFileName[] = "kaolist1.txt";
inline constexpr char kCurrentFileName[] = "kaolist2.txt";

// Face list files larger than this are refused before they are read, and never written.
inline constexpr std::uintmax_t kMaxFileBytes = 64 * 1024 * 1024;

// One face per line, each followed by CR LF, in code page 932 or, when a face would not
// survive it, in UTF-8 with a byte order mark.
std::string serialize(const FaceText& faces);
// What a save writes over a file that held `previous`: those bytes, with every line ended by
// CR LF, when they read as the same faces; serialize(faces) otherwise.
std::string serializeKeeping(const FaceText& faces, std::string_view previous);

// Identifies a file's content, to tell whether someone changed it since it was read: its size
// and a 64-bit FNV-1a hash of its bytes (no adversary here, only other saves).
struct Digest {
    bool readable = false;
    std::uintmax_t size = 0;
    std::uint64_t hash = 0;
    bool operator==(const Digest&) const = default;
};

// Reads a whole face list file: a regular file (links resolved) of at most kMaxFileBytes with at
// most kMaxFaces faces. On failure returns nothing and sets *reason to a short Japanese sentence
// (the file is missing, is no regular file, is too long, ...). *digest, when given, identifies
// the bytes read, as fileDigest() does.
std::optional<FaceText> readFaceText(const Path& path, std::u16string* reason, Digest* digest = nullptr);

// Reads any text file for import: its first maxFaces faces, reading no more of the file than
// those need (and never more than kMaxFileBytes). Nothing when it cannot be read.
std::optional<FaceText> readTextFile(const Path& path, size_t maxFaces);

// Not readable when the file cannot be read.
Digest fileDigest(const Path& path);

struct FileContent {
    const char* name; // kPoolFileName or kCurrentFileName
    const FaceText& faces;
};

// Replaces the content of every file in the folder, or of none, even across a crash: each is
// written in full to a new temporary file of an unguessable name beside it (beside its target
// where the file is a link, which stays one) and forced to the disk, the save is recorded with
// the temporary files' names and digests, and only then is each renamed over its file. A save
// that a crash cut short is completed by whoever takes the save lock next. The caller holds the
// SaveLock. On failure returns false, sets *failedPath and *reason (the system's reason, in
// Japanese where known), and leaves every file as it was. afterStep, for tests, is called after
// each step with its number.
bool writeFaceFiles(const Path& folder, const std::vector<FileContent>& files, Path* failedPath, std::u16string* reason,
    const std::function<void(int step)>& afterStep = {});

// Why a save did not happen: the file concerned and the reason, in Japanese.
struct SaveFailure {
    Path path;
    std::u16string reason;
};

// One writer of a folder's lists at a time, across processes: a lock on the file
// "kaolist.lock" that the system releases when its holder ends, however it ends.
class SaveLock {
public:
    enum class Result { Locked, Busy, Failed };
    // Waits up to `wait` for the lock; once it has it, completes a save that a crash
    // interrupted in the folder. Busy: another program holds it; Failed: the lock file cannot be
    // made (error() says why).
    Result lock(const Path& folder, std::chrono::milliseconds wait = std::chrono::seconds(5));
    void unlock() { lock_.unlock(); }
    // Why a recorded save could not be completed when the lock was taken; it stays recorded.
    const std::optional<SaveFailure>& unfinished() const { return unfinished_; }
    std::error_code error() const { return error_; }

private:
    sys::FileLock lock_;
    std::optional<SaveFailure> unfinished_;
    std::error_code error_;
};

// Both lists as the editor read them, to be saved into the folder.
struct ListsToSave {
    Path folder;
    const FaceText& pool;
    const FaceText& current;
    Digest poolRead; // the files in the folder as they were when the lists were read
    Digest currentRead;
};

// Saves both lists under the save lock, waiting `wait` for another save. When a list file
// changed since it was read (another program saved), replaces it only if `overwrite()` agrees.
// Nothing when saved; a failure with the file and the reason; an empty reason when the user
// chose not to overwrite.
std::optional<SaveFailure> saveLists(const ListsToSave& lists, const std::function<bool()>& overwrite,
    std::chrono::milliseconds wait = std::chrono::seconds(5));

// The folder of the running executable with links resolved.
Path applicationFolder();

// The per-user data folder for the lists: $XDG_DATA_HOME/Nikomaru on POSIX, the local
// application data folder on Windows.
Path userDataFolder();

// Where the face lists live. Beside the program, as they always have, wherever the program's
// folder can be written: a portable copy never shows another copy's lists. Where the user may
// not write it (a system-wide install), the user's own copies live in the user's data folder, as
// Windows does for older programs under Program Files.
struct ListFolders {
    Path program;
    Path user;
    // Whether this user may write the program's folder: tried once, when first asked.
    bool programWritable() const;
    // The folder a list is read from: the program's where it can be written; else the user's
    // where the user has that list, the program's otherwise.
    Path folderOf(const char* fileName) const;
    // The list's file in that folder; while a recorded save there cannot be completed, the
    // temporary file that holds the list as that save leaves it.
    Path readPath(const char* fileName) const;
    // The program's folder where it can be written, the user's otherwise.
    Path saveFolder() const;
    // Completes saves that a crash cut short in either folder, unless one is being saved now;
    // why one could not be completed (it stays recorded).
    std::optional<SaveFailure> finishInterruptedSaves() const;

    mutable std::optional<bool> programWritable_ = {}; // programWritable()'s answer, once tried
};

// The full path of a face list file in the given folder.
Path faceFilePath(const Path& folder, const char* fileName);

// The lock file that serialises saves of the face lists in the folder across processes.
Path lockFilePath(const Path& folder);

// A path as people read it, with the system's separators.
std::u16string displayPath(const Path& path);

} // namespace faces
