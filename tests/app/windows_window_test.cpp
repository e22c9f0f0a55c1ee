// The window on Windows: its drive and tree, the lists following the disk, and the Recycle Bin
// through the system shell's own question (under Wine, into a scratch Trash).
#include "window_fixture.h"

namespace apptest {
namespace {

using WindowsWindowTest = WindowFixture;
using Names = std::vector<fs::path>;

TEST_F(WindowsWindowTest, OpensOnTheWorkingFolderUnderItsDriveInNaturalOrder)
{
    for (const wchar_t* name : {L"img10.png", L"IMG2.png", L"img1.png", L"Отчёт.txt"})
        Touch(root / name);
    fs::create_directory(root / "sub");
    StartWindow();
    EXPECT_EQ(drives().Drive(), root.root_path());
    EXPECT_EQ(tree().Path(), root);
    EXPECT_EQ(files().Names(),
              (std::vector<fs::path>{"img1.png", "IMG2.png", "img10.png", L"Отчёт.txt"}));
    // The drive's root first, then the folders down to the open one, then its subfolders.
    EXPECT_EQ(TreeRow(app::DisplayName(root.root_path())), 0);
    EXPECT_GT(TreeRow("sub"), TreeRow(app::DisplayName(root.filename())));
}

TEST_F(WindowsWindowTest, TheListsFollowChangesThatAnotherProgramMakes)
{
    Touch(root / "first");
    StartWindow();
    Touch(root / "second");
    fs::create_directory(root / "made outside");
    EXPECT_TRUE(Eventually([&] { return files().Names() == Names{"first", "second"}; }));
    EXPECT_TRUE(Eventually([&] { return TreeRow("made outside") >= 0; }));
    fs::remove(root / "first");
    EXPECT_TRUE(Eventually([&] { return files().Names() == Names{"second"}; }));
}

TEST_F(WindowsWindowTest, DeleteAsksThroughTheShellAndYesMovesTheFileToTheTrash)
{
    SKIP_UNLESS_WINE_CAN_ASK();
    const fs::path name = L"Отчёт " + std::to_wstring(GetTickCount64()) + L".txt";
    Touch(root / name, "to the Trash");
    Touch(root / "kept", "kept");
    StartWindow();
    ClickTab(2);
    files().SelectFile("kept");
    {
        ShellDialogAnswerer user({IDNO});
        Click("cbDelFile");
        EXPECT_EQ(user.answered(), 1);
    }
    EXPECT_EQ(readFile(root / "kept"), "kept");
    files().SelectFile(name);
    {
        ShellDialogAnswerer user({IDYES});
        Click("cbDelFile");
        EXPECT_EQ(user.answered(), 1);
    }
    EXPECT_FALSE(fs::exists(root / name));
    EXPECT_EQ(readFile(TrashFiles() / name), "to the Trash");
    EXPECT_EQ(files().Names(), std::vector<fs::path>{"kept"});
}

TEST_F(WindowsWindowTest, DeleteAllAsksForEachFileAndKeepsTheDeclinedOne)
{
    SKIP_UNLESS_WINE_CAN_ASK();
    const std::wstring stamp = std::to_wstring(GetTickCount64());
    const std::vector<fs::path> names{L"a " + stamp, L"b " + stamp, L"c " + stamp};
    for (const fs::path& name : names)
        Touch(root / name, name.string());
    StartWindow();
    ClickTab(3);
    {
        ShellDialogAnswerer user({IDYES, IDNO, IDYES});
        Click("cbDelAll");
        EXPECT_EQ(user.answered(), 3);
        // Each question is owned by the window, which takes no click while it is open.
        EXPECT_EQ(user.answeredModally(), 3);
    }
    EXPECT_EQ(files().Names(), std::vector<fs::path>{names[1]});
    EXPECT_EQ(readFile(TrashFiles() / names[0]), names[0].string());
    EXPECT_EQ(readFile(TrashFiles() / names[2]), names[2].string());
    EXPECT_FALSE(fs::exists(TrashFiles() / names[1]));
}

// Windows lets no one rename a process's working folder: the program leaves the one it
// started in, and the window's own Rename renames it and follows it.
TEST_F(WindowsWindowTest, TheStartFolderCanBeRenamedByTheWindowsOwnRename)
{
    fs::create_directory(root / "start");
    ASSERT_TRUE(QDir::setCurrent(app::DisplayName(root / "start")));
    StartWindow();
    ASSERT_EQ(tree().Path(), root / "start");
    TypeName(QStringLiteral("renamed start"));
    Click("cbRen");
    EXPECT_TRUE(fs::is_directory(root / "renamed start"));
    EXPECT_EQ(tree().Path(), root / "renamed start");
}

// Names that Wine lists with \ in them, made from the Linux side (the fixture UnixLinks.Make):
// the tree shows such a folder but never opens it, and Delete leaves such a file; each time a
// warning names it, and what the name would reach as a path is kept.
TEST_F(WindowsWindowTest, ANameHoldingABackslashIsShownButNeverOpenedOrActedOn)
{
    const char* made = std::getenv("FFNAME_UNIX_LINKS");
    if (!made)
        GTEST_SKIP() << "no Unix names were made for this run";
    const fs::path unix = fs::path(L"Z:\\") / fs::path(made).relative_path();
    ASSERT_TRUE(QDir::setCurrent(app::DisplayName(unix / "dd" / "cur")));
    StartWindow();
    {
        DialogAnswerer answer;
        OpenInTree(QStringLiteral("p\\q"));
        ASSERT_EQ(answer.texts().size(), 1);
        EXPECT_TRUE(answer.texts()[0].contains(QStringLiteral("p\\q")));
    }
    EXPECT_EQ(tree().Path(), unix / "dd" / "cur");
    ClickTab(2);
    Click("OptDel");
    files().SelectFile(L"..\\victim.txt");
    DialogAnswerer answer;
    Click("cbDelFile");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts()[0].contains(QStringLiteral("..\\victim.txt")));
    EXPECT_EQ(readFile(unix / "dd" / "victim.txt"), "kept");
    EXPECT_EQ(files().Names().front(), fs::path(L"..\\victim.txt"));
}

} // namespace
} // namespace apptest
