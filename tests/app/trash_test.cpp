// The Trash stand-in against the real freedesktop.org Trash in the suites' scratch
// XDG_DATA_HOME: what it asks and shows, the exact bytes and path it trashes and records, a
// data folder that is missing, one name trashed twice, a volume where no trash can be had,
// links, a declined question, and a question that a person's close of the window ends. Every
// dialog is answered by the test, so no case can wait for a user.
#include "window_fixture.h"

#include "recycle_bin.h"
#include "posix_shell.h"
#include "posix/trash_questions.h"

#include <QtCore/QByteArray>

#include <set>
#include <sys/mount.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using apptest::DialogAnswerer;
using apptest::SeenDialog;
using scratch::readFile;

// Asked over no window, outside any walk.
class TrashTest : public ::testing::Test, public app::AskingWindow {
protected:
    QWidget* AskOver() override { return nullptr; }
    bool RussianShown() const override { return russian; }
    commands::Progress& WalkProgress() override { return noWalk_; }
    void WaitForPerson(bool) override {}

    static fs::path dataHome() { return std::getenv("XDG_DATA_HOME"); }
    static fs::path trashFiles() { return dataHome() / "Trash/files"; }
    static fs::path trashInfo() { return dataHome() / "Trash/info"; }

    fs::path write(const std::string& name, const std::string& content = "data")
    {
        return scratch_.write(name, content);
    }

    // The original path recorded in a .trashinfo, percent-decoded.
    static std::string recordedPath(const fs::path& info)
    {
        const std::string text = readFile(info);
        const auto start = text.find("Path=") + 5;
        const QByteArray encoded =
            QByteArray::fromStdString(text.substr(start, text.find('\n', start) - start));
        return QByteArray::fromPercentEncoding(encoded).toStdString();
    }

    // Puts one trashed item back where it came from, as a file manager does: the one whose
    // .trashinfo records that path. False when there is none.
    static bool restore(const fs::path& original)
    {
        std::error_code missing;
        for (const auto& info : fs::directory_iterator(trashInfo(), missing)) {
            if (recordedPath(info.path()) != original.native())
                continue;
            if (fs::exists(fs::symlink_status(original)))
                return false;
            fs::rename(trashFiles() / info.path().stem(), original);
            fs::remove(info.path());
            return true;
        }
        return false;
    }

    void trash(const fs::path& path) { commands::DeleteToRecycleBin(shell, path); }

    // Trashes a path that names nothing, answering yes: the question, then the failure.
    std::vector<SeenDialog> trashMissing(const fs::path& path)
    {
        DialogAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        trash(path);
        EXPECT_EQ(answerer.names(), (QStringList{"TrashQuestion", "TrashFailure"}));
        return answerer.seen();
    }

    scratch::ScratchFolder scratch_;
    const fs::path folder = fs::canonical(scratch_.root());
    struct : commands::Progress {
        void Turn(const commands::WorkStep&) override {}
    } noWalk_;
    commands::PosixShell shell{std::make_unique<app::TrashQuestions>(*this)};
    bool russian = false;
};

// A name with a percent sign, and one that is not UTF-8: the exact bytes and path recorded.
TEST_F(TrashTest, AConfirmedFileMovesToTheTrashWithItsExactNameAndPathRecorded)
{
    for (const std::string name : {"50% off report.txt", "caf\xe9 \xff"}) {
        const fs::path file = write(name, "contents " + name);
        DialogAnswerer answerer({QMessageBox::Yes});
        trash(file);
        EXPECT_FALSE(fs::exists(file));
        EXPECT_EQ(readFile(trashFiles() / name), "contents " + name);
        EXPECT_EQ(recordedPath(trashInfo() / (name + ".trashinfo")), file.string());
        ASSERT_EQ(answerer.seen().size(), 1u);
        EXPECT_TRUE(answerer.seen()[0].text.contains(app::DisplayName(name))) << name;
    }
}

