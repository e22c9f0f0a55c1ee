// The folder delete's refusal of the root, mount points and the home folder, for every way of
// spelling them. Every change on disk is made impossible first, and the test counts the
// attempts: a guard that gave way could not harm the machine, and is still seen to give way.
// Then the delete of a folder that holds another volume: it never descends into it.
#include "filesystem.h"
#include "syscall_faults.h"

#include "sandbox.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using commands::FileSystemObject;
using commands::FsError;

class RootGuardAttackTest : public Sandbox {
protected:
    RootGuardAttackTest()
    {
        for (auto call : {SyscallFaults::Unlinkat, SyscallFaults::Renameat2,
                          SyscallFaults::Mkdirat, SyscallFaults::Linkat})
            faults_.failEvery(call, EPERM);
    }

    // Each spelling is refused before any change is tried.
    void expectRefused(const std::vector<fs::path>& spellings)
    {
        for (const fs::path& spelling : spellings) {
            EXPECT_THROW(fso_.DeleteFolder(spelling), FsError) << spelling;
            EXPECT_EQ(changeAttempts(), 0) << spelling << " got past the guard";
        }
    }

    long changeAttempts() const
    {
        return faults_.callsOf(SyscallFaults::Unlinkat) + faults_.callsOf(SyscallFaults::Renameat2) +
               faults_.callsOf(SyscallFaults::Mkdirat) + faults_.callsOf(SyscallFaults::Linkat);
    }

    SyscallFaults faults_;
    FileSystemObject fso_;
};

// Restores HOME at the end of a test.
class HomeAt {
public:
    explicit HomeAt(const fs::path& home)
    {
        if (const char* old = std::getenv("HOME"))
            saved_ = old;
        setenv("HOME", home.c_str(), 1);
    }
    ~HomeAt()
    {
        if (saved_)
            setenv("HOME", saved_->c_str(), 1);
        else
            unsetenv("HOME");
    }

private:
    std::optional<std::string> saved_;
};

TEST_F(RootGuardAttackTest, TheRootInEverySpelling)
{
    fs::create_directory_symlink("/", at("to root"));
    fs::create_symlink(at("to root"), at("to the link to root"));
    fs::create_directory_symlink("/usr/..", at("to usr dot dot"));
    std::string up = root().native();
    for (auto part = root().begin(); part != root().end(); ++part)
        up += "/..";
    expectRefused({"/", "//", "///", "/.", "/./", "/./.", "/..", "/../..", "/usr/..", "/usr/../",
                   "/usr/lib/../..", "/proc/..", up, at("to root"), at("to root/"), at("to root/."),
                   at("to the link to root"), at("to usr dot dot"), at("to root/usr/..")});

    // Relative spellings, against the working folder.
    const fs::path saved = root();
    fs::current_path("/");
    expectRefused({".", "./", "..", "./.", "usr/.."});
    fs::current_path(saved);
}

TEST_F(RootGuardAttackTest, MountPointsInEverySpelling)
{
    fs::create_directory_symlink("/proc", at("to proc"));
    expectRefused({"/proc", "/proc/", "/proc/.", "/proc/self/..", "/dev/.", "/sys/kernel/..",
                   "/proc/self/root", at("to proc"), at("to proc/.")});
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root; the system's own mount points were checked";

    write("outside/keep", "K");
    folder("mnt/inner");
    folder("bound");
    folder("root bound");
    ASSERT_EQ(mount("none", at("mnt").c_str(), "tmpfs", 0, "size=64k"), 0);
    write("mnt/precious", "P");
    folder("mnt/sub");
    ASSERT_EQ(mount(at("outside").c_str(), at("bound").c_str(), nullptr, MS_BIND, nullptr), 0);
    ASSERT_EQ(mount("/", at("root bound").c_str(), nullptr, MS_BIND, nullptr), 0);
    fs::create_directory_symlink(at("mnt"), at("to mnt"));
    fs::create_directory_symlink(at("bound"), at("to bound"));
    fs::current_path(at("mnt"));

    expectRefused({at("mnt"), at("mnt/"), at("mnt/."), at("mnt/sub/.."), at("mnt/./sub/.."),
                   at("to mnt"), at("to mnt/."), at("bound"), at("bound/."), at("to bound"),
                   at("root bound"), at("root bound/."), at("root bound/usr/.."), ".",
                   "/proc/self/cwd"});
    // With the kernel unable to say what is a mount point, a bind mount is still refused.
    faults_.failEvery(SyscallFaults::Statx, EIO);
    expectRefused({at("bound"), at("root bound")});

    fs::current_path(root());
    umount2(at("root bound").c_str(), MNT_DETACH);
    umount(at("bound").c_str());
    EXPECT_EQ(readFile(at("mnt/precious")), "P");
    umount(at("mnt").c_str());
    EXPECT_EQ(readFile(at("outside/keep")), "K");
}

