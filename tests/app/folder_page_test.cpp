// The Folder page's buttons through the real window, checked on disk.
#include "window_fixture.h"

namespace apptest {
namespace {

class FolderPageTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        fs::create_directories(root / "work" / "keep");
        Touch(root / "work" / "file.txt");
        StartWindow();
        OpenInTree("work");
        ASSERT_EQ(tree().Path(), root / "work");
    }
};

TEST_F(FolderPageTest, CreateMakesASubfolderAndTheTreeStaysOnTheFolder)
{
    TypeName("New folder");
    Click("cbCr");
    EXPECT_TRUE(fs::is_directory(root / "work" / "New folder"));
    EXPECT_EQ(tree().Path(), root / "work");
    EXPECT_GE(TreeRow("New folder"), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FolderPageTest, RenameKeepsThePathAndShowsNothingStale)
{
    TypeName("renamed");
    Click("cbRen");
    EXPECT_FALSE(fs::exists(root / "work"));
    EXPECT_TRUE(fs::is_regular_file(root / "renamed" / "file.txt"));
    // The tree keeps its path but lists what is on disk: the parent's subfolders.
    EXPECT_EQ(tree().Path(), root / "work");
    EXPECT_EQ(TreeRow("work"), -1);
    EXPECT_EQ(TreeRow("keep"), -1);
    OpenInTree("renamed");
    EXPECT_EQ(files().Path(), root / "renamed");
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"file.txt"});
}

TEST_F(FolderPageTest, DeleteRemovesTheFolderAndASecondDeleteWarnsOnce)
{
    TypeName("ignored");
    Click("cbDel");
    EXPECT_FALSE(fs::exists(root / "work"));
    EXPECT_TRUE(files().Names().empty());
    EXPECT_TRUE(fs::exists(root));

    // The folder is gone: the lookup outside the trap fails, the window says so and stays.
    ModalAnswerer answer;
    Click("cbDel");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts().front().contains("work"));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(fs::exists(root));
}

TEST_F(FolderPageTest, AFileCommandWithNoFileSelectedWarnsInTheWindowsLanguage)
{
    ClickTab(2);
    TypeName("x");
    Click("OptRus");
    ModalAnswerer answer;
    Click("cbRenFile");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_EQ(answer.texts().front(), QString::fromUtf8("Файл не выбран."));
    EXPECT_TRUE(fs::is_directory(root / "work"));
}

} // namespace
} // namespace apptest