// Declined for a file, a dangling link and a path that names nothing: each question asked
// once, and neither the folder nor the Trash changes.
TEST_F(TrashTest, ADeclinedQuestionChangesNothingAtAll)
{
    write("keep", "kept");
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    const auto before = scratch::Contents(folder);
    const auto trashBefore = scratch::Contents(dataHome());
    for (const char* name : {"keep", "dangling", "never existed"}) {
        DialogAnswerer answerer({QMessageBox::No});
        trash(folder / name);
        EXPECT_EQ(answerer.names(), QStringList{"TrashQuestion"}) << name;
    }
    EXPECT_EQ(scratch::Contents(folder), before);
    EXPECT_EQ(scratch::Contents(dataHome()), trashBefore);
}

TEST_F(TrashTest, EnterAnswersYesAndEscAnswersNo)
{
    const fs::path first = write("first", "1");
    const fs::path second = write("second", "2");
    DialogAnswerer presser(DialogAnswerer::Keys{{Qt::Key_Escape, Qt::Key_Return}});
    trash(first);
    trash(second);
    EXPECT_EQ(readFile(first), "1");
    EXPECT_EQ(readFile(trashFiles() / "second"), "2");
}

// A path that names nothing, and a file while the home Trash cannot be made (its name is
// taken by a file): a question, then the error naming the file, which stays as it was.
TEST_F(TrashTest, AFileTheTrashCannotTakeIsReportedAndNeverDeleted)
{
    EXPECT_TRUE(trashMissing(folder / "vanished").at(1).text.contains("vanished"));
    const fs::path file = write("precious", "P");
    std::error_code ignored;
    fs::remove_all(dataHome() / "Trash", ignored);
    scratch::Touch(dataHome() / "Trash", "not a folder");
    EXPECT_TRUE(trashMissing(file).at(1).text.contains("precious"));
    fs::remove(dataHome() / "Trash");
    EXPECT_EQ(readFile(file), "P");
}

TEST_F(TrashTest, AVolumeWhereNoTrashCanBeHadShowsTheErrorAndKeepsTheFile)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small volume of the test's own needs root";
    const fs::path volume = folder / "volume";
    fs::create_directory(volume);
    if (mount("none", volume.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "this machine does not allow mounting a tmpfs";
    // Neither trash folder that the volume could hold can be made: the names are taken by files.
    scratch::Touch(volume / ".Trash", "not a folder");
    scratch::Touch(volume / (".Trash-" + std::to_string(getuid())), "not a folder");
    const fs::path file = volume / "on another volume";
    scratch::Touch(file, "keep me");
    const auto homeTrash = scratch::Contents(dataHome());
    {
        DialogAnswerer answerer({QMessageBox::Yes, QMessageBox::Ok});
        trash(file);
        ASSERT_EQ(answerer.texts().size(), 2) << "a question, then the error";
        EXPECT_TRUE(answerer.texts()[1].contains("on another volume")) << answerer.texts()[1].toStdString();
    }
    EXPECT_EQ(readFile(file), "keep me");
    EXPECT_EQ(scratch::Contents(dataHome()), homeTrash) << "nothing was copied to the home trash";
    umount2(volume.c_str(), MNT_DETACH);
}

TEST_F(TrashTest, AMissingDataFolderIsMadeAndNothingLandsInTheWorkingFolder)
{
    const fs::path file = write("report.txt", "contents");
    std::error_code ignored;
    fs::remove_all(dataHome(), ignored);
    const fs::path working = folder / "working";
    fs::create_directory(working);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QString::fromStdString(working.native()));
    {
        DialogAnswerer answerer({QMessageBox::Yes});
        trash(file);
        EXPECT_EQ(answerer.texts().size(), 1);
    }
    QDir::setCurrent(previous);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(readFile(trashFiles() / "report.txt"), "contents");
    EXPECT_TRUE(fs::is_empty(working)) << "files/ or info/ were made in the working folder";
    EXPECT_TRUE(restore(file));
    EXPECT_EQ(readFile(file), "contents");
}

