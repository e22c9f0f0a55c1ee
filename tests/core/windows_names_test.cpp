// Windows: each command acts on exactly the entry listed. Names that end in a dot or a blank,
// which plain Win32 paths would take for their stripped twins; names that lead elsewhere
// without being shown as links (Unix links under Wine); names that Wine lists with \ or ? in
// them; and the names that Windows keeps for devices.
#include "command_frame.h"
#include "filesystem.h"
#include "recycle_bin.h"
#include "win32_shell.h"

#include "error_of.h"
#include "fakes.h"
#include "sandbox.h"

#include <windows.h>

#include <algorithm>
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
    std::vector<std::pair<fs::path, ShellRefusal>> refused;
    Win32Shell shell({}, [&](const fs::path& path, ShellRefusal why) { refused.emplace_back(path, why); });
    EXPECT_FALSE(DeleteToRecycleBin(shell, b));
    EXPECT_EQ(refused, (std::vector<std::pair<fs::path, ShellRefusal>>{{b, ShellRefusal::NameChanged}}));
    EXPECT_TRUE(present(b) && present(at(L"b")));
}

INSTANTIATE_TEST_SUITE_P(TrailingDotAndBlank, ExactNamesTest, ::testing::Values(L".", L" "),
                         [](const auto& row) {
                             return std::string(row.param[0] == L'.' ? "Dot" : "Blank");
                         });

// What the test fixture UnixLinks.Make made from the Linux side, as Wine's drive Z: (the
// root) shows it.
#define UNIX_MADE()                                                                               \
    const char* unixMade = std::getenv("FFNAME_UNIX_LINKS");                                     \
    if (!unixMade)                                                                               \
        GTEST_SKIP() << "no Unix links were made for this run";                                  \
    const fs::path made = fs::path(L"Z:\\") / fs::path(unixMade).relative_path()

// Unix links, which Wine shows as the files they lead to: a delete must stop rather than reach
// outside the folder.
TEST(UnixLinks, DeletesStopAtALinkThatIsNotShownAsOne)
{
    UNIX_MADE();
    FileSystemObject fso;
    EXPECT_EQ(errorOf([&] { fso.GetFile((made / "folder/link.txt").native()).Delete(); }),
              ERROR_CANT_RESOLVE_FILENAME);
    EXPECT_EQ(readFile(made / "outside/target.txt"), "target");
    EXPECT_NE(errorOf([&] { fso.DeleteFolder(made / "tree"); }), 0);
    EXPECT_EQ(readFile(made / "outside/o1.txt"), "o1");
    // A folder opened through a link: its files lie where the link leads, and are its own.
    fso.GetFile((made / "folder link/r.txt").native()).Delete();
    EXPECT_FALSE(fs::exists(made / "real/r.txt"));
}

// A Linux name that holds \ is listed as it is: one name, which no command joins into a path
// that names its folder's parent or a subfolder's file.
TEST(UnixNames, ANameHoldingABackslashIsRefusedAndWhatItWouldNameIsKept)
{
    UNIX_MADE();
    struct Row {
        const char* folder;
        const wchar_t* listed;
        const char* wouldName;
    };
    for (const Row& row : {Row{"dd/cur", L"..\\victim.txt", "dd/victim.txt"},
                           Row{"xy", L"x\\y", "xy/x/y"}}) {
        SCOPED_TRACE(row.folder);
        const fs::path folder = made / row.folder;
        // A path reaches the listed name only through what it would name: listings tell.
        const auto listed = [&] {
            const std::vector<fs::path> names = ListFileNames(folder);
            return std::find(names.begin(), names.end(), fs::path(row.listed)) != names.end();
        };
        ASSERT_TRUE(listed());
        using Click = std::pair<void (CommandFrame::*)(), bool>;  // and Just Delete
        for (auto [procedure, justDelete] : {Click{&CommandFrame::cbDelFile_Click, true},
                                             Click{&CommandFrame::cbDelFile_Click, false},
                                             Click{&CommandFrame::cbRenFile_Click, false}}) {
            FakeWindow window;
            window.folder = folder;
            window.selected = row.listed;
            window.name = "renamed";
            window.justDelete = justDelete;
            RecordingShell shell;
            CommandFrame frame(window, shell);
            EXPECT_THROW(frame.Run(procedure), NameRefused);
            EXPECT_TRUE(shell.requests.empty());
        }
        EXPECT_EQ(readFile(made / row.wouldName), "kept");
        EXPECT_TRUE(listed());
    }
    // A walk leaves the name, goes on past it, and tells it at its end.
    FakeWindow window;
    window.folder = made / "dd/cur";
    window.justDelete = true;
    RecordingShell shell;
    CommandFrame frame(window, shell);
    EXPECT_THROW(frame.Run(&CommandFrame::cbDelAll_Click), NameRefused);
    EXPECT_EQ(ListFileNames(window.folder), std::vector<fs::path>{L"..\\victim.txt"});
    EXPECT_EQ(readFile(made / "dd/victim.txt"), "kept");
}

// The shell reads ? and * as a pattern, and follows a link that Wine shows as a file: neither
// is handed to it, and every file stays.
TEST(UnixNames, TheShellIsNeverHandedAPatternOrALinkThatIsNotShownAsOne)
{
    UNIX_MADE();
    std::vector<std::pair<fs::path, ShellRefusal>> refused;
    Win32Shell shell({}, [&](const fs::path& path, ShellRefusal why) { refused.emplace_back(path, why); });
    const fs::path pattern = made / "pattern";
    for (const wchar_t* name : {L"x?y", L"x*y"})
        EXPECT_FALSE(DeleteToRecycleBin(shell, pattern / name));
    EXPECT_FALSE(DeleteToRecycleBin(shell, made / "folder/link.txt"));
    EXPECT_EQ(refused, (std::vector<std::pair<fs::path, ShellRefusal>>{
                           {pattern / L"x?y", ShellRefusal::Pattern},
                           {pattern / L"x*y", ShellRefusal::Pattern},
                           {made / "folder/link.txt", ShellRefusal::NotItself}}));
    EXPECT_EQ(ListFileNames(pattern).size(), 5u);
    EXPECT_EQ(readFile(made / "outside/target.txt"), "target");
}

// Names that Windows keeps for devices, whatever the extension: never made by Create, never
// given by Rename or Rename All.
class DeviceNamesTest : public Sandbox {};

TEST_F(DeviceNamesTest, CreateAndRenameRefuseThemBeforeTouchingAnything)
{
    write("a", "a");
    RecordingShell shell;
    FakeWindow window;
    window.folder = root();
    window.selected = "a";
    CommandFrame frame(window, shell);
    for (const char* name : {"nul", "lpt1.log", "aux.txt", "COM9", "con .txt", "Prn."}) {
        window.name = name;
        for (auto procedure : {&CommandFrame::cbCrFile_Click, &CommandFrame::cbCr_Click,
                               &CommandFrame::cbRenFile_Click})
            EXPECT_THROW(frame.Run(procedure), NameRefused) << name;
    }
    window.name = "com";  // com1 first
    EXPECT_THROW(frame.Run(&CommandFrame::cbRenAll_Click), NameRefused);
    EXPECT_EQ(ReadFolder(root()).files, std::vector<fs::path>{"a"});
    EXPECT_TRUE(ReadFolder(root()).subfolders.empty());
    EXPECT_FALSE(IsDeviceName("com10") || IsDeviceName("console") || IsDeviceName("nul1"));
}

} // namespace
