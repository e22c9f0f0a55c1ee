// Every command, with every system call it makes failing in turn, with every error the disk
// can give: the command behaves as its trap says, the click never crashes, and the disk is left
// in a state that the command allows (disk_model.h). Then races: the disk changed by someone
// else at exactly the moment of each call in turn.
#include "disk_model.h"
#include "filesystem.h"
#include "syscall_faults.h"

#include "sandbox.h"

#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace {

using namespace model;

class FaultTest : public Sandbox {
protected:
    // Thousands of small trees are made and deleted: on a tmpfs of its own where the machine
    // allows, which is many times faster than a journalled disk.
    FaultTest()
    {
        fs::create_directory(tree());
        onTmpfs_ = geteuid() == 0 && mount("none", tree().c_str(), "tmpfs", 0, "size=32m") == 0;
    }
    ~FaultTest() override
    {
        if (onTmpfs_)
            umount2(tree().c_str(), MNT_DETACH);
    }

    fs::path tree() const { return at("t"); }
    fs::path trash() const { return at("t/trash"); }

    // A small tree of every kind of entry, fresh for every run.
    State fresh()
    {
        std::error_code ignored;
        for (const auto& entry : fs::directory_iterator(tree()))
            fs::remove_all(entry.path(), ignored);
        fs::create_directories(trash());
        const std::string outside = (tree() / "outside").native();
        State s;
        s.disk = {{"outside", folderEntry()},
                  {"outside/keep", fileEntry("outside")},
                  {"disk", folderEntry()},
                  {"disk/other", fileEntry("other")},
                  {"disk/cur", folderEntry()},
                  {"disk/cur/a", fileEntry("A")},
                  {"disk/cur/b", fileEntry("B")},
                  {"disk/cur/c", fileEntry("C")},
                  {"disk/cur/link", Entry{Entry::Link, outside + "/keep", false}},
                  {"disk/cur/sub", folderEntry()},
                  {"disk/cur/sub/inner", fileEntry("inner")},
                  {"disk/cur/sub/deeper", folderEntry()},
                  {"disk/cur/sub/deeper/d", fileEntry("D")},
                  {"disk/cur/sub/twin", folderEntry()},
                  {"disk/cur/sub/twin/e", fileEntry("E")}};
        materialize(s, tree());
        return scan(tree());
    }

    static std::vector<Click> scenarios()
    {
        return {
            {Command::Cr, "disk/cur", "", "new", false, {}},
            {Command::Cr, "disk/cur", "", "sub/new", false, {}},
            {Command::Ren, "disk/cur", "", "renamed", false, {}},
            {Command::Del, "disk/cur", "", "", false, {}},
            {Command::CrFile, "disk/cur", "", "new.txt", false, {}},
            {Command::RenFile, "disk/cur", "a", "z", false, {}},
            {Command::RenFile, "disk/cur", "link", "moved link", false, {}},
            {Command::DelFile, "disk/cur", "a", "", true, {}},
            {Command::DelFile, "disk/cur", "a", "", false, {}},
            {Command::DelAll, "disk/cur", "", "", true, {}},
            {Command::DelAll, "disk/cur", "", "", false, {true, false, true, true}},
            {Command::RenAll, "disk/cur", "", "n", false, {}},
        };
    }

private:
    bool onTmpfs_ = false;
};

TEST_F(FaultTest, EveryCallOfEveryCommandFailingWithEveryErrorLeavesAnAllowedState)
{
    const int errors[] = {EACCES, EPERM, ENOSPC, EROFS, ENOENT, EIO, EMFILE, EINVAL};
    SyscallFaults faults;
    long runs = 0;
    for (const Click& c : scenarios()) {
        for (bool noRenameFlags : {false, true}) {
            SCOPED_TRACE(c.describe() + (noRenameFlags ? ", renameat2 without flags" : ""));
            faults.refuseRenameFlags(noRenameFlags);
            // Without a fault the click does exactly its work, and it makes this many calls.
            State before = fresh();
            faults.restart();
            Result result = click(c, tree(), trash());
            const long calls = faults.calls();
            if (auto why = judge(before, predict(before, c), result, scan(tree()), true)) {
                ADD_FAILURE() << "without a fault:\n" << *why;
                continue;
            }
            ASSERT_GT(calls, 0);
            for (long n = 1; n <= calls; ++n) {
                for (int error : errors) {
                    before = fresh();
                    faults.restart();
                    faults.failCall(n, error);
                    result = click(c, tree(), trash());
                    ++runs;
                    if (auto why = judge(before, predict(before, c), result,
                                         scan(tree()), false)) {
                        ADD_FAILURE() << "call " << n << " failing with " << std::strerror(error)
                                      << ":\n" << *why;
                        return;
                    }
                }
            }
        }
    }
    EXPECT_GT(runs, 1000);
}