TEST_F(TrashTest, TheSameNameTrashedTwiceKeepsBothAndBothCanBeRestored)
{
    const fs::path file = folder / "same name.txt";
    for (const char* content : {"first", "second"}) {
        write("same name.txt", content);
        DialogAnswerer answerer({QMessageBox::Yes});
        trash(file);
        EXPECT_FALSE(fs::exists(file)) << content;
    }
    std::multiset<std::string> restored;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(restore(file)) << "trashed copy " << i + 1 << " cannot be restored";
        restored.insert(readFile(file));
        fs::rename(file, folder / ("restored " + std::to_string(i)));
    }
    EXPECT_EQ(restored, (std::multiset<std::string>{"first", "second"}));
}

TEST_F(TrashTest, LinksAreTrashedAsLinksAndWhatTheyLeadToStays)
{
    write("target", "T");
    fs::create_symlink(folder / "nowhere", folder / "dangling");
    fs::create_symlink(folder / "target", folder / "to target");
    for (const char* name : {"dangling", "to target"}) {
        DialogAnswerer answerer({QMessageBox::Yes});
        trash(folder / name);
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder / name))) << name;
    }
    EXPECT_EQ(readFile(folder / "target"), "T");
    EXPECT_EQ(fs::read_symlink(trashFiles() / "dangling"), folder / "nowhere");
    EXPECT_TRUE(restore(folder / "dangling"));
    EXPECT_EQ(fs::read_symlink(folder / "dangling"), folder / "nowhere");
}

TEST_F(TrashTest, QuestionsFollowTheWindowsLanguage)
{
    const fs::path file = write("файл");
    russian = true;
    DialogAnswerer answerer({QMessageBox::No});
    trash(file);
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(answerer.seen()[0].text.contains(QString::fromUtf8("корзину")));
    EXPECT_TRUE(answerer.seen()[0].text.contains(QString::fromUtf8("файл")));
}

TEST_F(TrashTest, TwoLongNamesThatDifferOnlyInTheMiddleAskDifferentQuestions)
{
    // Wide letters: a line of them is far wider than the same count of average ones.
    const std::string start(110, 'W'), end(130, 'W');
    DialogAnswerer answerer({QMessageBox::No});
    trash(write(start + "1" + end));
    trash(write(start + "2" + end));
    ASSERT_EQ(answerer.seen().size(), 2u);
    EXPECT_NE(answerer.seen()[0].image, answerer.seen()[1].image) << "the two questions look alike";
}

TEST_F(TrashTest, AVeryLongPathKeepsTheQuestionAndTheFailureOnTheScreen)
{
    fs::path path = folder;
    while (path.native().size() < 3700)
        path /= std::string(250, 'd');
    path /= "missing file";
    const std::vector<SeenDialog> seen = trashMissing(path);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_TRUE(seen[0].fitsItsScreen) << "the question or its buttons are off the screen";
    EXPECT_TRUE(seen[0].text.contains(QString::fromStdString(path.parent_path().native())))
        << "the question lost a part of the folder";
    EXPECT_TRUE(seen[1].fitsItsScreen) << "the failure box or its button are off the screen";
    EXPECT_TRUE(seen[1].labelsShowAllText) << "the failure box clips its message";
}

// Names from the disk are never markup, nor can they break or reorder the text around them.
TEST_F(TrashTest, NamesAreShownAsTheyAreWrittenNeverAsMarkup)
{
    const QString image = "<img width=3000 height=3000 src=x>";
    const QString font = "<font color=red size=7>big &amp; red";
    for (const QString& name : {image, font}) {
        const std::vector<SeenDialog> seen = trashMissing(folder / name.toStdString());
        ASSERT_EQ(seen.size(), 2u) << name.toStdString();
        for (const SeenDialog& dialog : seen) {
            const std::string what = (dialog.name + " for " + name).toStdString();
            EXPECT_TRUE(dialog.text.contains(name)) << what << ": " << dialog.text.toStdString();
            EXPECT_TRUE(dialog.fitsItsScreen) << what;
            EXPECT_LT(dialog.image.height(), 300) << what;
        }
        EXPECT_EQ(seen[1].textFormat, Qt::PlainText);
    }
    const std::string disguised = "line\nbreak\u202Etxt.exe";
    DialogAnswerer answerer({QMessageBox::No});
    trash(write(disguised));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_TRUE(answerer.seen()[0].text.contains(QString::fromUtf8("line\uFFFDbreak\uFFFDtxt.exe")))
        << answerer.seen()[0].text.toStdString();
}

