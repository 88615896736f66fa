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

std::vector<Write> systemWrites()
{
    if (geteuid() != 0)
        return {}; // mounting needs root
    const auto unmount
        = [](const Path& path) { return std::shared_ptr<void>(nullptr, [path](void*) { umount(path.c_str()); }); };
    return { { "fails: disk full", manyFaces(), {}, u"ディスクの空き領域が足りません",
                 [unmount](const Path& folder) {
                     REQUIRE(mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=16k") == 0);
                     return unmount(folder);
                 } },
        // A mount point cannot be renamed over, though it opens and reads as a file.
        { "fails: the second rename", manyFaces(), {}, u"置き換えられません", [unmount](const Path& folder) {
             const Path target = folder / faces::kCurrentFileName, other = folder.string() + "-other";
             std::ofstream(other.c_str()).flush();
             std::ofstream(target.c_str()).flush();
             REQUIRE(mount(other.c_str(), target.c_str(), nullptr, MS_BIND, nullptr) == 0);
             return std::shared_ptr<void>(nullptr, [target, other](void*) {
                 umount(target.c_str());
                 std::filesystem::remove(other);
             });
         } } };
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