// ---- Races: someone else changes the disk just before the n-th call.

// A wide folder is deleted from one reading of it; entries that another program adds at any
// moment of the walk go too, and nothing beside the folder is touched.
TEST_F(FaultTest, AFolderDeleteTakesEntriesAddedAtAnyMoment)
{
    const fs::path victim = tree() / "victim";
    const auto fresh = [&] {
        for (int i = 0; i < 5; ++i) {
            fs::create_directories(victim / ("s" + std::to_string(i)));
            std::ofstream(victim / ("s" + std::to_string(i)) / "f") << "x";
        }
        std::ofstream(victim / "plain") << "p";
        std::ofstream(tree() / "keep") << "K";
    };
    commands::FileSystemObject fso;
    SyscallFaults faults;
    fresh();
    faults.restart();
    fso.DeleteFolder(victim);
    const long calls = faults.calls();
    for (long n = 1; n <= calls; ++n) {
        SCOPED_TRACE("added before call " + std::to_string(n));
        fresh();
        faults.restart();
        faults.beforeCall(n, [&] {
            std::ofstream(victim / "late") << "late";
            std::ofstream(victim / "s2" / "late") << "late";
        });
        try {
            fso.DeleteFolder(victim);
        } catch (const commands::FsError& failure) {
            ADD_FAILURE() << failure.what();
        }
        EXPECT_FALSE(fs::exists(victim));
        EXPECT_EQ(readFile(tree() / "keep"), "K");
    }
}

// Runs the click once per call that it makes, with the change made just before that call,
// and hands each run's end state to the check.
template <typename Fresh, typename Change, typename Check>
void atEveryCall(const Click& c, Fresh fresh, const fs::path& tree, const fs::path& trash,
                 Change change, Check check, bool noRenameFlags = false)
{
    SyscallFaults faults;
    faults.refuseRenameFlags(noRenameFlags);
    fresh();
    faults.restart();
    click(c, tree, trash);
    const long calls = faults.calls();
    for (long n = 1; n <= calls + 1; ++n) {
        SCOPED_TRACE("changed before call " + std::to_string(n));
        const State before = fresh();
        faults.restart();
        if (n <= calls)
            faults.beforeCall(n, change);
        else
            change();  // between the listing and the click
        const Result result = click(c, tree, trash);
        check(before, result);
        if (::testing::Test::HasFailure())
            return;
    }
}

TEST_F(FaultTest, AFileReplacedByALinkToAnOutsideFolderIsNeverFollowed)
{
    const fs::path outside = tree() / "outside";
    for (const Click& c : {Click{Command::DelAll, "disk/cur", "", "", true, {}},
                           Click{Command::DelAll, "disk/cur", "", "", false, {}},
                           Click{Command::Del, "disk/cur", "", "", false, {}},
                           Click{Command::DelFile, "disk/cur", "b", "", true, {}},
                           Click{Command::RenAll, "disk/cur", "", "n", false, {}}}) {
        for (const char* replaced : {"disk/cur/b", "disk/cur/sub", "disk/cur/sub/inner"}) {
            SCOPED_TRACE(c.describe() + ", replacing " + replaced);
            const fs::path victim = tree() / replaced;
            atEveryCall(
                c, [this] { return fresh(); }, tree(), trash(),
                [&] {
                    std::error_code ignored;
                    fs::remove_all(victim, ignored);
                    fs::create_directory_symlink(outside, victim, ignored);
                },
                [&](const State&, const Result&) {
                    EXPECT_EQ(readFile(outside / "keep"), "outside");
                    EXPECT_EQ(readFile(tree() / "disk/other"), "other");
                });
        }
    }
}

// The open folder swapped for a link to another folder during a batch command: the command's
// changes all land in one folder. Once the walk has begun it keeps to the folder it listed;
// before that it works in whatever the path leads to.
TEST_F(FaultTest, ABatchCommandChangesOneFolderEvenWhenItsPathIsSwapped)
{
    const fs::path other = tree() / "other folder";
    const fs::path movedAway = tree() / "moved away";
    const auto freshWithTwins = [&] {
        fresh();
        fs::create_directory(other);
        for (const char* name : {"a", "b", "c"})
            std::ofstream(other / name) << "twin " << name;
        return scan(tree());
    };
    const auto untouched = [](const fs::path& folder) {
        for (const char* name : {"a", "b", "c"})
            if (!fs::exists(fs::symlink_status(folder / name)))
                return false;
        return true;
    };
    for (const Click& c : {Click{Command::DelAll, "disk/cur", "", "", true, {}},
                           Click{Command::RenAll, "disk/cur", "", "n", false, {}}}) {
        SCOPED_TRACE(c.describe());
        atEveryCall(
            c, freshWithTwins, tree(), trash(),
            [&] {
                std::error_code ignored;
                fs::rename(tree() / "disk/cur", movedAway, ignored);
                fs::create_directory_symlink(other, tree() / "disk/cur", ignored);
            },
            [&](const State&, const Result&) {
                EXPECT_TRUE(untouched(other) || untouched(movedAway));
            });
    }
}