// A person closes the window through the window system while a question of the window's
// command waits: Delete All's question answers Stop, a single file's No; the command ends with
// no other question or warning, and the window closes.
struct ClosedQuestion {
    const char* button;
    std::size_t closedAt;  // the question, from 0, that waits when the person closes the window
    std::size_t trashed;   // the files moved before, first in the list's order
    const char* label;
};

class TrashQuestionClosedTest : public apptest::WindowFixture,
                                public ::testing::WithParamInterface<ClosedQuestion> {};

TEST_P(TrashQuestionClosedTest, ClosingThroughTheWindowSystemEndsTheQuestionAndTheWindow)
{
    const ClosedQuestion& row = GetParam();
    if (!driver::WindowSystemCloses())
        GTEST_SKIP() << "no window system on this platform";
    // Names of the row's own: the suites share one Trash.
    std::vector<std::string> names;
    for (const char* number : {"1", "2", "3"})
        names.push_back(row.label + std::string(number));
    for (const std::string& name : names)
        scratch::Touch(root / name, name);
    StartWindow();
    files().SelectFile(names[1]);
    DialogAnswerer answer({QMessageBox::Yes});
    answer.Before(row.closedAt, [&] { CloseThroughWindowSystem(); });
    Click(row.button);
    EXPECT_EQ(answer.names().size(), row.closedAt + 1) << answer.names().join(", ").toStdString();
    EXPECT_FALSE(window().isVisible());
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool trashed = i < row.trashed;
        EXPECT_EQ(fs::exists(root / names[i]), !trashed) << names[i];
        EXPECT_EQ(fs::exists(apptest::TrashFiles() / names[i]), trashed) << names[i];
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TrashQuestionClosedTest,
    ::testing::Values(ClosedQuestion{"cbDelAll", 1, 1, "DeleteAllWindowSystemClose"},
                      ClosedQuestion{"cbDelFile", 0, 0, "DeleteFileWindowSystemClose"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST_F(TrashTest, ARequestThatCannotBeUndoneIsRefusedUntouched)
{
    const fs::path file = write("precious", "P");
    commands::ShellFileOperation request;
    request.wFunc = commands::ShellFileOperation::foDelete;
    request.pFrom = file.string() + '\0';
    request.fFlags = commands::ShellFileOperation::fofNoConfirmation;  // no allow-undo
    EXPECT_NE(shell.SHFileOperation(request), 0);
    EXPECT_EQ(readFile(file), "P");
}

// A Yes taken back: the entry that the move put in the Trash, found by what it is among
// others of its name, goes back whole to its path, and its .trashinfo with it; never over a
// file that took the name meanwhile, nor once it has left the Trash.
TEST_F(TrashTest, WhatYesMovedComesBackByWhatItIsAndNeverOverAnother)
{
    const fs::path twin = write("twin.txt", "earlier");
    DialogAnswerer yes({QMessageBox::Yes, QMessageBox::Yes});
    trash(twin);
    const fs::path file = write("twin.txt", "the one taken back");
    const commands::EntryIdentity identity = commands::FileSystemObject().IdentityOf(file);
    trash(file);
    const fs::path trashed = shell.WhereTrashed(file, identity);
    ASSERT_FALSE(trashed.empty());
    write("twin.txt", "took the name");
    EXPECT_EQ(shell.Restore(trashed, identity, file), commands::Restored::NameTaken);
    fs::remove(file);
    EXPECT_EQ(shell.Restore(trashed, identity, file), commands::Restored::Back);
    EXPECT_EQ(readFile(file), "the one taken back");
    EXPECT_FALSE(fs::exists(trashInfo() / (trashed.filename().string() + ".trashinfo")));
    EXPECT_EQ(shell.Restore(trashed, identity, file), commands::Restored::GoneFromTrash);
    int earlier = 0;  // the other of the same name stays in the Trash
    for (const auto& each : fs::directory_iterator(trashFiles()))
        earlier += readFile(each.path()) == "earlier";
    EXPECT_EQ(earlier, 1);
}

} // namespace
