// The core's tests on POSIX: special files, mounts that make saves fail, the XDG folders.
#include "core_test.h"

#include <doctest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

namespace {

pid_t spawn(const Path& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv { const_cast<char*>(program.c_str()) };
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

} // namespace

int run(const Path& program, const std::vector<std::string>& arguments)
{
    int status = 0;
    const pid_t pid = spawn(program, arguments);
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::shared_ptr<void> start(const Path& program, const std::vector<std::string>& arguments)
{
    return std::shared_ptr<void>(new pid_t(spawn(program, arguments)), [](void* started) {
        const pid_t pid = *static_cast<pid_t*>(started);
        if (pid > 0 && kill(pid, SIGKILL) == 0)
            waitpid(pid, nullptr, 0);
        delete static_cast<pid_t*>(started);
    });
}

long peakMemoryKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

Path strangeName()
{
    return "x\xff\xfe"; // no valid UTF-8
}

std::vector<Read> systemReads()
{
    const std::u16string notRegular = u"通常のファイルではありません。";
    return { { "a FIFO", {}, {}, notRegular, 0, [](const Path& path) { mkfifo(path.c_str(), 0600); } },
        { "a link to /dev/zero", {}, {}, notRegular, 0,
            [](const Path& path) { std::filesystem::create_symlink("/dev/zero", path); } } };
}

namespace {
bool flushesFail = false;
} // namespace

std::shared_ptr<void> failFlushes()
{
    flushesFail = true;
    return std::shared_ptr<void>(new char, [](void* undo) {
        flushesFail = false;
        delete static_cast<char*>(undo);
    });
}

std::shared_ptr<void> blockReplacing(const Path& path)
{
    // A mount point cannot be renamed over, though it opens and reads as a file.
    const Path other = path.parent_path().string() + "-" + path.filename().string(); // outside its folder
    std::ofstream(other.c_str()).flush();
    if (geteuid() != 0 || mount(other.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) != 0)
        return nullptr;
    return std::shared_ptr<void>(new char, [path, other](void* undo) {
        umount(path.c_str());
        std::filesystem::remove(other);
        delete static_cast<char*>(undo);
    });
}

std::vector<Write> systemWrites()
{
    // Links in the lists' folder to files outside it, which a save must leave as they are.
    const auto outside = std::make_shared<TempFolder>();
    outside->write("victim", "victim");
    const auto ownerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    const auto link = [outside](const char* name, const char* target) {
        return [=](const Path& folder) {
            return std::filesystem::create_symlink(*outside / target, folder / name), nullptr;
        };
    };
    const auto untouched = [outside](const char* name) {
        return [=](const Path& folder) {
            CHECK((outside->read("victim") == "victim" && !std::filesystem::exists(*outside / "none")));
            std::filesystem::remove(folder / name); // the link itself, which the save left alone
        };
    };
    return {
        { "a journal that is a FIFO is never waited on", { u"c" }, "c\r\n", {},
            [](const Path& folder) { return mkfifo((folder / "kaolist.save").c_str(), 0600), nullptr; } },
        { "a journal that is a link is not written through", { u"c" }, "c\r\n", {}, link("kaolist.save", "victim"),
            untouched("kaolist.save") },
        { "a temporary of the old name that is a link is not written through", { u"c" }, "c\r\n", {},
            link("kaolist1.txt.tmp", "victim"), untouched("kaolist1.txt.tmp") },
        { "fails: a lock that is a link makes nothing at its target", { u"c" }, {}, u"ロック",
            link("kaolist.lock", "none"), untouched("kaolist.lock") },
        { "a list that is a link stays one, its target saved with its mode", { u"c" }, "c\r\n", {},
            [=](const Path& folder) {
                outside->write("list", "");
                std::filesystem::permissions(*outside / "list", ownerOnly);
                return link(faces::kCurrentFileName, "list")(folder);
            },
            [=](const Path& folder) {
                CHECK((std::filesystem::is_symlink(folder / faces::kCurrentFileName)
                    && std::filesystem::status(*outside / "list").permissions() == ownerOnly));
            } },
    };
}

} // namespace test

// The program's own fsync() takes the place of the C library's for the whole test program.
extern "C" int fsync(int fd)
{
    if (test::flushesFail)
        return errno = EIO, -1;
    return int(syscall(SYS_fsync, fd));
}

TEST_CASE("a lock file that cannot be removed blocks no later save")
{
    if (geteuid() != 0)
        return; // as root, only a read-only mount keeps a file from being removed
    const test::TempFolder folder;
    faces::SaveLock lock;
    REQUIRE(lock.lock(folder.path) == faces::SaveLock::Result::Locked);
    REQUIRE(mount(folder.path.c_str(), folder.path.c_str(), nullptr, MS_BIND, nullptr) == 0);
    mount(nullptr, folder.path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr);
    lock.unlock();
    umount(folder.path.c_str());
    CHECK(std::filesystem::exists(faces::lockFilePath(folder.path)));
    faces::SaveLock next;
    CHECK(next.lock(folder.path, std::chrono::milliseconds(0)) == faces::SaveLock::Result::Locked);
}

TEST_CASE("the user's data folder follows XDG_DATA_HOME where it is absolute")
{
    const std::string data = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("HOME", "/home/someone", 1);
    for (const auto& [value, expected] : { std::pair { "reldata", "/home/someone/.local/share/Nikomaru" },
             { "", "/home/someone/.local/share/Nikomaru" }, { "/data", "/data/Nikomaru" } }) {
        setenv("XDG_DATA_HOME", value, 1);
        CHECK(faces::userDataFolder() == expected);
    }
    data.empty() ? unsetenv("XDG_DATA_HOME") : setenv("XDG_DATA_HOME", data.c_str(), 1);
}
