// What the window shows is what its commands change: a folder swapped or unmounted under the
// window is never acted on, and changes that other programs make show in the lists by
// themselves.
#include "window_fixture.h"

#include <sys/mount.h>

namespace apptest {
namespace {

class FollowDiskTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        MakeShownFolder();
        ASSERT_TRUE(QDir::setCurrent(QString::fromStdString((root / "shown").native())));
        StartWindow();
        ASSERT_EQ(files().Names(), (Names{"listed 1", "listed 2"}));
    }

    void MakeShownFolder()
    {
        fs::create_directory(root / "shown");
        Touch(root / "shown" / "listed 1", "listed");
        Touch(root / "shown" / "listed 2", "listed");
    }

    // Another program moves the shown folder away and makes a new one in its place; the
    // window has not heard of it yet.
    void SwapShownFolder()
    {
        fs::rename(root / "shown", root / "moved away");
        fs::create_directory(root / "shown");
        Touch(root / "shown" / "never listed", "newcomer");
        fs::create_directory(root / "shown" / "new sub");
    }

    static std::size_t TrashedCount()
    {
        std::error_code error;
        return std::distance(fs::directory_iterator(TrashFiles(), error), {});
    }

};

// Every command that looks its folder up, after the swap: nothing changes in either folder,
// the window warns once and then shows its folder at its new path, never the newcomer.
TEST_F(FollowDiskTest, ACommandOnASwappedFolderChangesNothingAndShowsWhatIsThere)
{
    const std::pair<const char*, bool> cases[] = {  // button, Just Delete
        {"cbDelAll", true}, {"cbDelAll", false}, {"cbRenAll", true}, {"cbCrFile", true},
        {"cbDelFile", true}, {"cbRenFile", true}, {"cbCr", true}, {"cbRen", true}, {"cbDel", true}};
    for (const auto& [button, justDelete] : cases) {
        SCOPED_TRACE(button);
        Click(justDelete ? "OptDel" : "OptDelRec");
        TypeName(QStringLiteral("typed"));
        files().SelectFile("listed 1");
        SwapShownFolder();
        const std::size_t trashed = TrashedCount();
        DialogAnswerer answer;
        Click(button);
        EXPECT_EQ(answer.texts().size(), 1);
        EXPECT_TRUE(answer.texts().value(0).contains(QStringLiteral("shown")));
        const std::map<std::string, std::string> listed{{"listed 1", "listed"}, {"listed 2", "listed"}};
        EXPECT_EQ(scratch::Contents(root / "moved away"), listed);
        EXPECT_EQ(scratch::Contents(root / "shown"),
                  (std::map<std::string, std::string>{{"never listed", "newcomer"}, {"new sub", "/"}}));
        EXPECT_FALSE(fs::exists(root / "typed"));
        EXPECT_EQ(TrashedCount(), trashed);
        EXPECT_EQ(tree().Path(), root / "moved away");
        EXPECT_EQ(files().Names(), (Names{"listed 1", "listed 2"}));

        fs::remove_all(root / "moved away");
        fs::remove_all(root / "shown");
        MakeShownFolder();
        DialogAnswerer quiet;
        drives().activated(drives().currentIndex());
        tree().OpenFolder(root / "shown");
    }
}

