// The core's tests on POSIX: special files, mounts that make saves fail, the XDG folders.
#include "core_test.h"

#include <doctest.h>

#include <cstdlib>
#include <fstream>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace test {

int run(const Path& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv { const_cast<char*>(program.c_str()) };
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0
        || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

// Files outside the lists' folder that links in it point to, and whether they stayed untouched.
struct Outside {
    TempFolder folder;
    bool untouched() const { return folder.read("victim") == "victim" && !std::filesystem::exists(folder / "none"); }
};

std::vector<Write> systemWrites()
{
    const auto outside = std::make_shared<Outside>();
    outside->folder.write("victim", "victim");
    const auto link = [outside](const char* name, const char* target) {
        return [=](const Path& folder) {
            std::filesystem::create_symlink(outside->folder / target, folder / name);
            return nullptr;
        };
    };
    const auto untouched = [outside](const char* name) {
        return [=](const Path& folder) {
            CHECK(outside->untouched());
            std::filesystem::remove(folder / name); // the link itself, which the save left alone
        };
    };
    std::vector<Write> rows {
        { "a journal that is a FIFO is never waited on", { u"c" }, "c\r\n", {},
            [](const Path& folder) { return mkfifo((folder / "kaolist.save").c_str(), 0600), nullptr; } },
        { "a journal that is a link is not written through", { u"c" }, "c\r\n", {}, link("kaolist.save", "victim"),
            [outside](const Path&) { CHECK(outside->untouched()); } },
        { "a temporary of the old name that is a link is not written through", { u"c" }, "c\r\n", {},
            link("kaolist1.txt.tmp", "victim"), untouched("kaolist1.txt.tmp") },
        { "fails: a lock that is a link makes nothing at its target", { u"c" }, {}, u"ロック",
            link("kaolist.lock", "none"), untouched("kaolist.lock") },
        { "a list that is a link stays one, its target saved with its mode", { u"c" }, "c\r\n", {},
            [outside](const Path& folder) {
                outside->folder.write("list", "");
                std::filesystem::permissions(
                    outside->folder / "list", std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
                std::filesystem::create_symlink(outside->folder / "list", folder / faces::kCurrentFileName);
                return nullptr;
            },
            [outside](const Path& folder) {
                CHECK(std::filesystem::is_symlink(folder / faces::kCurrentFileName));
                CHECK(std::filesystem::status(outside->folder / "list").permissions()
                    == (std::filesystem::perms::owner_read | std::filesystem::perms::owner_write));
            } },
    };
    if (geteuid() != 0)
        return rows; // mounting needs root
    const auto unmount
        = [](const Path& path) { return std::shared_ptr<void>(nullptr, [path](void*) { umount(path.c_str()); }); };
    rows.push_back(
        { "fails: disk full", manyFaces(), {}, u"ディスクの空き領域が足りません", [unmount](const Path& folder) {
             REQUIRE(mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") == 0);
             return unmount(folder);
         } });
    rows.push_back({ "fails: the second rename", manyFaces(), {}, u"置き換えられません", [](const Path& folder) {
                        std::ofstream((folder / faces::kCurrentFileName).c_str()).flush();
                        return blockReplacing(folder / faces::kCurrentFileName);
                    } });
    return rows;
}

} // namespace test

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
