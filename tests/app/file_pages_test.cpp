// The File and All Files pages' buttons through the real window, checked on disk and in the
// scratch Trash; the questions are answered by the test.
#include "window_fixture.h"

namespace apptest {
namespace {

class FilePagesTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        fs::create_directories(root / "work" / "sub");
        Touch(root / "work" / "sub" / "inside", "inside");
        StartWindow();
    }

    // Fills the folder, opens it in the tree and shows the page of that tab.
    void Open(const std::vector<std::string>& files, int tab)
    {
        for (const std::string& name : files)
            Touch(root / "work" / name, name);
        OpenInTree("work");
        ClickTab(tab);
    }

    fs::path work(const fs::path& name) const { return root / "work" / name; }
    static std::string Trashed(const fs::path& name) { return readFile(TrashFiles() / name); }

    // Deletes report.txt, the one file shown, to the Trash while another program acts before
    // the answer: the texts of the question and of the warnings after it.
    QStringList DeleteReportWhile(const std::function<void()>& meanwhile)
    {
        Open({"report.txt"}, 2);
        files().SelectFile("report.txt");
        DialogAnswerer answer({QMessageBox::Yes, QMessageBox::Ok});
        answer.Before(0, meanwhile);
        Click("cbDelFile");
        return answer.texts();
    }

    // Another program moves the work folder away and makes a new one in its place, holding
    // files of the same names.
    void SwapWork(const std::vector<std::string>& names)
    {
        fs::rename(root / "work", root / "away");
        fs::create_directory(root / "work");
        for (const std::string& name : names)
            Touch(work(name), "newcomer");
    }
};

TEST_F(FilePagesTest, CreateMakesAnEmptyFileAndNeverTouchesATakenOne)
{
    Open({"report.txt"}, 2);
    TypeName("notes");
    Click("cbCrFile");
    EXPECT_EQ(fs::file_size(work("notes")), 0u);
    EXPECT_EQ(files().Names(), (Names{"notes", "report.txt"}));

    TypeName("report.txt");
    Click("cbCrFile");
    EXPECT_EQ(readFile(work("report.txt")), "report.txt");
}

TEST_F(FilePagesTest, RenameGivesTheSelectedFileTheTypedName)
{
    Open({"photo.jpg", "other"}, 2);
    files().SelectFile("photo.jpg");
    TypeName("holiday");
    Click("cbRenFile");
    EXPECT_EQ(readFile(work("holiday")), "photo.jpg");
    EXPECT_EQ(files().Names(), (Names{"holiday", "other"}));
}

TEST_F(FilePagesTest, RenameOrDeleteWithNoFileSelectedSaysSoAndChangesNothing)
{
    Open({"a"}, 2);
    TypeName("b");
    DialogAnswerer answer;
    Click("cbRenFile");
    Click("cbDelFile");
    ASSERT_EQ(answer.texts().size(), 2);
    EXPECT_TRUE(answer.texts()[0].contains("No file is selected"));
    EXPECT_TRUE(fs::is_directory(root / "work"));
    EXPECT_EQ(readFile(work("a")), "a");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(FilePagesTest, JustDeleteDeletesOutrightAndAReadOnlyFileStaysWithAWarning)
{
    Open({"gone", "locked"}, 2);
    fs::permissions(work("locked"), fs::perms::owner_write, fs::perm_options::remove);
    Click("OptDel");
    files().SelectFile("gone");
    Click("cbDelFile");
    EXPECT_FALSE(fs::exists(work("gone")));
    EXPECT_FALSE(fs::exists(TrashFiles() / "gone"));

    files().SelectFile("locked");
    DialogAnswerer answer;
    Click("cbDelFile");
    ASSERT_EQ(answer.texts().size(), 1);
    EXPECT_TRUE(answer.texts()[0].contains("locked"));
    EXPECT_EQ(readFile(work("locked")), "locked");
    EXPECT_TRUE(window().isVisible());
}

TEST_F(FilePagesTest, DeleteToTheTrashAsksAboutTheOneFile)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    Open({"keep", "trash me"}, 2);
    files().SelectFile("keep");
    {
        DialogAnswerer no({QMessageBox::No});
        Click("cbDelFile");
        ASSERT_EQ(no.texts().size(), 1);
        EXPECT_TRUE(no.texts()[0].contains("keep"));
    }
    EXPECT_EQ(readFile(work("keep")), "keep");

    files().SelectFile("trash me");
    DialogAnswerer yes({QMessageBox::Yes});
    Click("cbDelFile");
    EXPECT_FALSE(fs::exists(work("trash me")));
    EXPECT_EQ(Trashed("trash me"), "trash me");
    EXPECT_EQ(files().Names(), Names{"keep"});
}