TEST_F(RootGuardAttackTest, TheHomeFolderAndItsAncestorsInEverySpelling)
{
    write("home/user/precious", "P");
    fs::create_directory_symlink(at("home/user"), at("to home"));
    fs::create_symlink(at("to home"), at("to the link to home"));
    fs::create_directory_symlink(at("home"), at("to home's parent"));
    {
        const HomeAt home(at("to home"));  // HOME itself may be spelled through a link
        expectRefused({at("home/./user"), at("home/user/"), at("home//user"),
                       at("home/user/precious/.."), at("to the link to home"),
                       at("to home's parent"), at("to home's parent/user/.")});
    }
    if (const passwd* account = getpwuid(getuid()); account && fs::is_directory(account->pw_dir)) {
        // The account's own home, from the password database, whatever HOME says.
        const HomeAt elsewhere(at("home/user"));
        const fs::path own = fs::canonical(account->pw_dir);
        if (own != "/")
            expectRefused({own, own / ".", own.native() + "/"});
    }
    if (geteuid() == 0) {
        folder("home bound");
        ASSERT_EQ(mount(at("home").c_str(), at("home bound").c_str(), nullptr, MS_BIND, nullptr), 0);
        const HomeAt home(at("home/user"));
        expectRefused({at("home bound"), at("home bound/user"), at("home bound/user/.")});
        umount(at("home bound").c_str());
    }
    EXPECT_EQ(readFile(at("home/user/precious")), "P");
}

// With the disk free to change: the delete may take the folder's own files, but stops at a
// volume mounted inside it, and never deletes a mount point itself.
class MountInsideTest : public Sandbox {};

TEST_F(MountInsideTest, DeleteFolderNeverDescendsIntoAnotherMountedFileSystem)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    write("victim/own", "own");
    folder("victim/mounted");
    if (mount("none", at("victim/mounted").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs";
    write("victim/mounted/other volume", "keep");
    FileSystemObject fso;
    EXPECT_THROW(fso.DeleteFolder(at("victim")), FsError);
    EXPECT_EQ(readFile(at("victim/mounted/other volume")), "keep");
    EXPECT_THROW(fso.DeleteFolder(at("victim/mounted")), FsError);
    EXPECT_EQ(readFile(at("victim/mounted/other volume")), "keep");

    // A bind mount of a folder on the same file system counts as another volume too.
    write("outside/keep", "keep");
    folder("victim2/bound");
    ASSERT_EQ(mount(at("outside").c_str(), at("victim2/bound").c_str(), nullptr, MS_BIND, nullptr),
              0);
    EXPECT_THROW(fso.DeleteFolder(at("victim2")), FsError);
    EXPECT_THROW(fso.DeleteFolder(at("victim2/bound")), FsError);
    umount(at("victim2/bound").c_str());
    umount(at("victim/mounted").c_str());
    EXPECT_EQ(readFile(at("outside/keep")), "keep");
}

} // namespace
