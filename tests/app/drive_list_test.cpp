// The drive list: the mount table read as exact bytes, natural order, following mounts and
// unmounts, and picking a drive.
#include "window_fixture.h"

#include "folder_paths.h"
#include "posix/mount_info.h"

#include <QtCore/QStorageInfo>
#include <QtTest/QSignalSpy>

#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>

namespace apptest {
namespace {

TEST(DriveListMountInfo, ReadsTheMountPointAndTheTypeAfterTheSeparator)
{
    const auto mounts = app::ParseMountInfo(
        "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "36 35 98:0 /mnt1 /mnt/parent rw,noatime master:1 shared:7 - ext3 /dev/root rw\n"
        "40 31 0:38 / /media/usb rw - fuse.sshfs host:/x rw");  // last line without newline
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint, "/");
    EXPECT_EQ(mounts[0].fileSystemType, "ext4");
    EXPECT_EQ(mounts[1].mountPoint, "/mnt/parent");  // not the root within the volume
    EXPECT_EQ(mounts[1].fileSystemType, "ext3");     // optional fields skipped
    EXPECT_EQ(mounts[2].mountPoint, "/media/usb");
    EXPECT_EQ(mounts[2].fileSystemType, "fuse.sshfs");
}

TEST(DriveListMountInfo, DecodesTheEscapedBytesAndKeepsEveryOtherByte)
{
    const auto mounts = app::ParseMountInfo(
        "45 27 254:0 /a\\040b /tmp/a\\040b\\011c\\012d\\134e rw - ext4 /dev/vda rw\n"
        "46 27 254:0 / /tmp/m\xff\\\\x\\04 rw - ext4 /dev/vda rw\n"
        "47 27 254:0 / /tmp/end\\134 rw - ext4 /dev/vda rw\n");
    ASSERT_EQ(mounts.size(), 3u);
    EXPECT_EQ(mounts[0].mountPoint.native(), "/tmp/a b\tc\nd\\e");
    // A raw byte stays; a backslash that starts no escape stays a backslash.
    EXPECT_EQ(mounts[1].mountPoint.native(), "/tmp/m\xff\\\\x\\04");
    EXPECT_EQ(mounts[2].mountPoint.native(), "/tmp/end\\");
}

TEST(DriveListMountInfo, SkipsLinesThatDescribeNoMount)
{
    const auto mounts = app::ParseMountInfo("\n"
                                            "garbage\n"
                                            "27 1 254:0 / /no/separator rw ext4 /dev/vda rw\n"
                                            "27 1 254:0 / /no/type rw -\n"
                                            "27 1 254:0 / relative rw - ext4 /dev/vda rw\n"
                                            "28 1 254:0 / /kept rw - ext4 /dev/vda rw\n");
    ASSERT_EQ(mounts.size(), 1u);
    EXPECT_EQ(mounts[0].mountPoint, "/kept");
}

// A drive list of its own, without the window.
class DriveListTest : public ::testing::Test {
protected:
    static std::unique_ptr<app::DriveList> MakeList(const fs::path& workingFolder)
    {
        return std::make_unique<app::DriveList>(workingFolder, nullptr);
    }

    // The listed drives under the folder, in the list's order.
    static std::vector<fs::path> Drives(app::DriveList& list, const fs::path& under)
    {
        const int selected = list.currentIndex();
        std::vector<fs::path> drives;
        for (int item = 0; item < list.count(); ++item) {
            list.setCurrentIndex(item);
            if (app::IsUnder(list.Drive(), under))
                drives.push_back(list.Drive());
        }
        list.setCurrentIndex(selected);
        return drives;
    }
};

TEST_F(DriveListTest, WithoutAWorkingFolderTheRootIsSelected)
{
    for (const fs::path& folder : {fs::path(), fs::path("relative/folder")}) {
        const auto list = MakeList(folder);
        EXPECT_EQ(list->Drive(), "/");
        EXPECT_EQ(list->CurrentFolder("/"), "/");
    }
}

// Two drives: "/" and the memory-backed volume at /dev/shm, listed while it holds the working
// folder.
TEST_F(DriveListTest, PickingTheShownDriveRepicksItAndPickingAnotherChanges)
{
    if (QStorageInfo("/dev/shm").rootPath() != "/dev/shm")
        GTEST_SKIP() << "no /dev/shm volume to use as a second drive";
    const auto list = MakeList("/dev/shm");
    ASSERT_EQ(list->Drive(), "/dev/shm");
    QSignalSpy changed(list.get(), &app::DriveList::Change);
    QSignalSpy repicked(list.get(), &app::DriveList::Repicked);

    QTest::keyClick(list.get(), Qt::Key_Home);  // "/" is always first
    EXPECT_EQ(list->Drive(), "/");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(repicked.count(), 0);

    // Enter in the open list picks the highlighted item, here the one already shown.
    list->showPopup();
    QTest::keyClick(list->view(), Qt::Key_Return);
    EXPECT_EQ(list->Drive(), "/");
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(repicked.count(), 1);
}

// Mount points of the test's own inside a scratch folder, each unmounted at the end whatever
// happened.
class DriveListMountTest : public DriveListTest {
protected:
    void SetUp() override
    {
        if (geteuid() != 0)
            GTEST_SKIP() << "mounting needs root";
        // A bind mount shows the type of the file system it comes from: the scratch folder must
        // not be on a memory-backed one, which the list leaves out.
        const QString base = QStorageInfo(QDir::tempPath()).fileSystemType() == "tmpfs"
                                 ? QDir::currentPath()
                                 : QDir::tempPath();
        scratch_.emplace(base.toStdString(), "ffname-drives-");
        root = fs::canonical(scratch_->root());
        fs::create_directories(root / "source" / "inner");
    }

