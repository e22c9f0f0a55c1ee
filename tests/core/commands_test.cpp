#include "command_button.h"
#include "command_frame.h"
#include "filesystem.h"

#include "fakes.h"
#include "sandbox.h"

#include <functional>
#include <utility>

using namespace commands;

namespace {

using Refreshes = std::vector<std::string>;

class CommandsTest : public Sandbox {
protected:
    CommandsTest() : shell(folder("trash")), frame(window, shell)
    {
        window.folder = folder("current");
    }

    std::vector<std::string> filesIn(const fs::path& dir) const
    {
        std::vector<std::string> names;
        for (const Path& n : ListFileNames(dir))
            names.push_back(n.string());
        return names;
    }

    // Another program moves the window's folder away and makes a new one at its path, holding
    // files and a subfolder of the same names.
    void swapTheFolder(const std::vector<std::string>& files)
    {
        fs::rename(at("current"), at("moved away"));
        for (const std::string& name : files)
            write("current/" + name, "newcomer " + name);
        folder("current/sub");
    }

    FakeWindow window;
    RecordingShell shell;
    CommandFrame frame;
};

// Names that a Create or Rename cannot use change nothing on disk; the refreshes are those
// after the command's trap, or none where the command leaves before them.
TEST_F(CommandsTest, UnusableNamesChangeNothingAndRefreshAsTheTrapSays)
{
    write("current/taken/inside", "kept");
    write("current/a.txt", "A");
    write("current/b.txt", "B");
    write("sibling/s", "S");
    window.selected = "a.txt";
    const auto before = scratch::Contents(root());
    struct Row {
        void (CommandFrame::*click)();
        std::vector<std::string> names;
        Refreshes refreshes;
    };
    for (const Row& row : {Row{&CommandFrame::cbCr_Click, {"", "taken", "missing/child"},
                               {"tree", "files"}},
                           Row{&CommandFrame::cbRen_Click, {"", "sibling", "x/y", ".."}, {"tree"}},
                           Row{&CommandFrame::cbCrFile_Click, {"", "a.txt"}, {}},
                           Row{&CommandFrame::cbRenFile_Click, {"", "b.txt", "sub/x"}, {}}}) {
        for (const std::string& name : row.names) {
            SCOPED_TRACE(name);
            window.refreshes.clear();
            window.name = name;
            (frame.*row.click)();
            EXPECT_EQ(window.refreshes, row.refreshes);
            EXPECT_EQ(scratch::Contents(root()), before);
        }
    }
}

// ---- Folder page

TEST_F(CommandsTest, CreateFolderMakesASubfolderOfTheTypedNameAndRefreshesTreeThenFiles)
{
    window.name = "New folder";
    frame.cbCr_Click();
    EXPECT_TRUE(fs::is_directory(at("current/New folder")));
    EXPECT_EQ(window.refreshes, (Refreshes{"tree", "files"}));

    // An inner separator: the last element, in an existing parent.
    window.name = "New folder/b";
    frame.cbCr_Click();
    EXPECT_TRUE(fs::is_directory(at("current/New folder/b")));

    window.name = " ";  // a blank is a name
    frame.cbCr_Click();
#ifdef _WIN32
    // Windows drops trailing blanks: the name is the current folder's own, so creating it fails.
    EXPECT_EQ(std::distance(fs::directory_iterator(at("current")), fs::directory_iterator()), 1);
#else
    EXPECT_TRUE(fs::is_directory(at("current/ ")));
#endif
}

TEST_F(CommandsTest, RenameFolderRenamesTheCurrentFolderAndRefreshesTheTreeOnly)
{
    write("current/f", "F");
    window.name = "renamed";
    frame.cbRen_Click();
    EXPECT_EQ(readFile(at("renamed/f")), "F");
    EXPECT_FALSE(exists(at("current")));
    EXPECT_EQ(window.refreshes, Refreshes{"tree"});
}

TEST_F(CommandsTest, DeleteFolderIgnoresTheNameBoxAndDeletesTheCurrentFolder)
{
    write("current/a");
    write("current/sub/b");
    folder("current/name in box");
    window.name = "name in box";
    frame.cbDel_Click();
    EXPECT_FALSE(exists(at("current")));
    EXPECT_EQ(window.refreshes, (Refreshes{"tree", "files"}));
}

TEST_F(CommandsTest, DeleteFolderKeepsWhatALinkLeadsToAndStopsAtAReadOnlyFile)
{
    SKIP_WITHOUT_SYMLINKS();
    write("outside/keep", "K");
    fs::create_directory_symlink(at("outside"), at("current/link"));
    write("current/sub/locked", "L");
    makeReadOnly(at("current/sub/locked"));
    frame.cbDel_Click();
    EXPECT_EQ(readFile(at("outside/keep")), "K");
    EXPECT_EQ(readFile(at("current/sub/locked")), "L");
    EXPECT_EQ(window.refreshes, (Refreshes{"tree", "files"}));
}

TEST_F(CommandsTest, CommandsOnAVanishedFolderFailOutsideTheTrapWithNoChange)
{
    window.folder = at("vanished");
    window.name = "x";
    window.selected = "f";
    for (const CommandButton& button : commandButtons)
        EXPECT_THROW((frame.*button.procedure)(), FsError);
    EXPECT_TRUE(window.refreshes.empty());
    EXPECT_FALSE(exists(at("vanished")));
}

TEST_F(CommandsTest, EveryCommandOnAFolderSwappedAtItsPathChangesNeitherFolderAndSaysSo)
{
    write("current/f", "listed f");
    write("current/g", "listed g");
    folder("current/sub");
    window.identity = ReadFolder(window.folder).identity;  // as the window read it
    swapTheFolder({"f", "g"});
    const auto listed = scratch::Contents(at("moved away"));
    const auto newcomer = scratch::Contents(at("current"));
    window.selected = "f";
    window.name = "x";  // so that no command leaves early for an empty name
    for (const bool justDelete : {true, false}) {
        window.justDelete = justDelete;
        for (const auto& [name, click] : commandButtons) {
            SCOPED_TRACE(std::string(name) + (justDelete ? ", Just Delete" : ", to the Trash"));
            EXPECT_THROW(frame.Run(click), FolderReplaced);
            EXPECT_EQ(scratch::Contents(at("moved away")), listed);
            EXPECT_EQ(scratch::Contents(at("current")), newcomer);
        }
    }
    EXPECT_TRUE(fs::is_empty(at("trash")));
    EXPECT_TRUE(shell.requests.empty());
    EXPECT_TRUE(window.refreshes.empty());
}

// ---- File page

TEST_F(CommandsTest, CreateFileMakesAnEmptyFileAndRefreshesTheFileListOnly)
{
    window.name = "report.txt";
    frame.cbCrFile_Click();
    EXPECT_EQ(fs::file_size(at("current/report.txt")), 0u);
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
}

TEST_F(CommandsTest, RenameFileGivesTheSelectedFileTheWholeTypedName)
{
    write("current/photo.jpg", "P");
    window.selected = "photo.jpg";
    window.name = "holiday";
    frame.cbRenFile_Click();
    EXPECT_EQ(readFile(at("current/holiday")), "P");
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
}

TEST_F(CommandsTest, RenameOrDeleteWithNoFileSelectedNeverTouchesTheFolder)
{
    write("current/f", "F");
    window.name = "renamed";
    window.justDelete = true;
    EXPECT_THROW(frame.cbRenFile_Click(), NoFileSelected);
    EXPECT_THROW(frame.cbDelFile_Click(), NoFileSelected);
    window.justDelete = false;
    EXPECT_THROW(frame.cbDelFile_Click(), NoFileSelected);
    EXPECT_EQ(readFile(at("current/f")), "F");
    EXPECT_TRUE(shell.requests.empty());
    EXPECT_TRUE(window.refreshes.empty());
}

TEST_F(CommandsTest, JustDeleteDeletesOutrightWithoutTheShellButNeverAReadOnlyFile)
{
    write("current/f");
    window.selected = "f";
    window.justDelete = true;
    frame.cbDelFile_Click();
    EXPECT_FALSE(exists(at("current/f")));
    EXPECT_TRUE(fs::is_empty(at("trash")));
    EXPECT_EQ(window.refreshes, Refreshes{"files"});

    makeReadOnly(write("current/locked", "L"));
    window.selected = "locked";
    EXPECT_THROW(frame.cbDelFile_Click(), FsError);  // outside the trap: no refresh
    EXPECT_EQ(readFile(at("current/locked")), "L");
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
    EXPECT_TRUE(shell.requests.empty());
}

TEST_F(CommandsTest, DeleteToTheBinHandsTheShellOneUndoableRequestAndRefreshesEitherWay)
{
    write("current/two words.txt");
    window.selected = "two words.txt";
    shell.answers = {false};
    frame.cbDelFile_Click();
    EXPECT_TRUE(exists(at("current/two words.txt")));
    frame.cbDelFile_Click();
    EXPECT_FALSE(exists(at("current/two words.txt")));
    EXPECT_EQ(window.refreshes, (Refreshes{"files", "files"}));

    ASSERT_EQ(shell.requests.size(), 2u);
    const ShellFileOperation& request = shell.requests[0];
    const auto expected = (at("current") / "two words.txt").native();
    EXPECT_EQ(request.pFrom, expected + fs::path::value_type{});  // with the string's own NUL: a double NUL
    EXPECT_EQ(request.wFunc, ShellFileOperation::foDelete);
    EXPECT_EQ(request.fFlags, ShellFileOperation::fofAllowUndo);
    EXPECT_EQ(request.hwnd, nullptr);
    EXPECT_EQ(request.pTo, nullptr);
    EXPECT_EQ(request.lpszProgressTitle, nullptr);
    EXPECT_FALSE(request.fAnyOperationsAborted);
}

// ---- All Files page

TEST_F(CommandsTest, RenameAllNumbersEveryFileInTheListsOrderWithARefreshEach)
{
    write("current/b10", "third");
    write("current/B2", "second");
    write("current/.hidden", "first");
    write("current/sub/untouched");
    window.name = "abc";
    frame.cbRenAll_Click();
    EXPECT_EQ(readFile(at("current/abc1")), "first");
    EXPECT_EQ(readFile(at("current/abc2")), "second");
    EXPECT_EQ(readFile(at("current/abc3")), "third");
    EXPECT_TRUE(exists(at("current/sub/untouched")));
    EXPECT_EQ(window.refreshes, (Refreshes{"files", "files", "files"}));

    window.name = "a.txt";
    frame.cbRenAll_Click();
    EXPECT_EQ(filesIn(at("current")), (std::vector<std::string>{"a.txt1", "a.txt2", "a.txt3"}));
}

TEST_F(CommandsTest, RenameAllWithAnEmptyNameOrNoFilesChangesAndRefreshesNothing)
{
    write("current/x");
    frame.cbRenAll_Click();
    EXPECT_TRUE(exists(at("current/x")));
    window.folder = folder("empty");
    window.name = "abc";
    frame.cbRenAll_Click();
    EXPECT_TRUE(window.refreshes.empty());
}

TEST_F(CommandsTest, RenameAllStopsAtATakenNameAndKeepsEveryFile)
{
    write("current/a", "A");
    write("current/b", "B");
    write("current/p1", "taken");
    write("current/z", "Z");
    window.name = "p";
    frame.cbRenAll_Click();
    // p1 is taken, so the walk stops at the first file.
    EXPECT_EQ(filesIn(at("current")), (std::vector<std::string>{"a", "b", "p1", "z"}));
    EXPECT_EQ(readFile(at("current/p1")), "taken");
    EXPECT_TRUE(window.refreshes.empty());

    window.name = "q";
    fs::rename(at("current/p1"), at("current/q3"));
    write("current/c", "C");
    frame.cbRenAll_Click();  // a -> q1, b -> q2, then q3 is taken by another file
    EXPECT_EQ(readFile(at("current/q1")), "A");
    EXPECT_EQ(readFile(at("current/q2")), "B");
    EXPECT_EQ(readFile(at("current/c")), "C");
    EXPECT_EQ(readFile(at("current/q3")), "taken");
    EXPECT_EQ(readFile(at("current/z")), "Z");
    EXPECT_EQ(window.refreshes, (Refreshes{"files", "files"}));
}

TEST_F(CommandsTest, RenameAllCountsPast32767)
{
#ifdef _WIN32
    GTEST_SKIP() << "the same counting as on POSIX; 32,770 renames take minutes under Wine";
#endif
    const int count = 32770;
    for (int i = 0; i < count; ++i)
        std::ofstream(at("current/f" + std::to_string(i)));
    window.name = "n";
    frame.cbRenAll_Click();
    EXPECT_TRUE(exists(at("current/n32768")));
    EXPECT_TRUE(exists(at("current/n32770")));
    EXPECT_EQ(ListFileNames(at("current")).size(), static_cast<std::size_t>(count));
    EXPECT_EQ(window.refreshes.size(), static_cast<std::size_t>(count));
}

TEST_F(CommandsTest, JustDeleteAllStopsAtTheFirstReadOnlyFileAndRefreshesOnce)
{
    for (const char* name : {"f1", "f2", "f3", "f4"})
        write(std::string("current/") + name, name);
    makeReadOnly(at("current/f3"));
    write("current/sub/kept");
    window.justDelete = true;
    frame.cbDelAll_Click();
    EXPECT_EQ(filesIn(at("current")), (std::vector<std::string>{"f3", "f4"}));
    EXPECT_TRUE(exists(at("current/sub/kept")));
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
    EXPECT_TRUE(shell.requests.empty());
}

TEST_F(CommandsTest, DeleteAllToTheBinAsksOncePerFileAndGoesOnAfterANo)
{
    for (const char* name : {"f1", "f2", "f3"})
        write(std::string("current/") + name, name);
    shell.answers = {true, false, true};
    frame.cbDelAll_Click();
    ASSERT_EQ(shell.requests.size(), 3u);
    EXPECT_EQ(filesIn(at("current")), std::vector<std::string>{"f2"});
    EXPECT_EQ(filesIn(at("trash")), (std::vector<std::string>{"f1", "f3"}));
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
}

// A shell that hands each request on, and once it is carried out lets another program act.
class InterruptedShell final : public Shell {
public:
    InterruptedShell(Shell& shell, std::function<void()> meanwhile)
        : shell_(shell), meanwhile_(std::move(meanwhile))
    {
    }
    int SHFileOperation(ShellFileOperation& request) override
    {
        const int result = shell_.SHFileOperation(request);
        meanwhile_();
        return result;
    }

private:
    Shell& shell_;
    std::function<void()> meanwhile_;
};

// The user may answer each question much later; meanwhile another program may swap the folder
// (the next path would name the newcomer's file of the same name), move it away for good, or
// move it to the Trash and back while the window goes on to show its parent. The walk acts in
// its own folder only, and where that has left its path it stops and counts what it did.
TEST_F(CommandsTest, DeleteAllToTheBinStaysInTheFolderItWalksWhateverHappensBetweenQuestions)
{
    struct Row {
        const char* what;
        std::function<void()> meanwhile;
        std::vector<std::string> trashed, leftInWalkedFolder;
        const char* walkedFolderNow;
    };
    const Row rows[] = {
        {"swapped", [&] { swapTheFolder({"f1", "f2", "f3"}); }, {"f1"}, {"f2", "f3"}, "moved away"},
        {"moved away", [&] { fs::rename(at("current"), at("moved away")); }, {"f1"}, {"f2", "f3"},
         "moved away"},
        {"to the Trash and back",
         [&] {
             fs::rename(at("current"), at("away"));
             window.folder = root();  // the window gave way to the parent
             fs::rename(at("away"), at("current"));
         },
         {"f1", "f2", "f3"}, {}, "current"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(at("trash"));
        fs::remove_all(at("moved away"));
        fs::remove_all(at("current"));
        folder("trash");
        window.folder = at("current");
        shell.requests.clear();
        window.refreshes.clear();
        for (const char* name : {"f1", "f2", "f3"}) {
            write(std::string("current/") + name, "listed");
            write(name, "the parent's");  // what a walk that strays to the parent would take
        }
        bool done = false;
        InterruptedShell interrupted(shell, [&] {
            if (!std::exchange(done, true))
                row.meanwhile();
        });
        window.identity = ReadFolder(window.folder).identity;
        CommandFrame asking(window, interrupted);
        const bool stops = row.leftInWalkedFolder.size() > 0;
        try {
            asking.Run(&CommandFrame::cbDelAll_Click);
            EXPECT_FALSE(stops) << "the walk went on in a folder that left its path";
        } catch (const FolderReplaced& replaced) {
            EXPECT_TRUE(stops);
            // Windows finds a file by its path only: after a swap, the file that the shell moved
            // from the folder walked is told as one that it may have moved from the newcomer.
            const bool byPath =
                !FileSystemObject::FollowsFolderMoved() && row.what == std::string("swapped");
            EXPECT_EQ(replaced.changed(), byPath ? 0 : row.trashed.size());
            EXPECT_EQ(replaced.elsewhere(), byPath ? 1u : 0u);
        }
        EXPECT_EQ(filesIn(at("trash")), row.trashed);
        EXPECT_EQ(filesIn(at(row.walkedFolderNow)), row.leftInWalkedFolder);
        EXPECT_EQ(filesIn(root()), (std::vector<std::string>{"f1", "f2", "f3"}));
    }
}

TEST_F(CommandsTest, DeleteAllOverAnEmptyFolderOnlyRefreshes)
{
    folder("current/sub");
    window.justDelete = true;
    frame.cbDelAll_Click();
    EXPECT_TRUE(fs::is_directory(at("current/sub")));
    EXPECT_EQ(window.refreshes, Refreshes{"files"});
}

// Each undo step acts only on the entry that its command changed, as it left it; otherwise it
// leaves everything as it is, says why, and stays in the history for a later Ctrl+Z, unless it
// never can be taken back.
TEST_F(CommandsTest, AnUndoRefusesWhatOthersChangedSinceAndKeepsTheStep)
{
    using Why = UndoRefused::Why;
    struct Row {
        const char* what;
        void (CommandFrame::*click)();
        std::function<void()> meanwhile;
        Why why;
    };
    const Row rows[] = {
        {"another file under the new name", &CommandFrame::cbRenFile_Click,
         [&] {
             fs::rename(at("current/new"), at("current/elsewhere"));
             write("current/new", "another");
         },
         Why::NotTheSame},
        {"the old name taken", &CommandFrame::cbRenFile_Click,
         [&] { write("current/f", "took the old name"); }, Why::NameTaken},
        {"a folder made, then written into", &CommandFrame::cbCr_Click,
         [&] { write("current/new/inside", "kept"); }, Why::NotEmpty},
        {"a file made, then written", &CommandFrame::cbCrFile_Click,
         [&] { write("current/new", "kept"); }, Why::NotEmpty},
        {"gone from the Trash", &CommandFrame::cbDelFile_Click,
         [&] { fs::remove(at("trash/f")); }, Why::TrashEntryGone},
        {"the folder moved away", &CommandFrame::cbRenFile_Click,
         [&] { fs::rename(at("current"), at("moved away")); }, Why::FolderMoved},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fs::remove_all(at("current"));
        fs::remove_all(at("moved away"));
        fs::remove_all(at("trash"));
        folder("trash");
        write("current/f", "listed");
        window.folder = at("current");
        window.selected = "f";
        window.name = "new";
        History history;
        CommandFrame frame(window, shell, history);
        frame.Run(row.click);
        row.meanwhile();
        const auto before = scratch::Contents(root());
        try {
            frame.Run(&CommandFrame::Undo);
            ADD_FAILURE() << "not refused";
        } catch (const UndoRefused& refused) {
            EXPECT_EQ(refused.why(), row.why);
        }
        EXPECT_EQ(scratch::Contents(root()), before);
        EXPECT_EQ(history.CanUndo(), row.why != Why::TrashEntryGone);
        EXPECT_FALSE(history.CanRedo());
    }
}

// An outright delete cannot be undone: Ctrl+Z says so once, and the next one undoes the
// command before it; a new command clears what could be redone.
TEST_F(CommandsTest, AnOutrightDeleteIsToldOnceAndTheUndoGoesOnBeforeIt)
{
    write("current/f", "F");
    write("current/gone", "G");
    History history;
    CommandFrame frame(window, shell, history);
    window.name = "renamed";
    window.selected = "f";
    frame.Run(&CommandFrame::cbRenFile_Click);
    window.justDelete = true;
    window.selected = "gone";
    frame.Run(&CommandFrame::cbDelFile_Click);
    EXPECT_THROW(frame.Run(&CommandFrame::Undo), UndoRefused);
    frame.Run(&CommandFrame::Undo);
    EXPECT_EQ(filesIn(at("current")), std::vector<std::string>{"f"});
    frame.Run(&CommandFrame::Redo);
    EXPECT_EQ(filesIn(at("current")), std::vector<std::string>{"renamed"});
    frame.Run(&CommandFrame::Undo);
    frame.Run(&CommandFrame::cbCrFile_Click);
    EXPECT_FALSE(history.CanRedo());
}

} // namespace
