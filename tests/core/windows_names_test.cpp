// Windows: each command acts on exactly the entry listed. Names that end in a dot or a blank,
// which plain Win32 paths would take for their stripped twins, and names that lead elsewhere
// without being shown as links (Unix links under Wine).
#include "filesystem.h"
#include "recycle_bin.h"
#include "shell_win32.h"

#include "error_of.h"
#include "sandbox.h"

#include <windows.h>

#include <cstdlib>

using namespace commands;

namespace {

class ExactNamesTest : public Sandbox, public ::testing::WithParamInterface<const wchar_t*> {
protected:
    // The entry's exact long-form path: one that the C runtime would strip reaches it too.
    static std::wstring exact(const fs::path& path) { return L"\\\\?\\" + path.native(); }

    // Made through exact paths: the program itself makes new names as Windows keeps them.
    static void makeFile(const fs::path& path)
    {
        const HANDLE file = CreateFileW(exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    // A folder holding one file beside its twin without the ending; the one with it.
    fs::path twinFolders(const std::wstring& name)
    {
        for (const std::wstring& each : {name, name + GetParam()}) {
            EXPECT_TRUE(CreateDirectoryW(exact(at(each)).c_str(), nullptr));
            makeFile(at(each) / L"inside");
        }
        return at(name + GetParam());
    }
    fs::path twinFiles(const std::wstring& name)
    {
        makeFile(at(name));
        makeFile(at(name + GetParam()));
        return at(name + GetParam());
    }
    // The sandbox's own clean-up takes plain paths, which cannot reach these names.
    void TearDown() override
    {
        try {
            fso.DeleteFolder(root());
        } catch (const FsError&) {
        }
    }
    bool present(const fs::path& path) const
    {
        return GetFileAttributesW(exact(path).c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    FileSystemObject fso;
};

TEST_P(ExactNamesTest, CommandsReachTheNameAsListedAndNeverItsStrippedTwin)
{
    const std::wstring ending = GetParam();
    const fs::path d = twinFolders(L"d");
    EXPECT_EQ(ReadFolder(root()).subfolders, (std::vector<fs::path>{L"d", L"d" + ending}));
    EXPECT_EQ(ReadFolder(d).files, std::vector<fs::path>{L"inside"});
    fso.DeleteFolder(d);
    EXPECT_FALSE(present(d));
    EXPECT_TRUE(present(at(L"d") / L"inside"));

    const fs::path a = twinFiles(L"a");
    fso.GetFile(a.native()).Delete();
    EXPECT_FALSE(present(a));
    EXPECT_TRUE(present(at(L"a")));

    const fs::path c = twinFiles(L"c");
    fso.GetFile(c.native()).Name(L"renamed");
    EXPECT_FALSE(present(c));
    EXPECT_TRUE(present(at(L"c")) && present(at(L"renamed")));

    const fs::path e = twinFolders(L"e");
    fso.GetFolder(e).Name(L"folder renamed");
    EXPECT_TRUE(present(at(L"e")) && present(at(L"folder renamed") / L"inside"));
}

// The shell takes plain paths only: the name is not handed to it, and the file stays.
TEST_P(ExactNamesTest, TheShellIsNotHandedANameItWouldChange)
{
    const fs::path b = twinFiles(L"b");
    Win32Shell shell;
    std::vector<fs::path> refused;
    shell.SetRefusal([&](const fs::path& path) { refused.push_back(path); });
    DeleteToRecycleBin(shell, b);
    EXPECT_EQ(refused, std::vector<fs::path>{b});
    EXPECT_TRUE(present(b) && present(at(L"b")));
}

INSTANTIATE_TEST_SUITE_P(TrailingDotAndBlank, ExactNamesTest, ::testing::Values(L".", L" "));

// Unix links made from the Linux side (the test fixture UnixLinks.Make; Wine's drive Z: is the
// root), which Wine shows as the files they lead to: a delete must stop rather than reach
// outside the folder.
TEST(UnixLinks, DeletesStopAtALinkThatIsNotShownAsOne)
{
    const char* made = std::getenv("FFNAME_UNIX_LINKS");
    if (!made)
        GTEST_SKIP() << "no Unix links were made for this run";
    const fs::path links = fs::path(L"Z:\\") / fs::path(made).relative_path();
    FileSystemObject fso;
    EXPECT_EQ(errorOf([&] { fso.GetFile((links / "folder/link.txt").native()).Delete(); }),
              ERROR_CANT_RESOLVE_FILENAME);
    EXPECT_EQ(readFile(links / "outside/target.txt"), "target");
    EXPECT_NE(errorOf([&] { fso.DeleteFolder(links / "tree"); }), 0);
    EXPECT_EQ(readFile(links / "outside/o1.txt"), "o1");
    // A folder opened through a link: its files lie where the link leads, and are its own.
    fso.GetFile((links / "folder link/r.txt").native()).Delete();
    EXPECT_FALSE(fs::exists(links / "real/r.txt"));
}

} // namespace
