#include "filesystem.h"

#include "error_of.h"
#include "sandbox.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

using namespace commands;

namespace {

#ifdef _WIN32
const int accessDenied = 5;  // ERROR_ACCESS_DENIED
// Windows keeps the user's folder in USERPROFILE; _putenv_s changes the process environment too.
const char* const homeVariable = "USERPROFILE";
void setVariable(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }
void unsetVariable(const char* name) { _putenv_s(name, ""); }
#else
const int accessDenied = EACCES;
const char* const homeVariable = "HOME";
void setVariable(const char* name, const std::string& value) { setenv(name, value.c_str(), 1); }
void unsetVariable(const char* name) { unsetenv(name); }
#endif

std::vector<std::string> names(const std::vector<File>& files)
{
    std::vector<std::string> result;
    for (const File& f : files)
        result.push_back(f.Name().string());
    return result;
}

class FileSystemTest : public Sandbox {
protected:
    FileSystemObject fso;
};

TEST_F(FileSystemTest, CreateMakesOneNewEntryInAnExistingParentAndNeverTouchesAnOldOne)
{
    fso.CreateFolder(at("new"));
    EXPECT_TRUE(fs::is_directory(at("new")));
    fso.CreateTextFile(at("notes"));
    EXPECT_TRUE(fs::is_regular_file(at("notes")));
    EXPECT_EQ(fs::file_size(at("notes")), 0u);

    write("taken/keep.txt", "kept");
    write("report.txt", "precious");
    EXPECT_NE(errorOf([&] { fso.CreateFolder(at("taken")); }), 0);
    EXPECT_NE(errorOf([&] { fso.CreateTextFile(at("report.txt")); }), 0);
    EXPECT_EQ(readFile(at("taken/keep.txt")), "kept");
    EXPECT_EQ(readFile(at("report.txt")), "precious");

    EXPECT_NE(errorOf([&] { fso.CreateFolder(at("missing/child")); }), 0);
    EXPECT_FALSE(exists(at("missing")));
}

TEST_F(FileSystemTest, RenameChangesOnlyTheLastElementAndNeverReplaces)
{
    write("a.txt", "A");
    write("b.txt", "B");
    EXPECT_NE(errorOf([&] { fso.GetFile(at("a.txt")).Name("b.txt"); }), 0);
    EXPECT_EQ(readFile(at("a.txt")), "A");
    EXPECT_EQ(readFile(at("b.txt")), "B");

    folder("one");
    write("two/inside", "x");
    EXPECT_NE(errorOf([&] { fso.GetFolder(at("one")).Name("two"); }), 0);
    EXPECT_TRUE(fs::is_directory(at("one")));
    EXPECT_EQ(readFile(at("two/inside")), "x");
    // A folder is not renamed over a file either.
    EXPECT_NE(errorOf([&] { fso.GetFolder(at("one")).Name("a.txt"); }), 0);
    EXPECT_EQ(readFile(at("a.txt")), "A");

    write("photo.jpg", "P");
    fso.GetFile(at("photo.jpg")).Name("holiday");
    EXPECT_EQ(readFile(at("holiday")), "P");
    EXPECT_FALSE(exists(at("photo.jpg")));

    write("dir/f", "F");
    fso.GetFolder(at("dir")).Name("renamed dir ");
#ifdef _WIN32
    EXPECT_EQ(readFile(at("renamed dir/f")), "F");  // Windows drops a name's trailing blanks
#else
    EXPECT_EQ(readFile(at("renamed dir /f")), "F");
#endif

    // The name it already has is no failure and changes nothing.
    fso.GetFile(at("holiday")).Name("holiday");
    EXPECT_EQ(readFile(at("holiday")), "P");
}

TEST_F(FileSystemTest, RenameRefusesNamesThatAreNotOneElement)
{
    write("a", "A");
    folder("sub");
    for (const std::string& bad : std::vector<std::string>{"", ".", "..", "sub/b", "../escaped",
                                                         std::string("x\0y", 3)}) {
        EXPECT_NE(errorOf([&] { fso.GetFile(at("a")).Name(NameFromText(bad)); }), 0) << bad;
        EXPECT_NE(errorOf([&] { fso.GetFolder(at("sub")).Name(NameFromText(bad)); }), 0) << bad;
    }
    EXPECT_EQ(readFile(at("a")), "A");
    EXPECT_TRUE(fs::is_directory(at("sub")));
    EXPECT_EQ(std::distance(fs::directory_iterator(root()), fs::directory_iterator()), 2);
}

TEST_F(FileSystemTest, LookupsTellFilesFromFolders)
{
    SKIP_WITHOUT_SYMLINKS();
    write("file", "f");
    folder("folder");
    fs::create_directory_symlink(at("folder"), at("link to folder"));
    fs::create_symlink(at("file"), at("link to file"));
    fs::create_symlink(at("nowhere"), at("dangling"));

    EXPECT_NO_THROW(fso.GetFile(at("file")));
    EXPECT_NO_THROW(fso.GetFile(at("link to file")));
    EXPECT_NO_THROW(fso.GetFile(at("dangling")));
    EXPECT_NE(errorOf([&] { fso.GetFile(at("folder")); }), 0);
    EXPECT_NE(errorOf([&] { fso.GetFile(at("link to folder")); }), 0);
    EXPECT_NE(errorOf([&] { fso.GetFile(at("missing")); }), 0);

    EXPECT_NO_THROW(fso.GetFolder(at("folder")));
    EXPECT_NE(errorOf([&] { fso.GetFolder(at("file")); }), 0);
    EXPECT_NE(errorOf([&] { fso.GetFolder(at("missing")); }), 0);
    EXPECT_TRUE(fso.GetFolder("/").IsRootFolder());
    EXPECT_FALSE(fso.GetFolder(root()).IsRootFolder());
}

TEST_F(FileSystemTest, FilesAreFilesAndFileLinksWithHiddenOnesInNaturalOrder)
{
    SKIP_WITHOUT_SYMLINKS();
    for (const char* name : {"img10.png", "img2.png", "Img1.png", ".hidden", "b", "A"})
        write(name);
    folder("sub");
    folder(".hidden folder");
    fs::create_directory_symlink(at("sub"), at("link to sub"));
    fs::create_symlink(at("b"), at("link to b"));
    fs::create_symlink(at("gone"), at("dangling"));

    const auto files = fso.GetFolder(root()).Files();
    EXPECT_EQ(names(files), (std::vector<std::string>{".hidden", "A", "b", "dangling", "Img1.png",
                                                      "img2.png", "img10.png", "link to b"}));
    EXPECT_EQ(files.front().path(), at(".hidden"));
    EXPECT_TRUE(fso.GetFolder(at("sub")).Files().empty());
    EXPECT_EQ(ListSubfolderNames(root()),
              (std::vector<Path>{".hidden folder", "link to sub", "sub"}));
}

TEST_F(FileSystemTest, FilesIsASnapshotThatRenamesDoNotChange)
{
    write("a");
    write("b");
    const auto files = fso.GetFolder(root()).Files();
    fso.GetFile(at("a")).Name("c");
    EXPECT_EQ(names(files), (std::vector<std::string>{"a", "b"}));
}

// A batch command looks up each file of its collection by full path. While the collection is
// held, that finds the file in the folder that was listed, even when another folder has taken
// its path; once the collection is let go, a path means what it says again.
TEST_F(FileSystemTest, UntilReleasedAFolderLookedUpIsWhereItsPathsAreFound)
{
#ifdef _WIN32
    GTEST_SKIP() << "an open folder cannot be moved on Windows";
#endif
    write("cur/f", "listed");
    write("cur/g", "listed");
    {
        const auto files = fso.GetFolder(at("cur")).Files();
        fs::rename(at("cur"), at("moved"));
        write("cur/f", "newcomer");
        write("cur/g", "newcomer");
        fso.GetFile(at("cur/f")).Delete();
        fso.GetFile(at("cur/g")).Name("h");
        EXPECT_FALSE(exists(at("moved/f")));
        EXPECT_EQ(readFile(at("moved/h")), "listed");
        EXPECT_EQ(readFile(at("cur/f")), "newcomer");
        EXPECT_EQ(readFile(at("cur/g")), "newcomer");
        fso.CreateTextFile(at("cur/made"));
        fso.CreateFolder(at("cur/sub"));
        EXPECT_TRUE(exists(at("moved/made")));
        EXPECT_TRUE(fs::is_directory(at("moved/sub")));
    }
    fso.Release();
    fso.GetFile(at("cur/f")).Delete();
    EXPECT_FALSE(exists(at("cur/f")));
}

TEST_F(FileSystemTest, DeleteRemovesAFileOrLinkButNotAReadOnlyFile)
{
    SKIP_WITHOUT_SYMLINKS();
    write("plain");
    fso.GetFile(at("plain")).Delete();
    EXPECT_FALSE(exists(at("plain")));

    write("target", "T");
    fs::create_symlink(at("target"), at("link"));
    fso.GetFile(at("link")).Delete();
    EXPECT_FALSE(exists(at("link")));
    EXPECT_EQ(readFile(at("target")), "T");

    makeReadOnly(write("locked", "L"));
    EXPECT_NE(errorOf([&] { fso.GetFile(at("locked")).Delete(); }), 0);
    EXPECT_EQ(readFile(at("locked")), "L");
}

TEST_F(FileSystemTest, NonUtf8NamesAreListedRenamedAndDeletedExactly)
{
#ifdef _WIN32
    GTEST_SKIP() << "Windows names are UTF-16, never stray bytes";
#endif
    const std::string odd = "caf\xe9 \xff.txt";
    write(odd, "latin1");
    EXPECT_EQ(ListFileNames(root()), std::vector<Path>{Path(odd)});
    File file = fso.GetFile(root() / odd);
    file.Name(std::string("\xfe\xfe"));
    EXPECT_EQ(readFile(at(std::string("\xfe\xfe"))), "latin1");
    fso.GetFile(at(std::string("\xfe\xfe"))).Delete();
    EXPECT_TRUE(fs::is_empty(root()));
}

// ---- Deleting folders

TEST_F(FileSystemTest, DeleteFolderRemovesTheWholeTreeAndLinksAsLinks)
{
    write("victim/a");
    write("victim/.hidden");
    write("victim/sub/b");
    write("victim/sub/deeper/c");
    folder("victim/empty");
    fso.DeleteFolder(at("victim"));
    EXPECT_FALSE(exists(at("victim")));

    SKIP_WITHOUT_SYMLINKS();
    write("outside/keep1", "1");
    write("outside/sub/keep2", "2");
    write("victim/own");
    fs::create_directory_symlink(at("outside"), at("victim/link to outside"));
    fs::create_symlink(at("outside/keep1"), at("victim/link to file"));
    fso.DeleteFolder(at("victim"));
    EXPECT_FALSE(exists(at("victim")));
    EXPECT_EQ(readFile(at("outside/keep1")), "1");
    EXPECT_EQ(readFile(at("outside/sub/keep2")), "2");

    // The folder named by the path may itself be a link: the link goes, the folder stays.
    fs::create_directory_symlink(at("outside"), at("opened through link"));
    fso.DeleteFolder(at("opened through link"));
    EXPECT_FALSE(exists(at("opened through link")));
    EXPECT_EQ(readFile(at("outside/sub/keep2")), "2");
}

TEST_F(FileSystemTest, DeleteFolderHandlesTreesDeeperThanPathMax)
{
#ifdef _WIN32
    GTEST_SKIP() << "builds the tree through the current folder, which Windows keeps within MAX_PATH";
#endif
    // 2,000 levels of 30-byte names: about 62,000 bytes of path, fifteen times PATH_MAX, with
    // side folders on the way down, so that the walk comes back up through folders it closed
    // and still has work there.
    const std::string level(30, 'd');
    fs::path deep = at("victim");
    fs::create_directory(deep);
    fs::current_path(deep);
    for (int i = 0; i < 2000; ++i) {
        if (i % 250 == 0) {
            fs::create_directory("side");
            std::ofstream("side/file") << "x";
            std::ofstream("file") << "x";
        }
        fs::create_directory(level);
        fs::current_path(level);
    }
    fs::current_path(root());
    write("keep", "K");
    fso.DeleteFolder(at("victim"));
    EXPECT_FALSE(exists(at("victim")));
    EXPECT_EQ(readFile(at("keep")), "K");
}

TEST_F(FileSystemTest, DeleteFolderStopsAtAReadOnlyItemAndKeepsWhatItDeletedBefore)
{
    write("victim/sub/locked", "L");
    makeReadOnly(at("victim/sub/locked"));
    write("victim/sub/other");
    EXPECT_EQ(errorOf([&] { fso.DeleteFolder(at("victim")); }), accessDenied);
    EXPECT_EQ(readFile(at("victim/sub/locked")), "L");
    EXPECT_TRUE(fs::is_directory(at("victim/sub")));

    makeReadOnly(folder("locked folder"));
    if ((fs::status(at("locked folder")).permissions() & fs::perms::owner_write) != fs::perms::none)
        return;  // Wine keeps no read-only attribute on folders
    EXPECT_NE(errorOf([&] { fso.DeleteFolder(at("locked folder")); }), 0);
    EXPECT_TRUE(fs::is_directory(at("locked folder")));
}

TEST_F(FileSystemTest, DeleteFolderRefusesTheHomeFolderAndItsAncestors)
{
    write("home/user/precious", "P");
    const char* oldHome = std::getenv(homeVariable);
    const std::string saved = oldHome ? oldHome : "";
    setVariable(homeVariable, at("home/user").string());
    for (const fs::path& spelling :
         {at("home/user"), at("home"), at("home/user/."), at("home/user/../user"), root()}) {
        EXPECT_NE(errorOf([&] { fso.DeleteFolder(spelling); }), 0) << spelling;
    }
#ifndef _WIN32
    fs::create_directory_symlink(at("home"), at("link to home"));
    EXPECT_NE(errorOf([&] { fso.DeleteFolder(at("link to home")); }), 0);
#endif
    if (oldHome)
        setVariable(homeVariable, saved);
    else
        unsetVariable(homeVariable);
    EXPECT_EQ(readFile(at("home/user/precious")), "P");
#ifndef _WIN32
    EXPECT_TRUE(exists(at("link to home")));
#endif
}

} // namespace
