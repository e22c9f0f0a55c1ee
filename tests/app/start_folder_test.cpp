// Start-up in working folders that cannot be used as they are: the window always opens, on
// the nearest folder that can be read, and says so once.
#include "window_fixture.h"

#include "filesystem.h"

#include <sys/fsuid.h>
#include <unistd.h>

namespace apptest {
namespace {

class StartFolderTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        previousHome_ = std::getenv("HOME");
        fs::create_directory(root / "home");
        setenv("HOME", (root / "home").c_str(), 1);
    }
    void TearDown() override
    {
        if (previousHome_)
            setenv("HOME", previousHome_->c_str(), 1);
        else
            unsetenv("HOME");
        WindowFixture::TearDown();
    }

    // Starts the window with the dialogs answered; the texts of the warnings shown once it is.
    QStringList Start()
    {
        DialogAnswerer answer;
        StartWindow();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return answer.texts();
    }

private:
    std::optional<std::string> previousHome_;
};

TEST_F(StartFolderTest, ARemovedWorkingFolderOpensTheHomeFolder)
{
    fs::create_directory(root / "gone");
    ASSERT_EQ(chdir((root / "gone").c_str()), 0);
    fs::remove(root / "gone");
    const QStringList warnings = Start();
    EXPECT_EQ(tree().Path(), root / "home");
    EXPECT_EQ(files().Path(), root / "home");
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("home")));
}

TEST_F(StartFolderTest, AWorkingFolderLongerThanThePathLimitOpensTheHomeFolder)
{
    ASSERT_EQ(chdir(root.c_str()), 0);
    const std::string element(200, 'd');
    for (int depth = 0; depth < 25; ++depth) {
        ASSERT_EQ(mkdir(element.c_str(), 0755), 0);
        ASSERT_EQ(chdir(element.c_str()), 0);
    }
    const QStringList warnings = Start();
    EXPECT_EQ(tree().Path(), root / "home");
    EXPECT_EQ(warnings.size(), 1);
    ASSERT_EQ(chdir(root.c_str()), 0);
    commands::FileSystemObject().DeleteFolder(root / element);  // a tree deeper than the limit
}

TEST_F(StartFolderTest, AWorkingFolderWhoseNameIsNotUtf8OpensItselfAndItsCommandsActThere)
{
    const fs::path folder = root / "caf\xe9 \xff";
    fs::create_directory(folder);
    Touch(folder / "inside");
    ASSERT_EQ(chdir(folder.c_str()), 0);
    EXPECT_TRUE(Start().isEmpty());
    EXPECT_EQ(tree().Path(), folder);
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"inside"});

    ClickTab(2);
    TypeName(QStringLiteral("made"));
    Click("cbCrFile");
    EXPECT_TRUE(fs::exists(folder / "made"));
    EXPECT_FALSE(fs::exists(root / "made"));
}

// An ordinary user cannot list a folder of mode 0311. Root can, so as root the window is
// started with the file-system rights of "nobody" (a per-thread setting, on the one thread
// that reads the folder).
TEST_F(StartFolderTest, AnUnreadableWorkingFolderOpensItsNearestReadableAncestor)
{
    fs::permissions(root, fs::perms(0755));
    fs::create_directories(root / "open" / "locked");
    Touch(root / "open" / "file");
    fs::permissions(root / "open" / "locked", fs::perms(0311));
    ASSERT_EQ(chdir((root / "open" / "locked").c_str()), 0);
    const bool asRoot = geteuid() == 0;
    if (asRoot)
        setfsuid(65534);
    const QStringList warnings = Start();
    if (asRoot)
        setfsuid(0);
    EXPECT_EQ(tree().Path(), root / "open");
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"file"});
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.front().contains(QStringLiteral("locked")));

    // Picking the drive shown opens its root: a way out from wherever the tree is.
    drives().activated(drives().currentIndex());
    EXPECT_EQ(tree().Path(), drives().Drive());
    EXPECT_EQ(files().Path(), drives().Drive());
}

} // namespace
} // namespace apptest