TEST_F(FilePagesTest, RenameAllNumbersTheFilesInTheListsOrder)
{
    Open({"b10", "B2", "a1"}, 3);
    TypeName("abc");
    Click("cbRenAll");
    EXPECT_EQ(readFile(work("abc1")), "a1");
    EXPECT_EQ(readFile(work("abc2")), "B2");
    EXPECT_EQ(readFile(work("abc3")), "b10");
    EXPECT_EQ(files().Names(), (Names{"abc1", "abc2", "abc3"}));
    EXPECT_EQ(readFile(work("sub") / "inside"), "inside");
}

TEST_F(FilePagesTest, JustDeleteAllDeletesEveryFileAndNoSubfolder)
{
    Open({"one", "two", ".hidden"}, 3);
    Click("OptDel");
    Click("cbDelAll");
    EXPECT_TRUE(files().Names().empty());
    EXPECT_EQ(readFile(work("sub") / "inside"), "inside");
    EXPECT_FALSE(fs::exists(work(".hidden")));
    EXPECT_FALSE(fs::exists(TrashFiles() / "one"));
}

TEST_F(FilePagesTest, DeleteAllToTheTrashAsksPerFileAndKeepsTheDeclinedOne)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    Open({"f1", "f2", "f3"}, 3);
    DialogAnswerer answer({QMessageBox::Yes, QMessageBox::No, QMessageBox::Yes});
    Click("cbDelAll");
    ASSERT_EQ(answer.texts().size(), 3);
    EXPECT_TRUE(answer.texts()[1].contains("f2"));
    EXPECT_EQ(files().Names(), Names{"f2"});
    EXPECT_EQ(Trashed("f1"), "f1");
    EXPECT_EQ(Trashed("f3"), "f3");
    EXPECT_FALSE(fs::exists(TrashFiles() / "f2"));
}

TEST_F(FilePagesTest, StopOnAQuestionEndsDeleteAllQuietly)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    Open({"f1", "f2", "f3", "f4"}, 3);
    DialogAnswerer answer({QMessageBox::Yes, QMessageBox::Abort});
    Click("cbDelAll");
    EXPECT_EQ(answer.texts().size(), 2);  // no more questions, and no warning
    EXPECT_EQ(Trashed("f1"), "f1");
    EXPECT_EQ(files().Names(), (Names{"f2", "f3", "f4"}));
}

// A Yes that cannot be carried out, as the folder was swapped or moved away while the question
// was open, moves nothing and is told, naming the file; then the window says what it shows.
TEST_F(FilePagesTest, AnAnswerMovesNothingOfAFolderThatTookTheShownOnesPlaceAndSaysSo)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    for (const bool swapped : {true, false}) {
        SCOPED_TRACE(swapped ? "swapped" : "moved away");
        const QStringList texts = DeleteReportWhile([&] {
            if (swapped)
                SwapWork({"report.txt"});
            else
                fs::rename(root / "work", root / "away");
        });
        ASSERT_EQ(texts.size(), 3);
        EXPECT_TRUE(texts[1].contains("report.txt") && texts[1].contains("moved or replaced its folder"))
            << texts[1].toStdString();
        EXPECT_TRUE(texts[2].contains("Nothing was changed"));
        EXPECT_EQ(readFile(root / "away" / "report.txt"), "report.txt");
        EXPECT_FALSE(fs::exists(TrashFiles() / "report.txt"));
        fs::remove_all(root / "work");
        fs::rename(root / "away", root / "work");
        tree().OpenFolder(root);
    }

    // Delete All: the first file goes; the swap during the second question stops the walk, and
    // the warning counts the file that went.
    tree().OpenFolder(root / "work");
    Touch(work("a.txt"), "a");
    Touch(work("b.txt"), "b");
    DialogAnswerer answer({QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Ok});
    answer.Before(1, [&] { SwapWork({"b.txt", "report.txt"}); });
    Click("cbDelAll");
    ASSERT_EQ(answer.texts().size(), 4);
    EXPECT_TRUE(answer.texts()[2].contains("b.txt"));
    EXPECT_TRUE(answer.texts()[3].contains("1 of its files")) << answer.texts()[3].toStdString();
    EXPECT_EQ(Trashed("a.txt"), "a");
    EXPECT_EQ(readFile(root / "away" / "b.txt"), "b");
    EXPECT_EQ(readFile(work("b.txt")), "newcomer");
}

