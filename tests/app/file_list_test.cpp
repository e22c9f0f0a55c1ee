// The file list: exact bytes, natural order, selection and lazy refresh.
#include "window_fixture.h"

namespace apptest {
namespace {

using FileListTest = WindowFixture;

// Windows names are UTF-16 and cannot hold such bytes.
#ifndef _WIN32
TEST_F(FileListTest, ANameThatIsNotUtf8RoundTripsExactly)
{
    const fs::path odd("caf\xE9 \xFF.txt");  // Latin-1 bytes
    Touch(root / odd, "x");
    Touch(root / "plain.txt");
    StartWindow();
    ASSERT_EQ(files().Names(), (std::vector<fs::path>{odd, "plain.txt"}));
    files().SelectFile(odd);
    EXPECT_EQ(window().DirFilesFileName().native(), odd.native());
    // What the user clicks is the row showing it.
    QAbstractItemModel* model = files().model();
    EXPECT_TRUE(model->index(0, 0).data().toString().startsWith("caf"));
    files().clearSelection();
    const QPoint row0 = files().visualRect(model->index(0, 0)).center();
    QTest::mouseClick(files().viewport(), Qt::LeftButton, {}, row0);
    EXPECT_EQ(window().DirFilesFileName().native(), odd.native());
}
#endif

// Hidden by a leading dot, links and non-ASCII literals are POSIX's; the Windows suite has its own.
#ifndef _WIN32
TEST_F(FileListTest, NaturalCaseInsensitiveOrderWithoutHiddenFilesOrFolders)
{
    for (const char* name : {"img10.png", "IMG2.png", "img1.png", "b", "A", ".profile", "Ünïcode"})
        Touch(root / name);
    fs::create_directory(root / "a folder");
    fs::create_directory_symlink(root / "a folder", root / "link to folder");
    fs::create_symlink(root / "A", root / "link to file");
    StartWindow();
    EXPECT_EQ(files().Names(), (std::vector<fs::path>{"A", "b", "img1.png", "IMG2.png", "img10.png",
                                                      "link to file", "Ünïcode"}));
}
#endif

TEST_F(FileListTest, RefreshKeepsTheSelectionWhileTheFileIsThere)
{
    Touch(root / "one");
    Touch(root / "two");
    StartWindow();
    files().SelectFile("two");
    Touch(root / "three");
    window().DirFilesRefresh();
    EXPECT_EQ(window().DirFilesFileName(), "two");
    EXPECT_EQ(files().Names(), (std::vector<fs::path>{"one", "three", "two"}));

    // Several refreshes read once, and what is read is the disk as it is when read.
    window().DirFilesRefresh();
    fs::rename(root / "two", root / "2");
    window().DirFilesRefresh();
    EXPECT_TRUE(window().DirFilesFileName().empty());
    EXPECT_EQ(files().Names(), (std::vector<fs::path>{"2", "one", "three"}));
}

TEST_F(FileListTest, SettingThePathClearsTheSelectionAndAVanishedFolderListsNothing)
{
    fs::create_directory(root / "gone");
    Touch(root / "gone" / "x");
    Touch(root / "here");
    StartWindow();
    files().SelectFile("here");
    files().SetPath(root / "gone");
    EXPECT_TRUE(files().FileName().empty());
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"x"});
    fs::remove_all(root / "gone");
    files().Refresh();
    EXPECT_TRUE(files().Names().empty());
    EXPECT_EQ(files().Path(), root / "gone");
}

} // namespace
} // namespace apptest
