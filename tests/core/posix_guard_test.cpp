// Refusals of the folder delete, checked with every change on disk made impossible first, so
// that a faulty guard could not harm the machine that runs the test.
#include "filesystem.h"
#include "posix_syscalls.h"

#include "sandbox.h"

#include <cerrno>
#include <sys/mount.h>
#include <unistd.h>

using namespace commands;

namespace {

int changeAttempts = 0;

int refuseUnlinkat(int, const char*, int)
{
    ++changeAttempts;
    errno = EPERM;
    return -1;
}

int refuseRenameat2(int, const char*, int, const char*, unsigned)
{
    ++changeAttempts;
    errno = EPERM;
    return -1;
}

class GuardTest : public Sandbox {
protected:
    GuardTest() : saved_(systemCalls())
    {
        systemCalls().unlinkat = refuseUnlinkat;
        systemCalls().renameat2 = refuseRenameat2;
        changeAttempts = 0;
    }
    ~GuardTest() override { systemCalls() = saved_; }

private:
    SystemCalls saved_;
};

TEST_F(GuardTest, RootAndMountPointsAreRefusedInEverySpelling)
{
    FileSystemObject fso;
    fs::create_directory_symlink("/", at("link to root"));
    fs::create_directory_symlink("/proc", at("link to proc"));
    for (const fs::path& spelling : {fs::path("/"), fs::path("/."), fs::path("/proc/.."),
                                    fs::path("//"), fs::path("/proc"), fs::path("/proc/"),
                                    fs::path("/proc/self/.."), at("link to root"),
                                    at("link to proc")}) {
        EXPECT_THROW(fso.DeleteFolder(spelling), FsError) << spelling;
    }
    EXPECT_EQ(changeAttempts, 0);
}

TEST(MountTest, DeleteFolderNeverDescendsIntoAnotherMountedFileSystem)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const fs::path base = fs::temp_directory_path() / ("ffname-mount-" + std::to_string(getpid()));
    fs::create_directories(base / "victim/mounted");
    std::ofstream(base / "victim/own") << "own";
    if (mount("none", (base / "victim/mounted").c_str(), "tmpfs", 0, "size=1m") != 0) {
        fs::remove_all(base);
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs";
    }
    std::ofstream(base / "victim/mounted/other volume") << "keep";
    FileSystemObject fso;
    EXPECT_THROW(fso.DeleteFolder(base / "victim"), FsError);
    EXPECT_TRUE(fs::exists(base / "victim/mounted/other volume"));
    // A mount point is a volume's root: never deleted itself either.
    EXPECT_THROW(fso.DeleteFolder(base / "victim/mounted"), FsError);
    EXPECT_TRUE(fs::exists(base / "victim/mounted/other volume"));

    // A bind mount of a folder on the same file system counts as another volume too.
    fs::create_directories(base / "outside");
    std::ofstream(base / "outside/keep") << "keep";
    fs::create_directories(base / "victim2/bound");
    ASSERT_EQ(mount((base / "outside").c_str(), (base / "victim2/bound").c_str(), nullptr, MS_BIND,
                    nullptr), 0);
    EXPECT_THROW(fso.DeleteFolder(base / "victim2"), FsError);
    EXPECT_THROW(fso.DeleteFolder(base / "victim2/bound"), FsError);
    umount((base / "victim2/bound").c_str());
    umount((base / "victim/mounted").c_str());
    EXPECT_TRUE(fs::exists(base / "outside/keep"));
    fs::remove_all(base);
}

} // namespace