    void TearDown() override
    {
        for (auto point = mounted_.rbegin(); point != mounted_.rend(); ++point)
            umount2(point->c_str(), MNT_DETACH);
        mounted_.clear();
    }

    // Shows the scratch source folder at the point; false when the system refuses.
    bool Bind(const fs::path& point)
    {
        return Mount(point, (root / "source").c_str(), nullptr, MS_BIND);
    }
    bool MountTmpfs(const fs::path& point) { return Mount(point, "none", "tmpfs", 0); }

    void Unmount(const fs::path& point)
    {
        ASSERT_EQ(umount2(point.c_str(), MNT_DETACH), 0);
        mounted_.erase(std::find(mounted_.begin(), mounted_.end(), point));
    }

    fs::path root;

private:
    bool Mount(const fs::path& point, const char* source, const char* type, unsigned long flags)
    {
        std::error_code error;
        fs::create_directories(point, error);
        if (mount(source, point.c_str(), type, flags, nullptr) != 0)
            return false;
        mounted_.push_back(point);
        return true;
    }

    std::optional<scratch::ScratchFolder> scratch_;
    std::vector<fs::path> mounted_;
};

TEST_F(DriveListMountTest, ListsEveryMountPointWhateverItsBytesInNaturalOrder)
{
    const std::vector<fs::path> names = {"m100", "m\xff", "m2", "n 1\n\\", "m10", "m1"};
    for (const fs::path& name : names)
        if (!Bind(root / name))
            GTEST_SKIP() << "this machine does not allow bind mounts";
    const auto list = MakeList(root);
    EXPECT_EQ(Drives(*list, root), (std::vector<fs::path>{root / "m1", root / "m2", root / "m10",
                                                          root / "m100", root / "m\xff",
                                                          root / "n 1\n\\"}));
    EXPECT_EQ(list->itemText(0), "/");
    // The newline in a mount path cannot break the item's line.
    for (int item = 0; item < list->count(); ++item)
        EXPECT_FALSE(list->itemText(item).contains(u'\n')) << item;
}

TEST_F(DriveListMountTest, TheMountOnTopOfAStackedMountPointDecides)
{
    if (!MountTmpfs(root / "volume on top") || !Bind(root / "volume on top") ||
        !Bind(root / "scratch on top") || !MountTmpfs(root / "scratch on top"))
        GTEST_SKIP() << "this machine does not allow these mounts";
    const auto list = MakeList({});
    EXPECT_TRUE(list->IsDrive(root / "volume on top"));
    EXPECT_FALSE(list->IsDrive(root / "scratch on top"));
}

// A volume left out of the list (memory-backed) is listed while it holds the working folder;
// the one that holds it is the innermost mount, by exact bytes.
TEST_F(DriveListMountTest, TheVolumeHoldingTheWorkingFolderIsListed)
{
    const fs::path scratch = root / "outer\xff" / "inner";
    if (!Bind(root / "outer\xff") || !MountTmpfs(scratch))
        GTEST_SKIP() << "this machine does not allow these mounts";
    fs::create_directory(scratch / "work");
    EXPECT_FALSE(MakeList(root)->IsDrive(scratch));

    const auto list = MakeList(scratch / "work");
    EXPECT_TRUE(list->IsDrive(scratch));
    EXPECT_EQ(list->Drive(), scratch);
    EXPECT_EQ(list->CurrentFolder(scratch), scratch / "work");
}

TEST_F(DriveListMountTest, FollowsMountsAndUnmountsKeepingTheSelectedDrive)
{
    if (!Bind(root / "outer"))
        GTEST_SKIP() << "this machine does not allow bind mounts";
    const auto list = MakeList(root / "outer");
    ASSERT_EQ(list->Drive(), root / "outer");
    QSignalSpy volumesChanged(list.get(), &app::DriveList::VolumesChanged);
    QSignalSpy changed(list.get(), &app::DriveList::Change);

    ASSERT_TRUE(Bind(root / "outer" / "inner"));
    ASSERT_TRUE(Eventually([&] { return list->IsDrive(root / "outer" / "inner"); }, 10000));
    EXPECT_GE(volumesChanged.count(), 1);
    EXPECT_EQ(list->Drive(), root / "outer");

    // The selected drive goes: the drive that now holds its path is selected.
    list->ShowDriveOf(root / "outer" / "inner");
    ASSERT_EQ(list->Drive(), root / "outer" / "inner");
    volumesChanged.clear();
    Unmount(root / "outer" / "inner");
    ASSERT_TRUE(Eventually([&] { return !list->IsDrive(root / "outer" / "inner"); }, 10000));
    EXPECT_GE(volumesChanged.count(), 1);
    EXPECT_EQ(list->Drive(), root / "outer");
    EXPECT_EQ(changed.count(), 0);
}

} // namespace
} // namespace apptest
