// Edge cases of the Trash stand-in against the real freedesktop.org Trash in the suites'
// scratch XDG_DATA_HOME: a data folder that is missing, one name trashed twice, a volume where
// no trash can be had, links, and a declined question. Every dialog is answered by the test, so
// no case can wait for a user.
#include "window_fixture.h"

#include "recycle_bin.h"
#include "trash_shell.h"

#include <QtCore/QByteArray>

#include <map>
#include <sys/mount.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using apptest::ModalAnswerer;

class TrashEdgeTest : public ::testing::Test {
protected:
    TrashEdgeTest()
    {
        folder = fs::canonical(scratch_.path().toStdString());
        shell.attach(nullptr, [] { return false; });
    }

    static fs::path dataHome() { return std::getenv("XDG_DATA_HOME"); }
    static fs::path trashFiles() { return dataHome() / "Trash/files"; }
    static fs::path trashInfo() { return dataHome() / "Trash/info"; }

    fs::path write(const std::string& name, const std::string& content)
    {
        apptest::Touch(folder / name, content);
        return folder / name;
    }

    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // Everything below a folder: each path with its contents, a link's target, or "/" for a
    // folder.
    static std::map<std::string, std::string> snapshot(const fs::path& top)
    {
        std::map<std::string, std::string> items;
        std::error_code missing;
        for (auto it = fs::recursive_directory_iterator(top, missing);
             it != fs::recursive_directory_iterator(); ++it) {
            const fs::file_status st = it->symlink_status();
            items[it->path().native()] = fs::is_symlink(st) ? "-> " + fs::read_symlink(it->path()).native()
                                         : fs::is_directory(st) ? "/"
                                                                : read(it->path());
        }
        return items;
    }

    // Puts one trashed item back where it came from, as a file manager does: the one whose
    // .trashinfo records that path. False when there is none.
    static bool restore(const fs::path& original)
    {
        std::error_code missing;
        for (const auto& info : fs::directory_iterator(trashInfo(), missing)) {
            const std::string text = read(info.path());
            const auto start = text.find("Path=") + 5;
            const QByteArray encoded = QByteArray::fromStdString(text.substr(start, text.find('\n', start) - start));
            if (QByteArray::fromPercentEncoding(encoded).toStdString() != original.native())
                continue;
            const fs::path item = trashFiles() / info.path().stem();
            if (fs::exists(fs::symlink_status(original)))
                return false;
            fs::rename(item, original);
            fs::remove(info.path());
            return true;
        }
        return false;
    }

    void trash(const fs::path& path) { commands::DeleteToRecycleBin(shell, path); }

    QTemporaryDir scratch_{QDir::tempPath() + "/ffname-trash-edge-XXXXXX"};
    fs::path folder;
    app::TrashShell shell;
};

TEST_F(TrashEdgeTest, AMissingDataFolderIsMadeAndNothingLandsInTheWorkingFolder)
{
    const fs::path file = write("report.txt", "contents");
    std::error_code ignored;
    fs::remove_all(dataHome(), ignored);
    const fs::path working = folder / "working";
    fs::create_directory(working);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(working.native()));
    {
        ModalAnswerer answerer({QMessageBox::Yes});
        trash(file);
        EXPECT_EQ(answerer.texts().size(), 1);
    }
    QDir::setCurrent(previous);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(read(trashFiles() / "report.txt"), "contents");
    EXPECT_TRUE(fs::is_empty(working)) << "files/ or info/ were made in the working folder";
    EXPECT_TRUE(restore(file));
    EXPECT_EQ(read(file), "contents");
}

TEST_F(TrashEdgeTest, TheSameNameTrashedTwiceKeepsBothAndBothCanBeRestored)
{
    const fs::path file = folder / "same name.txt";
    for (const char* content : {"first", "second"}) {
        write("same name.txt", content);
        ModalAnswerer answerer({QMessageBox::Yes});
        trash(file);
        EXPECT_FALSE(fs::exists(file)) << content;
    }
    std::multiset<std::string> restored;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(restore(file)) << "trashed copy " << i + 1 << " cannot be restored";
        restored.insert(read(file));
        fs::rename(file, folder / ("restored " + std::to_string(i)));
    }
    EXPECT_EQ(restored, (std::multiset<std::string>{"first", "second"}));
}

TEST_F(TrashEdgeTest, AVolumeWhereNoTrashCanBeHadShowsTheErrorAndKeepsTheFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small volume of the test's own needs root";
    const fs::path volume = folder / "volume";
    fs::create_directory(volume);
    if (mount("none", volume.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs";
    // Neither trash folder that the volume could hold can be made: the names are taken by files.
    apptest::Touch(volume / ".Trash", "not a folder");
    apptest::Touch(volume / (".Trash-" + std::to_string(getuid())), "not a folder");
    const fs::path file = volume / "on another volume";
    apptest::Touch(file, "keep me");
    const auto homeTrash = snapshot(dataHome());
    {
        ModalAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        trash(file);
        ASSERT_EQ(answerer.texts().size(), 2) << "a question, then the error";
        EXPECT_TRUE(answerer.texts()[1].contains("on another volume")) << answerer.texts()[1].toStdString();
    }
    EXPECT_EQ(read(file), "keep me");
    EXPECT_EQ(snapshot(dataHome()), homeTrash) << "nothing was copied to the home trash";
    umount2(volume.c_str(), MNT_DETACH);
}

TEST_F(TrashEdgeTest, LinksAreTrashedAsLinksAndWhatTheyLeadToStays)
{
    write("target", "T");
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    fs::create_symlink(folder / "target", folder / "to target");
    for (const char* name : {"dangling", "to target"}) {
        ModalAnswerer answerer({QMessageBox::Yes});
        trash(folder / name);
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder / name))) << name;
    }
    EXPECT_EQ(read(folder / "target"), "T");
    EXPECT_EQ(fs::read_symlink(trashFiles() / "dangling"), folder / "nowhere");
    EXPECT_TRUE(restore(folder / "dangling"));
    EXPECT_EQ(fs::read_symlink(folder / "dangling"), folder / "nowhere");
}

TEST_F(TrashEdgeTest, ADeclinedQuestionChangesNothingAtAll)
{
    write("keep", "kept");
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    const auto before = snapshot(folder);
    const auto trashBefore = snapshot(dataHome());
    for (const char* name : {"keep", "dangling", "never existed"}) {
        ModalAnswerer answerer({QMessageBox::No});
        trash(folder / name);
        EXPECT_EQ(answerer.texts().size(), 1) << name;
    }
    EXPECT_EQ(snapshot(folder), before);
    EXPECT_EQ(snapshot(dataHome()), trashBefore);
}

} // namespace
