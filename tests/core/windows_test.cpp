// Windows-only cases: drive roots, the read-only attribute, names Windows refuses, names outside
// the ANSI code page, long paths, reparse points and the shell request in its Win32 form.
#include "command_frame.h"
#include "filesystem.h"
#include "recycle_bin.h"
#include "win32/shell_request.h"
#include "target_path.h"

#include "error_of.h"
#include "fakes.h"
#include "sandbox.h"
#include "shell_dialog_answerer.h"

#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>

using namespace commands;

namespace {

std::size_t entriesIn(const fs::path& folder)
{
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

void setReadOnly(const fs::path& path)
{
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
}

// Makes `link` a junction to `target` with the shell's mklink; false where the file system has
// none (Wine 8).
bool makeJunction(const fs::path& link, const fs::path& target)
{
    const std::wstring command = L"mklink /J \"" + link.native() + L"\" \"" +
                                 fs::absolute(target).native() + L"\" >NUL 2>&1";
    _wsystem(command.c_str());  // its exit code does not tell: the link is looked at instead
    const DWORD attributes = GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class WindowsTest : public Sandbox {
protected:
    FileSystemObject fso;
};

TEST(WindowsRoots, OnlyADriveRootIsARootFolder)
{
    EXPECT_TRUE(Folder("C:\\").IsRootFolder());
    EXPECT_TRUE(Folder("z:\\").IsRootFolder());
    for (const char* other : {"C:", "C:/", "C:\\Data", "C:\\Data\\", "\\", "\\\\server\\share\\"})
        EXPECT_FALSE(Folder(other).IsRootFolder()) << other;

    FileSystemObject fso;
    EXPECT_TRUE(fso.GetFolder("C:\\").IsRootFolder());
    EXPECT_EQ(TargetPath("C:\\", "Data", fso.GetFolder("C:\\").IsRootFolder()), Path("C:\\Data"));
}

TEST_F(WindowsTest, LookupsTellFilesFromFolders)
{
    write("file");
    folder("folder");
    EXPECT_NO_THROW(fso.GetFile(at("file")));
    EXPECT_EQ(errorOf([&] { fso.GetFile(at("folder")); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(errorOf([&] { fso.GetFolder(at("file")); }), ERROR_DIRECTORY);
    EXPECT_EQ(errorOf([&] { fso.GetFolder(at("missing")); }), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ListFileNames(root()), std::vector<Path>{"file"});
    EXPECT_EQ(ListSubfolderNames(root()), std::vector<Path>{"folder"});
}

TEST_F(WindowsTest, ReadOnlyAttributeStopsDeleteAndJustDeleteAll)
{
    setReadOnly(write("locked", "L"));
    EXPECT_EQ(errorOf([&] { fso.GetFile(at("locked")).Delete(); }), ERROR_ACCESS_DENIED);
    EXPECT_EQ(readFile(at("locked")), "L");

    for (const char* name : {"f1", "f2", "f3", "f4"})
        write(fs::path("current") / name, name);
    setReadOnly(at("current/f3"));
    FakeWindow window;
    window.folder = at("current");
    window.justDelete = true;
    RecordingShell shell;
    CommandFrame frame(window, shell);
    frame.cbDelAll_Click();
    EXPECT_EQ(ListFileNames(at("current")), (std::vector<Path>{"f3", "f4"}));
    EXPECT_TRUE(shell.requests.empty());
}

TEST_F(WindowsTest, RenameRefusesNamesWindowsCannotHold)
{
    write("a", "A");
    folder("sub");
    for (const char* bad : {"a<b", "a>b", "a:b", "a\"b", "a|b", "a?b", "a*b", "a\\b", "a/b",
                            "tab\there", "CON", "nul.txt", "Com1", "LPT9.log"}) {
        EXPECT_EQ(errorOf([&] { fso.GetFile(at("a")).Name(NameFromText(bad)); }),
                  ERROR_INVALID_NAME)
            << bad;
        EXPECT_EQ(errorOf([&] { fso.GetFolder(at("sub")).Name(NameFromText(bad)); }),
                  ERROR_INVALID_NAME)
            << bad;
    }
    // Create passes the name on unchanged, and Windows refuses it.
    EXPECT_NE(errorOf([&] { fso.CreateTextFile(TargetPath(root(), "a?b", false)); }), 0);
    EXPECT_EQ(readFile(at("a")), "A");
    EXPECT_EQ(entriesIn(root()), 2u);
}

TEST_F(WindowsTest, NameOutsideTheAnsiCodePageIsCreatedRenamedAndDeletedExactly)
{
    const Path name = NameFromText("Отчёт №1.txt");
    EXPECT_EQ(name.native(), L"Отчёт №1.txt");
    // A Western code page turns the name into question marks, which would match this one.
    write("Abcde 1.txt", "decoy");

    fso.CreateTextFile(TargetPath(root(), name, false));
    EXPECT_EQ(ListFileNames(root()), (std::vector<Path>{"Abcde 1.txt", name}));
    const Path renamed = NameFromText("Итог.txt");
    fso.GetFile(TargetPath(root(), name, false)).Name(renamed);
    EXPECT_EQ(ListFileNames(root()), (std::vector<Path>{"Abcde 1.txt", renamed}));
    EXPECT_EQ(errorOf([&] { fso.GetFile(TargetPath(root(), name, false)); }), ERROR_FILE_NOT_FOUND);

    fso.GetFile(TargetPath(root(), renamed, false)).Delete();
    EXPECT_EQ(ListFileNames(root()), std::vector<Path>{"Abcde 1.txt"});
    EXPECT_EQ(readFile(at("Abcde 1.txt")), "decoy");
}

TEST_F(WindowsTest, RecycleBinRequestIsTheWideDeleteWithAllowUndoOnly)
{
    RecordingShell shell;
    const Path file = TargetPath(root(), NameFromText("Отчёт.txt"), false);
    DeleteToRecycleBin(shell, file);
    ASSERT_EQ(shell.requests.size(), 1u);

    const SHFILEOPSTRUCTW op = ToShFileOpStruct(shell.requests[0]);
    EXPECT_EQ(op.hwnd, nullptr);
    EXPECT_EQ(op.wFunc, static_cast<UINT>(FO_DELETE));
    ASSERT_NE(op.pFrom, nullptr);
    EXPECT_EQ(std::wstring(op.pFrom), file.native());
    EXPECT_EQ(op.pFrom[file.native().size() + 1], L'\0');  // one path, then the list's end
    EXPECT_EQ(op.pTo, nullptr);
    EXPECT_EQ(op.fFlags, static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO));
    EXPECT_FALSE(op.fAnyOperationsAborted);
    EXPECT_EQ(op.hNameMappings, nullptr);
    EXPECT_EQ(op.lpszProgressTitle, nullptr);
}

// The real SHFileOperationW, as the program calls it: the shell asks its own question; No
// keeps the file, Yes moves it into the Trash. Under Wine that is the freedesktop.org Trash of
// the scratch XDG_DATA_HOME that the test run sets.
TEST_F(WindowsTest, TheShellAsksAndOnlyYesMovesTheFileToTheTrash)
{
    SKIP_UNLESS_WINE_CAN_ASK();
    const std::string name = "Отчёт " + std::to_string(GetTickCount64()) + ".txt";
    const fs::path file = write(fs::u8path(name), "kept in the Trash");
    Win32Shell shell;
    for (const int answer : {IDNO, IDYES}) {
        ShellDialogAnswerer user({answer});
        DeleteToRecycleBin(shell, file);
        ASSERT_EQ(user.answered(), 1) << "the shell asked nothing";
        EXPECT_EQ(readFile(file), answer == IDNO ? "kept in the Trash" : "");
    }
    EXPECT_FALSE(fs::exists(file));
    const fs::path trash = WineTrash();
    EXPECT_EQ(readFile(trash / "files" / fs::u8path(name)), "kept in the Trash");
    EXPECT_TRUE(fs::exists(trash / "info" / fs::u8path(name + ".trashinfo")));
}

// The shell asks its own question and takes the path as it finds it once answered: where
// another program put a new folder at the path meanwhile, the shell moves the newcomer's file,
// and the command tells that, never that nothing was changed.
TEST_F(WindowsTest, ASwapDuringTheShellsQuestionIsToldWithWhatTheShellMayHaveMoved)
{
    SKIP_UNLESS_WINE_CAN_ASK();
    const std::string name = "h1 " + std::to_string(GetTickCount64()) + ".txt";
    write("current/" + name, "listed");
    FakeWindow window;
    window.folder = at("current");
    Win32Shell shell;
    CommandFrame frame(window, shell);
    ShellDialogAnswerer user({IDYES}, [&] {
        fs::rename(at("current"), at("moved away"));
        write("current/" + name, "newcomer");
    });
    try {
        frame.Run(&CommandFrame::cbDelAll_Click);
        ADD_FAILURE() << "the swap was not told";
    } catch (const FolderReplaced& replaced) {
        EXPECT_EQ(replaced.changed(), 0u);
        EXPECT_EQ(replaced.elsewhere(), 1u);
    }
    EXPECT_EQ(readFile(at("moved away") / name), "listed");
    EXPECT_EQ(readFile(WineTrash() / "files" / name), "newcomer");
}

TEST_F(WindowsTest, DeleteFolderRemovesATreeLongerThanMaxPath)
{
    // 30 levels of 30 characters: about 930 characters of path, beyond MAX_PATH.
    std::wstring path = L"\\\\?\\" + fs::absolute(at("victim")).native();
    ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
    for (int i = 0; i < 30; ++i) {
        path += L"\\" + std::wstring(30, L'd');
        ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
        const HANDLE file = CreateFileW((path + L"\\file").c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    fso.DeleteFolder(at("victim"));
    EXPECT_FALSE(exists(at("victim")));
}

TEST_F(WindowsTest, DeleteFolderRemovesAJunctionAsALink)
{
    write("outside/keep", "K");
    folder("victim");
    if (!makeJunction(at("victim/junction"), at("outside")))
        GTEST_SKIP() << "this file system makes no junctions";
    fso.DeleteFolder(at("victim"));
    EXPECT_FALSE(exists(at("victim")));
    EXPECT_EQ(readFile(at("outside/keep")), "K");

    ASSERT_TRUE(makeJunction(at("opened through junction"), at("outside")));
    fso.DeleteFolder(at("opened through junction"));
    EXPECT_FALSE(exists(at("opened through junction")));
    EXPECT_EQ(readFile(at("outside/keep")), "K");
}

// Runs only where the test script maps a scratch folder as a drive (FFNAME_SCRATCH_DRIVE), so
// that a faulty guard could harm nothing but that folder.
TEST(WindowsGuard, DriveRootIsRefusedInEverySpelling)
{
    const char* letter = std::getenv("FFNAME_SCRATCH_DRIVE");
    if (!letter || std::strlen(letter) != 1)
        GTEST_SKIP() << "no scratch drive";
    const std::string drive = std::string(letter) + ":";
    const Path marker = drive + "\\marker";
    std::ofstream(marker) << "M";
    ASSERT_TRUE(fs::exists(marker));
    FileSystemObject fso;
    for (const std::string& spelling : {drive + "\\", drive + "/", drive + "\\.",
                                        drive + "\\missing\\..", drive + "\\\\"}) {
        EXPECT_EQ(errorOf([&] { fso.DeleteFolder(spelling); }), ERROR_ACCESS_DENIED) << spelling;
    }
    EXPECT_TRUE(fs::exists(marker));
    fs::remove(marker);
}

} // namespace
