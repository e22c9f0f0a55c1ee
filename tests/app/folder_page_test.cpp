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

TEST_F(FolderPageTest, RenameFollowsTheFolderAndTheNextCommandActsInIt)
{
    TypeName("renamed");
    Click("cbRen");
    EXPECT_FALSE(fs::exists(root / "work"));
    EXPECT_EQ(tree().Path(), root / "renamed");
    EXPECT_EQ(files().Path(), root / "renamed");
    EXPECT_GE(TreeRow("keep"), 0);
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"file.txt"});
    DialogAnswerer none;
    TypeName("inner");
    Click("cbCr");
    EXPECT_TRUE(fs::is_directory(root / "renamed" / "inner"));
    EXPECT_TRUE(none.texts().isEmpty());
}

// The window then shows the parent; the second press of a double click deletes nothing more.
TEST_F(FolderPageTest, DeleteRemovesTheFolderAndADoubleClickDeletesNoMore)
{
    TypeName("ignored");
    DoubleClick("cbDel");
    EXPECT_FALSE(fs::exists(root / "work"));
    EXPECT_TRUE(fs::exists(root));
    EXPECT_EQ(tree().Path(), root);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FolderPageTest, AFileCommandWithNoFileSelectedWarnsInTheWindowsLanguage)
{
    ClickTab(2);
    TypeName("x");
    Click("OptRus");
    DialogAnswerer answer;
    Click("cbRenFile");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_EQ(answer.texts().front(), QString::fromUtf8("Файл не выбран."));
    EXPECT_TRUE(fs::is_directory(root / "work"));
}

} // namespace
} // namespace apptest
