// Start-up, navigation between folders and drives, and page switching, over a temporary tree.
#include "window_fixture.h"

#include <QtCore/QStorageInfo>

namespace apptest {
namespace {

class NavigationTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        fs::create_directories(root / "sub" / "inner");
        fs::create_directory(root / "other");
        fs::create_directory(root / ".hidden folder");
        Touch(root / "top.txt");
        Touch(root / ".hidden file");
        Touch(root / "sub" / "in sub.txt");
    }

};

TEST_F(NavigationTest, StartsOnTheWorkingDirectoryWithTheFolderPage)
{
    StartWindow();
    EXPECT_EQ(tree().Path(), root);
    EXPECT_EQ(files().Path(), root);
    EXPECT_EQ(files().Names(), Names{"top.txt"});
    EXPECT_TRUE(files().FileName().empty());
    EXPECT_EQ(PagesShown(), std::vector<bool>({true, false, false}));
    // Ancestors from "/" down, then the visible subfolders in natural order.
    QStringList expected{"/"};
    for (const fs::path& element : root.relative_path())
        expected << QString::fromStdString(element.string());
    EXPECT_EQ(TreeTexts(), (expected + QStringList{"other", "sub"}));
    EXPECT_EQ(drives().Drive(), fs::path(QStorageInfo(QDir::currentPath()).rootPath().toStdString()));
}

TEST_F(NavigationTest, OpeningASubfolderMovesTheFileListWithNoSelection)
{
    StartWindow();
    files().SelectFile("top.txt");
    ASSERT_EQ(window().DirFilesFileName(), "top.txt");

    // A single click only highlights.
    const int subRow = TreeRow("sub");
    ASSERT_GE(subRow, 0);
    QTest::mouseClick(tree().viewport(), Qt::LeftButton, {},
                      tree().visualRect(tree().model()->index(subRow, 0)).center());
    EXPECT_EQ(tree().Path(), root);

    OpenInTree("sub");
    EXPECT_EQ(tree().Path(), root / "sub");
    EXPECT_EQ(files().Path(), root / "sub");
    EXPECT_EQ(files().Names(), Names{"in sub.txt"});
    EXPECT_TRUE(window().DirFilesFileName().empty());

    // Enter opens the highlighted entry, here an ancestor.
    const QString parent = QString::fromStdString(root.filename().native());
    tree().setCurrentIndex(tree().model()->index(TreeRow(parent), 0));
    QTest::keyClick(&tree(), Qt::Key_Return);
    EXPECT_EQ(tree().Path(), root);
    EXPECT_EQ(files().Path(), root);
}

// Everything by keys alone: a folder opened, a file selected, a name typed, pages switched by
// the tab strip's arrows and by Ctrl+Tab, an option chosen, buttons pressed.
TEST_F(NavigationTest, TheKeyboardAloneReachesEveryPageAndCommand)
{
    StartWindow();
    QApplication::setActiveWindow(&window());
    control("DirDrive")->setFocus();
    PressKeys({Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Return});  // to "other", then "sub"
    ASSERT_EQ(tree().Path(), root / "sub");
    PressKeys({Qt::Key_Tab, Qt::Key_Space});  // selects the file under the cursor, here the first
    EXPECT_EQ(window().DirFilesFileName(), "in sub.txt");
    PressKeys({Qt::Key_Tab});
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("keyed.txt"));
    PressKeys({Qt::Key_Tab}, Qt::ControlModifier);  // the File page: Delete, Rename, Create
    EXPECT_EQ(PagesShown(), std::vector<bool>({false, true, false}));
    ASSERT_EQ(PressKeys({Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Tab}).back(), "cbRenFile");
    PressKeys({Qt::Key_Space});
    EXPECT_TRUE(fs::exists(root / "sub" / "keyed.txt"));

    ASSERT_EQ(PressKeys({Qt::Key_Tab, Qt::Key_Tab}).back(), "TabStrip1");
    PressKeys({Qt::Key_Right});
    EXPECT_EQ(PagesShown(), std::vector<bool>({false, false, true}));
    ASSERT_EQ(PressKeys({Qt::Key_Tab, Qt::Key_Right}).back(), "OptDel");  // Just Delete
    PressKeys({Qt::Key_Tab}, Qt::ControlModifier | Qt::ShiftModifier);
    PressKeys({Qt::Key_Tab}, Qt::ControlModifier);
    EXPECT_EQ(PagesShown(), std::vector<bool>({false, false, true}));
    ASSERT_EQ(PressKeys(std::vector<Qt::Key>(7, Qt::Key_Tab)),
              QStringList({"DirDrive", "DirFolder", "DirFiles", "txtName", "OptEng", "cbRenAll",
                           "cbDelAll"}));
    PressKeys({Qt::Key_Space});
    EXPECT_FALSE(fs::exists(root / "sub" / "keyed.txt"));
    EXPECT_TRUE(fs::is_directory(root / "sub" / "inner"));

    PressKeys({Qt::Key_Tab}, Qt::ControlModifier);  // past the last page to the first: Folder
    EXPECT_EQ(PagesShown(), std::vector<bool>({true, false, false}));
}

TEST_F(NavigationTest, AVanishedFolderKeepsTheLastGoodOneWithAWarning)
{
    StartWindow();
    fs::remove_all(root / "sub");
    DialogAnswerer answer;
    OpenInTree("sub");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts().front().contains("sub"));
    EXPECT_EQ(tree().Path(), root);
    EXPECT_EQ(files().Path(), root);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(window().isVisible());
    OpenInTree("other");  // navigation still works
    EXPECT_EQ(files().Path(), root / "other");
}

TEST_F(NavigationTest, TabsShowTheirPage)
{
    StartWindow();
    ClickTab(1);  // the tab already selected
    EXPECT_EQ(PagesShown(), std::vector<bool>({true, false, false}));
    ClickTab(2);
    EXPECT_EQ(PagesShown(), std::vector<bool>({false, true, false}));
    ClickTab(3);
    EXPECT_EQ(PagesShown(), std::vector<bool>({false, false, true}));
    ClickTab(1);
    EXPECT_EQ(PagesShown(), std::vector<bool>({true, false, false}));
}

// Picking a drive needs two drives: the root, and a memory-backed volume at /dev/shm, which is
// listed while it holds the working directory.
TEST_F(NavigationTest, PickingADriveOpensItsCurrentFolder)
{
    if (QStorageInfo("/dev/shm").rootPath() != "/dev/shm" || access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no /dev/shm volume to use as a second drive";
    const scratch::ScratchFolder shm("/dev/shm");
    const fs::path start = fs::canonical(shm.root());
    shm.write("deeper/file", "");
    ASSERT_TRUE(QDir::setCurrent(app::DisplayName(start)));
    StartWindow();
    ASSERT_EQ(drives().Drive(), "/dev/shm");
    OpenInTree("deeper");

    auto* list = &drives();
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);  // "/" is always first
    EXPECT_EQ(drives().Drive(), "/");
    EXPECT_EQ(tree().Path(), "/");
    EXPECT_EQ(files().Path(), "/");

    while (drives().Drive() != "/dev/shm" && list->currentIndex() + 1 < list->count())
        QTest::keyClick(list, Qt::Key_Down);
    ASSERT_EQ(drives().Drive(), "/dev/shm");
    EXPECT_EQ(tree().Path(), start / "deeper");
    EXPECT_EQ(files().Names(), Names{"file"});

    // Opening "/" in the tree moves the drive list along.
    OpenInTree("/");
    EXPECT_EQ(drives().Drive(), "/");
}

} // namespace
} // namespace apptest