// The files that a mount hid come back when it is lazily unmounted; the window showed the
// volume's files, so none of the hidden ones is ever deleted, and it shows the parent after.
TEST_F(FollowDiskTest, ALazilyUnmountedVolumeIsNeverMistakenForTheFolderUnderIt)
{
    fs::create_directory(root / "mnt");
    Touch(root / "mnt" / "hidden under the mount", "hidden");
    if (geteuid() != 0 || mount("ffname-test", (root / "mnt").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting needs root";
    Touch(root / "mnt" / "on the volume");
    tree().OpenFolder(root / "mnt");
    ASSERT_EQ(files().Names(), Names{"on the volume"});
    ClickTab(3);
    Click("OptDel");
    ASSERT_EQ(umount2((root / "mnt").c_str(), MNT_DETACH), 0);
    DialogAnswerer answer;
    Click("cbDelAll");
    EXPECT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(fs::exists(root / "mnt" / "hidden under the mount"));
    EXPECT_EQ(tree().Path(), root);
}

// Showing a folder, or having started in one, keeps no volume busy: both unmount while the
// window is open, and the window then shows the folder above the mount.
TEST_F(FollowDiskTest, NeitherTheShownFolderNorTheStartFolderKeepsItsVolumeBusy)
{
    fs::create_directory(root / "mnt");
    if (geteuid() != 0 || mount("ffname-test", (root / "mnt").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "mounting needs root";
    fs::create_directory(root / "mnt" / "start");
    ASSERT_TRUE(QDir::setCurrent(app::DisplayName(root / "mnt" / "start")));
    Close();
    StartWindow();
    ASSERT_EQ(tree().Path(), root / "mnt" / "start");
    tree().OpenFolder(root);
    EXPECT_EQ(umount((root / "mnt").c_str()), 0) << "the start folder kept its volume busy";

    ASSERT_EQ(mount("ffname-test", (root / "mnt").c_str(), "tmpfs", 0, "size=1m"), 0);
    Touch(root / "mnt" / "on the volume");
    tree().OpenFolder(root / "mnt");
    ASSERT_EQ(files().Names(), Names{"on the volume"});
    const bool unmounted = umount((root / "mnt").c_str()) == 0;
    EXPECT_TRUE(unmounted) << "the shown folder kept its volume busy";
    if (!unmounted)
        umount2((root / "mnt").c_str(), MNT_DETACH);
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root; }));
}

TEST_F(FollowDiskTest, ChangesThatAnotherProgramMakesShowInBothLists)
{
    Touch(root / "shown" / "made outside");
    EXPECT_TRUE(Eventually([&] { return files().Names().size() == 3; }));
    fs::rename(root / "shown" / "listed 1", root / "shown" / "renamed outside");
    fs::remove(root / "shown" / "listed 2");
    fs::create_directory(root / "shown" / "folder made outside");
    EXPECT_TRUE(Eventually([&] {
        return files().Names() == Names{"made outside", "renamed outside"} &&
               TreeTexts().back() == "folder made outside";
    }));

    // The folder itself swapped: the lists follow the folder to its new path.
    SwapShownFolder();
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root / "moved away"; }));
    EXPECT_EQ(files().Names(), (Names{"made outside", "renamed outside"}));
    EXPECT_EQ(TreeTexts().back(), "folder made outside");
    TypeName(QStringLiteral("made by the window"));
    ClickTab(2);
    Click("cbCrFile");
    EXPECT_TRUE(fs::exists(root / "moved away" / "made by the window"));

    // Renamed twice before the window hears of it: it follows to the last name.
    fs::rename(root / "moved away", root / "renamed once");
    fs::rename(root / "renamed once", root / "renamed twice");
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root / "renamed twice"; }));
    EXPECT_EQ(files().Names(), (Names{"made by the window", "made outside", "renamed outside"}));

    // A storm of renames beside it overflows the system's queue of changes before the folder
    // is deleted: the folder's own news is lost, and the overflow alone sends the window on.
    Touch(root / "beside");
    for (int i = 0; i < 9000; ++i) {
        fs::rename(root / "beside", root / "beside 2");
        fs::rename(root / "beside 2", root / "beside");
    }
    fs::remove_all(root / "renamed twice");
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root; }));

    // Deleted, or moved into the Trash: the window shows the nearest folder above it.
    fs::create_directory(root / "moved away");
    tree().OpenFolder(root / "moved away");
    fs::remove_all(root / "moved away");
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root; }));
    OpenInTree(QStringLiteral("shown"));
    fs::create_directories(TrashFiles());
    fs::rename(root / "shown", TrashFiles() / "shown");
    EXPECT_TRUE(Eventually([&] { return tree().Path() == root; }));
    EXPECT_EQ(files().Path(), root);
}

TEST_F(FollowDiskTest, AFailureThatNoProcedureCatchesIsShownOnceAndTheWindowGoesOn)
{
    class Throwing final : public QObject {
    public:
        bool event(QEvent* event) override
        {
            if (event->type() == QEvent::User)
                throw std::runtime_error("a fault of the program");
            return QObject::event(event);
        }
    } throwing;
    DialogAnswerer answer;
    QCoreApplication::postEvent(&throwing, new QEvent(QEvent::User));
    QCoreApplication::postEvent(&throwing, new QEvent(QEvent::User));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts().front().contains(QStringLiteral("a fault of the program")));
    EXPECT_TRUE(window().isVisible());
    ClickTab(2);
    TypeName(QStringLiteral("still works"));
    Click("cbCrFile");
    EXPECT_TRUE(fs::exists(root / "shown" / "still works"));
}

} // namespace
} // namespace apptest