TEST_F(FilePagesTest, AnAnswerMovesOnlyTheFileItNamedAndTheListsShowWhatChangedMeanwhile)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    const QStringList texts = DeleteReportWhile([&] {
        fs::remove(work("report.txt"));
        Touch(work("report.txt"), "newcomer");
        fs::create_directory(work("made meanwhile"));
    });
    ASSERT_EQ(texts.size(), 2);
    EXPECT_TRUE(texts.value(1).contains("another file took its place"));
    EXPECT_EQ(readFile(work("report.txt")), "newcomer");
    EXPECT_FALSE(fs::exists(TrashFiles() / "report.txt"));
    EXPECT_TRUE(Eventually([&] { return TreeRow("made meanwhile") >= 0; }));
}

// Clicks the window, as the window system delivers a click, whenever a question shows.
class ClickBehindQuestions final : public QObject {
public:
    ClickBehindQuestions(QWidget& window, QPoint at) : window_(window), at_(at)
    {
        qApp->installEventFilter(this);
    }
    ~ClickBehindQuestions() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && event->type() == QEvent::Show)  // the click comes once the question is up
            QTimer::singleShot(0, &window_, [this] {
                QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, at_);
            });
        return false;
    }

private:
    QWidget& window_;
    QPoint at_;
};

TEST_F(FilePagesTest, TheWindowTakesNoClicksWhileAQuestionIsUp)
{
    SKIP_WITHOUT_THE_TRASH_QUESTION();
    Open({"f1", "f2"}, 3);
    QWidget* justDelete = control("OptDel");
    DialogAnswerer answer({QMessageBox::Yes});
    // A click on "Just Delete" that got through would delete the second file outright.
    ClickBehindQuestions clicks(window(), justDelete->mapTo(&window(), justDelete->rect().center()));
    Click("cbDelAll");
    EXPECT_EQ(answer.texts().size(), 2);
    EXPECT_FALSE(control<QRadioButton>("OptDel")->isChecked());
    EXPECT_EQ(Trashed("f1"), "f1");
    EXPECT_EQ(Trashed("f2"), "f2");
}

// Ctrl+Z after Rename All takes every name back, also with the focus in the name box once the
// command has run; Ctrl+Shift+Z renames them all again; typing again gives the box its own
// Ctrl+Z, which leaves the files alone.
TEST_F(FilePagesTest, CtrlZUndoesRenameAllAndCtrlShiftZRedoesItThroughTheRealKeys)
{
    std::vector<std::string> names;
    for (int i = 0; i < 300; ++i)
        names.push_back("photo " + std::to_string(i));
    Open(names, 3);
    TypeName(QStringLiteral("q"));
    Click("cbRenAll");
    ASSERT_TRUE(fs::exists(work("q300")));
    control("txtName")->setFocus();
    PressKeys({Qt::Key_Z}, Qt::ControlModifier);
    EXPECT_EQ(files().Names().size(), 300u);
    EXPECT_EQ(readFile(work("photo 299")), "photo 299");
    EXPECT_FALSE(fs::exists(work("q1")));
    PressKeys({Qt::Key_Z}, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(readFile(work("q300")), "photo 299");
    QTest::keyClicks(control("txtName"), QStringLiteral("x"));
    PressKeys({Qt::Key_Z}, Qt::ControlModifier);
    EXPECT_NE(window().txtNameText(), "qx");  // the box's own undo of its typing
    EXPECT_TRUE(fs::exists(work("q300")));
}

} // namespace
} // namespace apptest