TEST_F(FaultTest, AFolderThatVanishesDuringTheClickLosesNothingElse)
{
    for (Command command : allCommands) {
        const Click c{command, "disk/cur", "a", "n", true, {}};
        SCOPED_TRACE(c.describe());
        atEveryCall(
            c, [this] { return fresh(); }, tree(), trash(),
            [&] {
                std::error_code ignored;
                fs::rename(tree() / "disk/cur", tree() / "moved away", ignored);
            },
            [&](const State& before, const Result&) {
                const State after = scan(tree());
                EXPECT_EQ(readFile(tree() / "outside/keep"), "outside");
                EXPECT_EQ(readFile(tree() / "disk/other"), "other");
                // What moved away is what the folder held, less what the click deleted.
                for (const auto& [rel, e] : after.disk)
                    if (State::within(rel, "moved away") && e.kind != Entry::Dir) {
                        const std::string was = "disk/cur" + rel.substr(10);
                        const bool typed = State::nameOf(rel).starts_with(c.name);
                        EXPECT_TRUE(before.find(was) || typed) << rel;
                    }
            });
    }
}

// Where renameat2 takes no flags, a file is renamed by a hard link and an unlink. Someone else
// removing the old name in between must not make the rename take the new one back: the file
// would be gone.
TEST_F(FaultTest, AFileRenamedByAHardLinkSurvivesItsOldNameVanishing)
{
    const Click c{Command::RenFile, "disk/cur", "a", "z", false, {}};
    bool linked = false;
    atEveryCall(
        c, [&] { linked = false; return fresh(); }, tree(), trash(),
        [&] {
            linked = fs::exists(fs::symlink_status(tree() / "disk/cur/z"));
            std::error_code ignored;
            fs::remove(tree() / "disk/cur/a", ignored);
        },
        [&](const State&, const Result&) {
            if (linked) {
                EXPECT_EQ(readFile(tree() / "disk/cur/z"), "A");
            }
        },
        true);
}

// A file system mounted inside the folder while it is being deleted is never entered.
TEST_F(FaultTest, AFileSystemMountedDuringAFolderDeleteIsNeverEntered)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    const fs::path mountPoint = tree() / "disk/cur/sub/deeper";
    bool mounted = false;
    const Click c{Command::Del, "disk/cur", "", "", false, {}};
    atEveryCall(
        c, [this] { return fresh(); }, tree(), trash(),
        [&] {
            if (fs::is_directory(fs::symlink_status(mountPoint)) &&
                mount("none", mountPoint.c_str(), "tmpfs", 0, "size=64k") == 0) {
                mounted = true;
                std::ofstream(mountPoint / "on the other volume") << "keep";
            }
        },
        [&](const State&, const Result&) {
            if (mounted) {
                EXPECT_EQ(readFile(mountPoint / "on the other volume"), "keep");
                umount(mountPoint.c_str());
                mounted = false;
            }
        });
}

// The mount check fails closed: when the kernel cannot say whether a folder is a mount point,
// the folder delete stops instead of entering it.
TEST_F(FaultTest, ABindMountIsNeverEnteredEvenWhenStatxFails)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting needs root";
    fresh();
    const fs::path bound = tree() / "disk/cur/sub/deeper";
    ASSERT_EQ(mount((tree() / "outside").c_str(), bound.c_str(), nullptr, MS_BIND, nullptr), 0);
    commands::FileSystemObject fso;
    for (int error : {EIO, ENOMEM, EACCES, ENOSYS}) {
        SyscallFaults faults;
        faults.failEvery(SyscallFaults::Statx, error);
        EXPECT_THROW(fso.DeleteFolder(tree() / "disk/cur"), commands::FsError) << error;
        EXPECT_EQ(readFile(tree() / "outside/keep"), "outside") << error;
    }
    umount(bound.c_str());
    EXPECT_EQ(readFile(tree() / "outside/keep"), "outside");
}

} // namespace
