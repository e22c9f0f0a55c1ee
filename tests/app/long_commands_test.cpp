// Long commands through the real window: stopped part-way by Cancel, Esc or closing the window
// (from the program, or through the window system as a person does while the progress blocks
// the window), each change made before the stop is whole and everything after it untouched.
#include "window_fixture.h"

#include <string>

namespace apptest {
namespace {

enum class StopBy { CancelButton, EscKey, ClosingTheWindow, WindowSystemClose };

struct LongCommand {
    const char* button;
    StopBy stop;
    const char* label;
};

class LongCommandTest : public WindowFixture, public ::testing::WithParamInterface<LongCommand> {
protected:
    static constexpr int fileCount = 30;
    static constexpr int stopAfter = 5;  // changes made before the user stops

    void SetUp() override
    {
        WindowFixture::SetUp();
        fs::create_directories(work());
        for (int i = 1; i <= fileCount; ++i)
            Touch(work() / Name(i), Name(i));
        fs::create_directories(work() / "sub" / "deeper");
        Touch(work() / "sub" / "deeper" / "inside", "inside");
        StartWindow(true);
        OpenInTree("work");
        TypeName("p");
    }

    fs::path work() const { return root / "work"; }
    static std::string Name(int i) { return (i < 10 ? "f0" : "f") + std::to_string(i); }

    int Changed() const
    {
        int changed = 0;
        for (int i = 1; i <= fileCount; ++i)
            changed += fs::exists(work() / Name(i)) ? 0 : 1;
        return changed;
    }

    void Stop(StopBy by)
    {
        QProgressDialog* dialog = progressDialog();
        ASSERT_NE(dialog, nullptr) << "no progress shows";
        EXPECT_EQ(dialog->windowTitle(), "FF Name");
        if (by == StopBy::CancelButton)
            QTest::mouseClick(dialog->findChild<QPushButton*>(), Qt::LeftButton);
        else if (by == StopBy::EscKey)
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (by == StopBy::ClosingTheWindow)
            window().close();
        else
            CloseThroughWindowSystem();
    }
};

TEST_P(LongCommandTest, StopsCleanlyBeforeItsNextChange)
{
    const LongCommand& row = GetParam();
    if (row.stop == StopBy::WindowSystemClose && !driver::WindowSystemCloses())
        GTEST_SKIP() << "no window system on this platform";
    const bool closes =
        row.stop == StopBy::ClosingTheWindow || row.stop == StopBy::WindowSystemClose;
    const std::string button = row.button;
    const bool folderDelete = button == "cbDel", renames = button == "cbRenAll";
    if (!folderDelete)
        Click("OptDel");
    const auto before = scratch::Contents(work());
    DialogAnswerer warnings;
    bool clickedAgain = false;
    AtTurn stop([&] { return Changed() >= stopAfter; },
                [&] {
                    // A second click of the same kind does not start inside the first.
                    Click(row.button);
                    clickedAgain = true;
                    Stop(row.stop);
                });
    Click(row.button);
    ASSERT_TRUE(clickedAgain);
    EXPECT_TRUE(warnings.texts().isEmpty()) << warnings.texts().join('\n').toStdString();
    EXPECT_EQ(progressDialog(), nullptr);
    EXPECT_EQ(window().isVisible(), !closes);

    // The first files in the walk's order are changed whole; every other entry is as it was.
    // A folder delete may have taken any part of the folder, each remaining entry whole.
    const auto after = scratch::Contents(work());
    const int changed = Changed();
    EXPECT_GE(changed, stopAfter);
    EXPECT_LT(changed, fileCount - 1);
    for (const auto& [name, contents] : before) {
        if (const auto now = after.find(name); now != after.end()) {
            EXPECT_EQ(now->second, contents) << name;
        } else if (!folderDelete) {
            const int number = std::stoi(name.substr(1));
            EXPECT_LE(number, changed) << name << " changed out of order";
            if (renames) {
                EXPECT_EQ(readFile(work() / ("p" + std::to_string(number))), contents);
            }
        }
    }
    if (folderDelete)
        return;
    const std::size_t filesLeft = fileCount - (renames ? 0 : changed);
    EXPECT_EQ(after.size(), before.size() - (renames ? 0 : changed));
    if (!closes) {  // the lists show the disk as it is
        EXPECT_TRUE(Eventually([&] { return files().Names().size() == filesLeft; }));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LongCommandTest,
    ::testing::Values(LongCommand{"cbDelAll", StopBy::CancelButton, "DeleteAllCancelled"},
                      LongCommand{"cbRenAll", StopBy::EscKey, "RenameAllByEsc"},
                      LongCommand{"cbDel", StopBy::CancelButton, "FolderDeleteCancelled"},
                      LongCommand{"cbDelAll", StopBy::ClosingTheWindow, "DeleteAllWindowClosed"},
                      LongCommand{"cbDel", StopBy::ClosingTheWindow, "FolderDeleteWindowClosed"},
                      LongCommand{"cbDelAll", StopBy::WindowSystemClose,
                                  "DeleteAllWindowSystemClose"},
                      LongCommand{"cbRenAll", StopBy::WindowSystemClose,
                                  "RenameAllWindowSystemClose"},
                      LongCommand{"cbDel", StopBy::WindowSystemClose,
                                  "FolderDeleteWindowSystemClose"}),
    [](const auto& row) { return std::string(row.param.label); });

// Outside a command nothing blocks the window: the window system's close takes Qt's own way.
TEST_F(LongCommandTest, WindowSystemCloseOutsideACommandClosesAtOnce)
{
    if (!driver::WindowSystemCloses())
        GTEST_SKIP() << "no window system on this platform";
    Settle();
    driver::SendCloseRequest(window());
    EXPECT_TRUE(Eventually([&] { return !window().isVisible(); }));
    EXPECT_EQ(Changed(), 0);
}

} // namespace
} // namespace apptest
