#include "facefile.h"

#include "textcodec.h"

#include <algorithm>
#include <cerrno>
#include <memory>
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
    return faces.size() == 0 ? std::string() : encodeText(faces.lines());
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

// Opens a regular file for reading without blocking: a FIFO or a device is refused before it is
// opened. *size is its size then.
File openRegularFile(const Path& path, std::u16string* reason, std::uintmax_t* size)
{
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error); // through links
    if (status.type() == std::filesystem::file_type::not_found) {
        *reason = u"ファイルが見つかりません。";
    } else if (error) {
        *reason = u"ファイルを開けません（" + sys::describe(error) + u"）。";
    } else if (std::filesystem::is_directory(status)) {
        *reason = u"ファイルではなくフォルダーです。";
    } else if (!std::filesystem::is_regular_file(status)) {
        *reason = u"通常のファイルではありません。";
    } else {
        errno = 0;
        File file(sys::openForReading(path));
        if (!file) {
            *reason = u"ファイルを開けません（" + sys::describe({ errno, std::generic_category() }) + u"）。";
            return nullptr;
        }
        *size = std::filesystem::file_size(path, error);
        return file;
    }
    return nullptr;
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
std::optional<std::string> readFaceFileBytes(const Path& path, std::u16string* reason)
{
    std::uintmax_t size = 0;
    const File file = openRegularFile(path, reason, &size);
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
        }
    }
    return sys::describe(error);
}

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

// With the save lock held: renames the temporary files that a recorded intent names over their
// lists (each was complete on disk before the intent was recorded), and removes temporary files
// of saves cut short before that.
void finishInterruptedSave(const Path& folder)
{
    const Path intent = folder / kIntentFileName;
    std::u16string reason;
    if (const std::optional<std::string> names = readFaceFileBytes(intent, &reason)) {
        for (const char* name : kListNames) {
            if (names->find(name) != std::string::npos && isPresent(temporaryPath(folder, name)))
                sys::replaceFile(temporaryPath(folder, name), folder / name);
        }
        sys::syncFolder(folder);
        removeFile(intent);
    }
    for (const char* name : kListNames)
        removeFile(temporaryPath(folder, name));
}

bool hasInterruptedSave(const Path& folder)
{
    return isPresent(folder / kIntentFileName) || isPresent(lockFilePath(folder))
        || isPresent(temporaryPath(folder, kPoolFileName)) || isPresent(temporaryPath(folder, kCurrentFileName));
}

} // namespace

std::optional<FaceText> readFaceText(const Path& path, std::u16string* reason, Digest* digest)
{
    const std::optional<std::string> bytes = readFaceFileBytes(path, reason);
    if (!bytes)
        return std::nullopt;
    FaceText faces(decodeText(*bytes));
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
    for (size_t want = 1 << 20;; want = std::min<size_t>(want * 2, kMaxFileBytes)) {
        if (!readUpTo(file.get(), bytes, want, want - bytes.size()))
            return std::nullopt;
        if (bytes.size() < want || want == kMaxFileBytes) {
            FaceText faces(decodeText(bytes, Detection::AnyText));
            if (bytes.size() == want && !atEnd(file.get()) && faces.size() > 0)
                faces.truncate(faces.size() - 1); // cut off by the limit
            faces.truncate(std::min(faces.size(), maxFaces));
            return faces;
        }
        // Count only faces known to be whole: up to a line end, and not the last one when a
        // UTF-16 file was cut inside a line.
        std::u16string text = decodeText(std::string_view(bytes).substr(0, safeCut(bytes)), Detection::AnyText);
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

bool writeFaceFiles(const Path& folder, const std::vector<FileContent>& files, Path* failedPath, std::u16string* reason,
    const std::function<void(int step)>& afterStep)
{
    const auto step = [&](int n) {
        if (afterStep)
            afterStep(n);
    };
    const auto failed = [&](const Path& path, std::u16string why) {
        for (const FileContent& file : files)
            removeFile(temporaryPath(folder, file.name));
        *failedPath = path;
        *reason = std::move(why);
        return false;
    };
    // Every byte must be on the disk before any file is replaced: a short write, a full disk or
    // a failed sync all stop the save here. A file the reader would refuse is never written.
    std::string names;
    for (const FileContent& file : files) {
        const std::string bytes = serialize(file.faces);
        if (bytes.size() > kMaxFileBytes)
            return failed(folder / file.name, tooLarge());
        if (const std::error_code error = sys::writeDurably(temporaryPath(folder, file.name), bytes))
            return failed(folder / file.name, u"ファイルに書き込めません（" + writeFailure(error) + u"）。");
        names.append(file.name).append("\n");
    }
    step(0);
    // From the recorded intent on, a crash is completed by the next holder of the save lock.
    const Path intent = folder / kIntentFileName;
    std::error_code error = sys::writeDurably(intent, names);
    if (!error)
        error = sys::syncFolder(folder);
    if (error) {
        removeFile(intent);
        return failed(intent, u"ファイルに書き込めません（" + writeFailure(error) + u"）。");
    }
    step(1);
    // Keep the old bytes of each file, to put them back should a later rename fail.
    std::vector<std::optional<std::string>> previous;
    for (size_t i = 0; i < files.size(); ++i) {
        const Path target = folder / files[i].name;
        std::u16string ignored;
        previous.push_back(readFaceFileBytes(target, &ignored));
        error = sys::replaceFile(temporaryPath(folder, files[i].name), target);
        if (!error) {
            step(2 + int(i));
            continue;
        }
        for (size_t j = 0; j < i; ++j) {
            const Path done = folder / files[j].name;
            if (!previous[j]) {
                removeFile(done);
            } else if (!sys::writeDurably(temporaryPath(folder, files[j].name), *previous[j])) {
                sys::replaceFile(temporaryPath(folder, files[j].name), done);
            }
        }
        sys::syncFolder(folder);
        removeFile(intent);
        return failed(target, u"ファイルを置き換えられません（" + writeFailure(error) + u"）。");
    }
    // The renames themselves become durable with the folder.
    sys::syncFolder(folder);
    removeFile(intent);
    step(2 + int(files.size()));
    return true;
}

SaveLock::Result SaveLock::lock(const Path& folder, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        switch (lock_.tryLock(lockFilePath(folder))) {
        case sys::FileLock::Result::Locked:
            finishInterruptedSave(folder);
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
            return std::nullopt;
        case SaveLock::Result::Busy:
            return SaveFailure { lockFilePath(lists.folder), u"ほかの Nikomaru が保存しているところです。" };
        case SaveLock::Result::Failed:
            break;
        }
        return SaveFailure { lockFilePath(lists.folder), u"保存のためのロックファイルを作れません。" };
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

Path ListFolders::readPath(const char* fileName) const
{
    const Path users = faceFilePath(user, fileName);
    return !user.empty() && isPresent(users) ? users : faceFilePath(program, fileName);
}

Path ListFolders::saveFolder() const
{
    const bool userHasLists = !user.empty()
        && (isPresent(faceFilePath(user, kPoolFileName)) || isPresent(faceFilePath(user, kCurrentFileName)));
    return userHasLists || !sys::isWritableFolder(program) ? user : program;
}

void ListFolders::finishInterruptedSaves() const
{
    for (const Path& folder : { program, user }) {
        SaveLock lock;
        if (!folder.empty() && hasInterruptedSave(folder))
            lock.lock(folder, std::chrono::milliseconds(0));
    }
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
