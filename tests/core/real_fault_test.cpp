// Real faults, where the machine allows them (most need root; each test says why it skips):
// immutable files, a full volume (bytes and inodes), a read-only volume, and a limit on open
// descriptors against a deep tree. The commands may fail, but only as their traps say, and never
// with anything lost (disk_model.h judges every click).
#include "disk_model.h"
#include "filesystem.h"

#include "sandbox.h"

#include <cstring>
#include <functional>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace model;

// Sets or clears the immutable attribute (chattr +i); false where it cannot be set.
bool setImmutable(const fs::path& path, bool on)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return done;
}

// A small tmpfs of the test's own, unmounted at the end.
class Volume {
public:
    Volume(const fs::path& at, const std::string& options) : at_(at)
    {
        fs::create_directories(at_);
        mounted_ = geteuid() == 0 && mount("none", at_.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~Volume()
    {
        if (mounted_)
            umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool remount(unsigned long flags, const std::string& options)
    {
        return mount("none", at_.c_str(), "tmpfs", MS_REMOUNT | flags, options.c_str()) == 0;
    }

private:
    fs::path at_;
    bool mounted_ = false;
};

class RealFaultTest : public Sandbox {
protected:
    // Random clicks over a random tree on a small tmpfs of the test's own, after `spoil` has
    // spoiled the volume; every click is judged against what it may do. As many clicks as
    // FFNAME_MODEL_STEPS says (150 by default).
    template <typename Spoil>
    void randomClicksOnVolume(const std::string& options, unsigned seed, Spoil spoil,
                              const std::function<void(const State&, const State&)>& check = {})
    {
        Volume volume(at("vol"), options);
        if (!volume.mounted())
            GTEST_SKIP() << "mounting a tmpfs needs root";
        fs::create_directory(at("vol/model"));
        ModelRun run(at("vol/model"), seed);
        spoil(volume);
        const long clicks = fromEnvironment("FFNAME_MODEL_STEPS", 150);
        for (long i = 0; i < clicks && !HasFailure(); ++i) {
            SCOPED_TRACE("click " + std::to_string(i + 1));
            const State before = run.state();
            if (!run.step(run.next(), false))
                return;
            if (check)
                check(before, run.state());
        }
    }
};

TEST_F(RealFaultTest, ImmutableFilesStayAndStopTheCommandsAsTheirTrapsSay)
{
    write("cur/a", "A");
    write("cur/b", "B");
    write("cur/c", "C");
    write("cur/sub/locked", "L");
    if (!setImmutable(at("cur/b"), true))
        GTEST_SKIP() << "this file system or user cannot make a file immutable";
    setImmutable(at("cur/sub/locked"), true);
    struct Row {
        Click click;
        bool throws;
    };
    const Row rows[] = {
        {{Command::DelFile, "cur", "b", "", true, {}, {}}, true},  // untrapped: shown, file kept
        {{Command::RenFile, "cur", "b", "z", false, {}, {}}, false},
        {{Command::RenAll, "cur", "", "n", false, {}, {}}, false},  // a -> n1, then stops at b
        {{Command::DelAll, "cur", "", "", true, {}, {}}, false},   // stops at b, the first file
        {{Command::Del, "cur", "", "", false, {}, {}}, false},     // stops at the first of them
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.click.describe());
        const State before = scan(root());
        const Result result = click(row.click, root(), at("trash"));
        const State after = scan(root());
        if (auto why = judge(before, predict(before, row.click), result, after, false))
            ADD_FAILURE() << *why;
        EXPECT_EQ(result.threw, row.throws) << result.error;
        EXPECT_EQ(readFile(at("cur/b")), "B");
        EXPECT_EQ(readFile(at("cur/sub/locked")), "L");
        EXPECT_FALSE(exists(at("cur/z")));
    }
    EXPECT_EQ(readFile(at("cur/c")), "C");  // after b in the order: never reached
    setImmutable(at("cur/b"), false);
    setImmutable(at("cur/sub/locked"), false);
}

TEST_F(RealFaultTest, AVolumeWithoutFreeInodesOrBytesFailsCleanly)
{
    randomClicksOnVolume(
        "size=4m,nr_inodes=400", 11,
        [&](Volume&) {
            fs::create_directory(at("vol/filler"));
            std::error_code full;
            for (int i = 0; !full && i < 1000; ++i)
                std::ofstream(at("vol/filler") / std::to_string(i));
            for (int i = 0; !full; ++i)
                fs::create_directory(at("vol/filler/d" + std::to_string(i)), full);
            EXPECT_FALSE(std::ofstream(at("vol/one more"))) << "the volume still had inodes";
        });
    randomClicksOnVolume(
        "size=256k", 12,
        [&](Volume&) {
            std::ofstream filler(at("vol/filler"), std::ios::binary);
            const std::string block(4096, 'x');
            for (int i = 0; i < 1000 && filler.write(block.data(), block.size()); ++i)
                filler.flush();
            std::ofstream more(at("vol/more"), std::ios::binary);
            more << std::string(8192, 'x') << std::flush;
            EXPECT_FALSE(more) << "the volume still had room";
        });
}

TEST_F(RealFaultTest, AReadOnlyVolumeIsNeverChanged)
{
    bool readOnly = false;
    randomClicksOnVolume(
        "size=1m", 13, [&](Volume& volume) { readOnly = volume.remount(MS_RDONLY, "size=1m"); },
        [&](const State& before, const State& after) {
            ASSERT_TRUE(readOnly) << "remounting read-only failed";
            EXPECT_EQ(after.disk, before.disk) << "a read-only volume changed";
        });
}

// Few descriptors against a tree deeper than PATH_MAX: the folder delete needs only a handful,
// and with fewer still it fails at one item with nothing else lost.
TEST_F(RealFaultTest, ALimitOnOpenFilesAgainstADeepTree)
{
    const std::string level(40, 'd');
    fs::path deep = folder("victim");
    fs::current_path(deep);
    for (int i = 0; i < 200; ++i) {
        fs::create_directory(level);
        fs::current_path(level);
        std::ofstream("file") << i;
    }
    fs::current_path(root());
    write("keep", "K");

    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &old), 0);
    const int lowestFree = dup(0);
    close(lowestFree);
    commands::FileSystemObject fso;
    // UndefinedBehaviorSanitizer checks an object's type the first time with the help of a
    // pipe, which it could not open under the limit: let it meet the error type and the walk's
    // progress beforehand.
    EXPECT_THROW(fso.GetFolder(at("missing")), commands::FsError);
    EXPECT_FALSE(commands::Unwatched().Stopped());
    int error = 0;
    for (rlim_t spare : {1, 2, 3, 8}) {
        rlimit tight = old;
        tight.rlim_cur = rlim_t(lowestFree) + spare;
        ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
        try {
            fso.DeleteFolder(at("victim"));
            error = 0;
        } catch (const commands::FsError& e) {
            error = e.code();
        }
        setrlimit(RLIMIT_NOFILE, &old);
        SCOPED_TRACE("spare descriptors: " + std::to_string(spare));
        EXPECT_TRUE(error == 0 || error == EMFILE) << std::strerror(error);
        EXPECT_EQ(readFile(at("keep")), "K");
        if (error == 0)
            break;
    }
    EXPECT_EQ(error, 0) << "eight spare descriptors were not enough";
    EXPECT_FALSE(exists(at("victim")));
    const int after = dup(0);
    close(after);
    EXPECT_EQ(after, lowestFree) << "a descriptor was left open";
}

} // namespace
