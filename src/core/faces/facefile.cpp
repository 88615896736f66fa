#include "facefile.h"

#include "textcodec.h"

#include <algorithm>
#include <cerrno>
#include <memory>
#include <sstream>
#include <thread>

namespace faces {

FaceText::FaceText(std::u16string text)
    : text_(std::move(text))
    , live_(0)
{
    const char16_t* data = text_.data();
    const size_t size = text_.size();
    size_t start = 0;
    for (size_t i = 0; i < size; ++i) {
        const char16_t c = data[i];
        if (c > u'\r' || (c != u'\r' && c != u'\n'))
            continue;
        spans_.push_back({ start, i - start });
        if (c == u'\r' && i + 1 < size && data[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        spans_.push_back({ start, size - start });
    for (const Span& span : spans_)
        live_ += span.length;
}

FaceList FaceText::toList() const
{
    FaceList faces;
    faces.reserve(size());
    for (size_t i = 0; i < size(); ++i)
        faces.emplace_back(at(i));
    return faces;
}

std::u16string FaceText::lines() const
{
    std::u16string text;
    text.reserve(live_ + 2 * size());
    for (size_t i = 0; i < size(); ++i)
        text.append(at(i)).append(u"\r\n");
    return text;
}

void FaceText::append(std::u16string_view face)
{
    spans_.push_back({ text_.size(), face.size() });
    text_.append(face.data(), face.size()); // safe where face lies in text_ itself
    live_ += face.size();
}

void FaceText::replace(size_t i, std::u16string_view face)
{
    live_ -= spans_[i].length;
    const Span span { text_.size(), face.size() };
    text_.append(face.data(), face.size());
    spans_[i] = span;
    live_ += face.size();
    compactIfWasteful();
}

void FaceText::remove(size_t i)
{
    live_ -= spans_[i].length;
    spans_.erase(spans_.begin() + std::ptrdiff_t(i));
    compactIfWasteful();
}

void FaceText::truncate(size_t count)
{
    while (spans_.size() > count) {
        live_ -= spans_.back().length;
        spans_.pop_back();
    }
    compactIfWasteful();
}

void FaceText::compactIfWasteful()
{
    // Compacting costs the live faces once, after at least as much again has gone to waste.
    if (text_.size() <= 2 * live_ + 4096)
        return;
    std::u16string text;
    text.reserve(live_);
    for (Span& span : spans_) {
        const size_t start = text.size();
        text.append(text_, span.start, span.length);
        span.start = start;
    }
    text_ = std::move(text);
}

std::string serialize(const FaceText& faces)
{
    // Faces hold no line breaks, so encoding all lines at once decides for the whole file.
    return faces.size() == 0 ? std::string() : encodeText(faces.lines(), faces.encoding());
}

namespace {

constexpr char kIntentFileName[] = "kaolist.save";
constexpr const char* kListNames[] = { kPoolFileName, kCurrentFileName };

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

std::u16string number(std::uintmax_t n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

std::u16string tooLarge()
{
    return u"ファイルが大きすぎます（扱えるのは " + number(kMaxFileBytes >> 20) + u" MiB までです）。";
}

// Opens a regular file for reading without blocking: a FIFO or a device is refused as it is
// opened. *size is its size then.
File openRegularFile(const Path& path, std::u16string* reason, std::uintmax_t* size, bool followLinks = true)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error); // through links
    if (status.type() == std::filesystem::file_type::not_found) {
        *reason = u"ファイルが見つかりません。";
        return nullptr;
    }
    if (std::filesystem::is_directory(status)) {
        *reason = u"ファイルではなくフォルダーです。";
        return nullptr;
    }
    errno = 0;
    File file(sys::openForReading(path, followLinks));
    if (!file) {
        *reason = errno == EINVAL
            ? u"通常のファイルではありません。"
            : u"ファイルを開けません（" + sys::describe({ errno, std::generic_category() }) + u"）。";
        return nullptr;
    }
    *size = std::filesystem::file_size(path, error);
    return file;
}

// Appends the file's bytes until it ends or `limit` bytes are there, in steps from `hint`, so
// that what is allocated follows what the file really holds; false when reading failed.
bool readUpTo(std::FILE* file, std::string& bytes, size_t limit, size_t hint)
{
    for (size_t step = std::max<size_t>(hint, 1 << 16); bytes.size() < limit; step *= 2) {
        const size_t start = bytes.size(), count = std::min(step, limit - start);
        bytes.resize(start + count);
        const size_t read = std::fread(bytes.data() + start, 1, count, file);
        bytes.resize(start + read);
        if (read < count)
            break;
    }
    return !std::ferror(file);
}

bool atEnd(std::FILE* file)
{
    const int c = std::fgetc(file);
    return c == EOF || std::ungetc(c, file) == EOF;
}

// The whole content of a face list file, at most kMaxFileBytes.
std::optional<std::string> readFaceFileBytes(const Path& path, std::u16string* reason, bool followLinks = true)
{
    std::uintmax_t size = 0;
    const File file = openRegularFile(path, reason, &size, followLinks);
    if (!file)
        return std::nullopt;
    std::string bytes;
    // Read one byte past the limit: a file that grows while it is read is caught as well.
    if (size <= kMaxFileBytes && !readUpTo(file.get(), bytes, kMaxFileBytes + 1, size_t(size) + 1)) {
        *reason = u"ファイルを読み込めません（" + sys::describe({ errno, std::generic_category() }) + u"）。";
        return std::nullopt;
    }
    if (size > kMaxFileBytes || bytes.size() > kMaxFileBytes) {
        *reason = tooLarge();
        return std::nullopt;
    }
    return bytes;
}

Digest digestOf(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037u;
    for (const char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return { true, bytes.size(), hash };
}

// Where the bytes read so far can be cut without splitting a character: after the last line end,
// kept at a whole UTF-16 unit for a UTF-16 file.
size_t safeCut(std::string_view bytes)
{
    const size_t last = bytes.find_last_of("\r\n");
    size_t cut = last == std::string_view::npos ? 0 : last + 1;
    if ((bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) && cut % 2 != 0)
        ++cut;
    return std::min(cut, bytes.size());
}

bool endsLine(std::u16string_view text)
{
    return text.ends_with(u'\n') || text.ends_with(u'\r');
}

// The system's reason for a failed write, in Japanese where it is one people meet.
std::u16string writeFailure(std::error_code error)
{
    if (error.category() == std::generic_category()) {
        switch (error.value()) {
        case ENOSPC:
            return u"ディスクの空き領域が足りません";
        case EACCES:
        case EPERM:
            return u"書き込む権限がありません";
        case EROFS:
            return u"読み取り専用のファイルシステムです";
        case EFBIG:
            return u"ファイルが大きすぎます";
        case EIO:
            return u"ディスクの読み書きでエラーが起きました";
        case EBUSY:
            return u"ほかのプログラムがファイルを使っています";
        case EISDIR:
            return u"その名前のフォルダーがあります";
        case EEXIST:
            return u"その名前のファイルがすでにあります";
        case ENOLCK:
        case EOPNOTSUPP:
            return u"このファイルシステムではファイルをロックできません";
        case EINVAL:
        case ELOOP:
            return u"通常のファイルではありません";
        }
    }
    return sys::describe(error);
}

// The temporary file of older versions, beside its list.
Path temporaryPath(const Path& folder, const char* name)
{
    return folder / (std::string(name) + ".tmp");
}

bool isPresent(const Path& path)
{
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

void removeFile(const Path& path)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
}

// The file a path names, links followed to their end even where it is missing: a list that is a
// link keeps being one, and its target gets the faces.
Path resolveLinks(Path path)
{
    std::error_code error;
    for (int i = 0; i < 40 && std::filesystem::is_symlink(std::filesystem::symlink_status(path, error)); ++i) {
        const Path next = std::filesystem::read_symlink(path, error);
        if (error)
            break;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return path;
}

// A new temporary file's name beside the file it will replace, which nobody can guess in advance.
Path temporaryFor(const Path& target)
{
    std::string suffix = ".";
    suffix.append(sys::randomName()).append(".tmp");
    Path temporary = target;
    temporary += suffix;
    return temporary;
}

// Whether a name in a lists folder is one of a save's temporary files: a list's or the
// journal's name, 16 hexadecimal digits, ".tmp"; or the single ".tmp" of older versions.
bool isTemporaryName(const std::string& name)
{
    for (const char* prefix : { kPoolFileName, kCurrentFileName, kIntentFileName }) {
        const std::string start = std::string(prefix) + ".";
        if (!name.starts_with(start) || !name.ends_with(".tmp"))
            continue;
        const std::string middle = name.substr(start.size(), name.size() - start.size() - 4);
        if (middle.empty() && prefix != kIntentFileName)
            return true;
        if (middle.size() == 16 && middle.find_first_not_of("0123456789abcdef") == std::string::npos)
            return true;
    }
    return false;
}

std::string hex(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes)
        text += "0123456789abcdef"[static_cast<unsigned char>(c) >> 4],
            text += "0123456789abcdef"[static_cast<unsigned char>(c) & 15];
    return text;
}

std::string unhex(std::string_view text)
{
    const auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
    std::string bytes;
    for (size_t i = 0; i + 1 < text.size(); i += 2)
        bytes += char(value(text[i]) << 4 | value(text[i + 1]));
    return bytes;
}

std::string pathBytes(const Path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

Path pathOf(const std::string& bytes)
{
    return Path(std::u8string(bytes.begin(), bytes.end()));
}

constexpr std::string_view kJournalHeader = "nikomaru save 2\n";

// One list of a recorded save: the file it replaces, the temporary file that holds its new
// content, and that content's digest (none from older versions).
struct JournalEntry {
    Path target;
    Path temporary;
    std::optional<Digest> digest;
};

// The recorded save of the folder: nothing when there is none, or "kaolist.save" is no regular
// file of ours (a link, a FIFO: never followed, never waited on).
std::optional<std::vector<JournalEntry>> readJournal(const Path& folder)
{
    std::u16string reason;
    const std::optional<std::string> text = readFaceFileBytes(folder / kIntentFileName, &reason, false);
    if (!text)
        return std::nullopt;
    std::vector<JournalEntry> entries;
    std::string_view rest = *text;
    const bool current = rest.starts_with(kJournalHeader);
    if (current)
        rest.remove_prefix(kJournalHeader.size());
    for (size_t end; (end = rest.find('\n')) != rest.npos; rest.remove_prefix(end + 1)) {
        const std::string line(rest.substr(0, end));
        if (!current) { // the list names alone, each with its ".tmp" beside it
            for (const char* name : kListNames)
                if (line == name)
                    entries.push_back({ folder / name, temporaryPath(folder, name), std::nullopt });
            continue;
        }
        std::istringstream fields(line);
        Digest digest { true };
        std::string target, temporary;
        if (fields >> digest.size >> digest.hash >> target >> temporary)
            entries.push_back({ pathOf(unhex(target)), pathOf(unhex(temporary)), digest });
    }
    return entries;
}

// Records the save durably: written to a new file of its own, then renamed over "kaolist.save",
// so that nothing is written through whatever may stand at that name.
std::error_code writeJournal(const Path& folder, const std::string& text)
{
    const Path temporary = temporaryFor(folder / kIntentFileName);
    std::error_code error = sys::writeNewFile(temporary, text);
    if (!error)
        error = sys::replaceFile(temporary, folder / kIntentFileName);
    if (!error)
        return sys::syncFolder(folder);
    removeFile(temporary);
    return error;
}

// With the save lock held: completes the save that the folder's journal records, when its
// temporary files are the ones it names; removes temporary files of saves cut short before
// they were recorded. A save that cannot be completed stays recorded, its temporary files
// with it, and the failure is returned.
std::optional<SaveFailure> finishInterruptedSave(const Path& folder)
{
    if (const auto entries = readJournal(folder)) {
        // Only our lists are replaced, only by temporary files of ours that hold what was recorded.
        const auto ours = [&folder](const JournalEntry& entry) {
            const bool list = std::any_of(std::begin(kListNames), std::end(kListNames),
                [&](const char* name) { return entry.target == resolveLinks(folder / name); });
            return list
                && (!isPresent(entry.temporary)
                    || (sys::isOwnRegularFile(entry.temporary)
                        && (!entry.digest || fileDigest(entry.temporary) == *entry.digest)));
        };
        const bool apply = std::all_of(entries->begin(), entries->end(), ours);
        for (const JournalEntry& entry : apply ? *entries : std::vector<JournalEntry>()) {
            if (!isPresent(entry.temporary))
                continue; // replaced before the interruption
            if (const std::error_code error = sys::replaceFile(entry.temporary, entry.target))
                return SaveFailure { entry.target, u"ファイルを置き換えられません（" + writeFailure(error) + u"）。" };
            sys::syncFolder(entry.target.parent_path());
        }
        removeFile(folder / kIntentFileName);
    }
    std::error_code error;
    for (auto item = std::filesystem::directory_iterator(folder, error);
         !error && item != std::filesystem::directory_iterator(); item.increment(error)) {
        if (isTemporaryName(pathBytes(item->path().filename())) && sys::isOwnRegularFile(item->path()))
            removeFile(item->path());
    }
    return std::nullopt;
}

bool hasInterruptedSave(const Path& folder)
{
    return isPresent(folder / kIntentFileName) || isPresent(lockFilePath(folder))
        || isPresent(temporaryPath(folder, kPoolFileName)) || isPresent(temporaryPath(folder, kCurrentFileName));
}

bool sameFaces(const FaceText& a, const FaceText& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a.at(i) != b.at(i))
            return false;
    return true;
}

} // namespace

std::optional<FaceText> readFaceText(const Path& path, std::u16string* reason, Digest* digest)
{
    const std::optional<std::string> bytes = readFaceFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    Encoding encoding;
    FaceText faces(decodeText(*bytes, Detection::Strict, &encoding));
    faces.setEncoding(encoding);
    if (faces.size() > kMaxFaces) {
        *reason = u"顔文字が多すぎます（" + number(faces.size()) + u" 個。扱えるのは " + number(kMaxFaces)
            + u" 個までです）。";
        return std::nullopt;
    }
    if (digest)
        *digest = digestOf(*bytes);
    return faces;
}

std::optional<FaceText> readTextFile(const Path& path, size_t maxFaces)
{
    std::u16string reason;
    std::uintmax_t size = 0;
    const File file = maxFaces == 0 ? nullptr : openRegularFile(path, &reason, &size);
    if (!file)
        return std::nullopt;
    // Read in doubling steps until the faces wanted are complete, so that a huge file costs no
    // more than twice what is kept.
    std::string bytes;
    std::optional<Encoding> encoding; // decided on the same start of the file, whatever is read
    for (size_t want = kSniffBytes;; want = std::min<size_t>(want * 2, kMaxFileBytes)) {
        if (!readUpTo(file.get(), bytes, want, want - bytes.size()))
            return std::nullopt;
        if (!encoding)
            encoding = detectText(bytes);
        if (bytes.size() < want || want == kMaxFileBytes) {
            FaceText faces(decodeIn(bytes, *encoding, false));
            if (bytes.size() == want && !atEnd(file.get()) && faces.size() > 0)
                faces.truncate(faces.size() - 1); // cut off by the limit
            faces.truncate(std::min(faces.size(), maxFaces));
            return faces;
        }
        // Count only faces known to be whole: up to a line end, and not the last one when a
        // UTF-16 file was cut inside a line.
        std::u16string text = decodeIn(std::string_view(bytes).substr(0, safeCut(bytes)), *encoding, false);
        const bool whole = endsLine(text);
        FaceText faces(std::move(text));
        if (!whole && faces.size() > 0)
            faces.truncate(faces.size() - 1);
        if (faces.size() >= maxFaces) {
            faces.truncate(maxFaces);
            return faces;
        }
    }
}

Digest fileDigest(const Path& path)
{
    std::u16string reason;
    const std::optional<std::string> bytes = readFaceFileBytes(path, &reason);
    return bytes ? digestOf(*bytes) : Digest();
}

std::string serializeKeeping(const FaceText& faces, std::string_view previous)
{
    if (!sameFaces(FaceText(decodeText(previous)), faces))
        return serialize(faces);
    // The same faces: the same bytes, only every line ended with CR LF.
    const bool utf16 = previous.starts_with("\xFF\xFE") || previous.starts_with("\xFE\xFF");
    const bool bigEndian = previous.starts_with("\xFE\xFF");
    const size_t unit = utf16 ? 2 : 1;
    if (utf16 && previous.size() % 2 != 0)
        return serialize(faces); // a dangling half unit has no place to go back to
    const size_t mark = utf16 ? 2 : previous.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    const auto at = [&](size_t i) -> char16_t {
        return utf16 ? char16_t(static_cast<unsigned char>(previous[i + !bigEndian]) << 8
                   | static_cast<unsigned char>(previous[i + bigEndian]))
                     : char16_t(static_cast<unsigned char>(previous[i]));
    };
    const std::string end = utf16 ? (bigEndian ? std::string("\0\r\0\n", 4) : std::string("\r\0\n\0", 4)) : "\r\n";
    std::string bytes(previous.substr(0, mark));
    bool open = false; // a line has begun and not ended
    for (size_t i = mark; i < previous.size(); i += unit) {
        const char16_t c = at(i);
        if (c == u'\r' || c == u'\n') {
            bytes += end;
            open = false;
            if (c == u'\r' && i + unit < previous.size() && at(i + unit) == u'\n')
                i += unit;
        } else {
            bytes.append(previous.substr(i, unit));
            open = true;
        }
    }
    return open ? bytes + end : bytes;
}

bool writeFaceFiles(const Path& folder, const std::vector<FileContent>& files, Path* failedPath, std::u16string* reason,
    const std::function<void(int step)>& afterStep)
{
    const auto step = [&](int n) {
        if (afterStep)
            afterStep(n);
    };
    struct Planned {
        Path target, temporary;
        std::optional<std::string> previous; // to put back should a later replacement fail
    };
    std::vector<Planned> planned;
    const auto failed = [&](const Path& path, std::u16string why) {
        for (const Planned& file : planned)
            removeFile(file.temporary);
        *failedPath = path;
        *reason = std::move(why);
        return false;
    };
    const auto syncFolders = [&] {
        sys::syncFolder(folder);
        for (const Planned& file : planned)
            if (file.target.parent_path() != folder)
                sys::syncFolder(file.target.parent_path());
    };
    // Every byte must be on the disk before any file is replaced: a short write, a full disk or
    // a failed sync all stop the save here. A file the reader would refuse is never written.
    std::string journal(kJournalHeader);
    for (const FileContent& file : files) {
        Planned next { resolveLinks(folder / file.name), {}, {} };
        std::u16string ignored;
        next.previous = readFaceFileBytes(next.target, &ignored);
        const std::string bytes = next.previous ? serializeKeeping(file.faces, *next.previous) : serialize(file.faces);
        if (bytes.size() > kMaxFileBytes)
            return failed(folder / file.name, tooLarge());
        next.temporary = temporaryFor(next.target);
        if (const std::error_code error = sys::writeNewFile(next.temporary, bytes, next.target)) {
            if (error.value() != EEXIST || error.category() != std::generic_category())
                removeFile(next.temporary); // what it made of it; a file that was there is not ours
            return failed(folder / file.name, u"ファイルに書き込めません（" + writeFailure(error) + u"）。");
        }
        planned.push_back(next);
        const Digest digest = digestOf(bytes);
        journal += std::to_string(digest.size) + " " + std::to_string(digest.hash) + " " + hex(pathBytes(next.target))
            + " " + hex(pathBytes(next.temporary)) + "\n";
    }
    step(0);
    // From the recorded intent on, a crash is completed by the next holder of the save lock.
    const Path intent = folder / kIntentFileName;
    if (const std::error_code error = writeJournal(folder, journal))
        return failed(intent, u"ファイルに書き込めません（" + writeFailure(error) + u"）。");
    step(1);
    for (size_t i = 0; i < planned.size(); ++i) {
        const std::error_code error = sys::replaceFile(planned[i].temporary, planned[i].target);
        if (!error) {
            step(2 + int(i));
            continue;
        }
        for (size_t j = 0; j < i; ++j) { // put back what was replaced
            const Planned& done = planned[j];
            const Path restore = temporaryFor(done.target);
            if (!done.previous)
                removeFile(done.target);
            else if (!sys::writeNewFile(restore, *done.previous, done.target))
                sys::replaceFile(restore, done.target);
        }
        syncFolders();
        removeFile(intent);
        return failed(planned[i].target, u"ファイルを置き換えられません（" + writeFailure(error) + u"）。");
    }
    // The replacements themselves become durable with their folders.
    syncFolders();
    removeFile(intent);
    step(2 + int(files.size()));
    return true;
}

SaveLock::Result SaveLock::lock(const Path& folder, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    unfinished_.reset();
    for (;;) {
        switch (lock_.tryLock(lockFilePath(folder), &error_)) {
        case sys::FileLock::Result::Locked:
            unfinished_ = finishInterruptedSave(folder);
            return Result::Locked;
        case sys::FileLock::Result::Failed:
            return Result::Failed;
        case sys::FileLock::Result::Busy:
            if (std::chrono::steady_clock::now() >= deadline)
                return Result::Busy;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
}

std::optional<SaveFailure> saveLists(
    const ListsToSave& lists, const std::function<bool()>& overwrite, std::chrono::milliseconds wait)
{
    std::error_code error;
    if (std::filesystem::create_directories(lists.folder, error); error)
        return SaveFailure { lists.folder, u"フォルダーを作れません。" };
    // One writer at a time, so that both files always come from the same save.
    SaveLock lock;
    const auto acquire = [&]() -> std::optional<SaveFailure> {
        switch (lock.lock(lists.folder, wait)) {
        case SaveLock::Result::Locked:
            return lock.unfinished(); // a recorded save comes first
        case SaveLock::Result::Busy:
            return SaveFailure { lockFilePath(lists.folder), u"ほかの Nikomaru が保存しているところです。" };
        case SaveLock::Result::Failed:
            break;
        }
        return SaveFailure { lockFilePath(lists.folder),
            u"保存のためのロックファイルを作れません（" + writeFailure(lock.error()) + u"）。" };
    };
    if (auto failed = acquire())
        return failed;
    if (fileDigest(faceFilePath(lists.folder, kPoolFileName)) != lists.poolRead
        || fileDigest(faceFilePath(lists.folder, kCurrentFileName)) != lists.currentRead) {
        // Someone saved since the lists were read; never undo that without asking.
        lock.unlock();
        if (!overwrite())
            return SaveFailure {};
        if (auto failed = acquire())
            return failed;
    }
    SaveFailure failure;
    if (!writeFaceFiles(lists.folder, { { kPoolFileName, lists.pool }, { kCurrentFileName, lists.current } },
            &failure.path, &failure.reason))
        return failure;
    return std::nullopt;
}

Path applicationFolder()
{
    return sys::executablePath().parent_path();
}

Path userDataFolder()
{
    return sys::userDataFolder();
}

bool ListFolders::programWritable() const
{
    if (!programWritable_)
        programWritable_ = sys::isWritableFolder(program);
    return *programWritable_;
}

Path ListFolders::folderOf(const char* fileName) const
{
    if (user.empty() || programWritable())
        return program;
    return isPresent(faceFilePath(user, fileName)) ? user : program;
}

Path ListFolders::readPath(const char* fileName) const
{
    const Path folder = folderOf(fileName), path = faceFilePath(folder, fileName);
    // A recorded save that could not be completed yet: the list as that save will leave it.
    if (const auto entries = readJournal(folder)) {
        const Path target = resolveLinks(path);
        for (const JournalEntry& entry : *entries)
            if (entry.target == target && isPresent(entry.temporary))
                return entry.temporary;
    }
    return path;
}

Path ListFolders::saveFolder() const
{
    return user.empty() || programWritable() ? program : user;
}

std::optional<SaveFailure> ListFolders::finishInterruptedSaves() const
{
    std::optional<SaveFailure> unfinished;
    for (const Path& folder : { program, user }) {
        SaveLock lock;
        if (!folder.empty() && hasInterruptedSave(folder)
            && lock.lock(folder, std::chrono::milliseconds(0)) == SaveLock::Result::Locked && lock.unfinished())
            unfinished = lock.unfinished();
    }
    return unfinished;
}

Path faceFilePath(const Path& folder, const char* fileName)
{
    return folder / fileName;
}

Path lockFilePath(const Path& folder)
{
    return folder / "kaolist.lock";
}

std::u16string displayPath(const Path& path)
{
    return sys::displayPath(path);
}

} // namespace faces
