// The Trash stand-in against the real freedesktop.org Trash, kept in a scratch folder.
#include "trash_shell.h"

#include "recycle_bin.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <QtGui/QImage>
#include <QtGui/QScreen>
#include <QtTest/QTest>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace {

fs::path dataHome;

// Whether the dialog's frame lies inside its screen's available area, with each of its buttons
// shown whole inside it.
bool FitsItsScreen(const QWidget& dialog)
{
    const QRect room = dialog.screen()->availableGeometry();
    const auto* box = dialog.findChild<QDialogButtonBox*>();
    if (!room.contains(dialog.frameGeometry()) || !box || box->buttons().isEmpty())
        return false;
    for (const QAbstractButton* button : box->buttons())
        if (!button->isVisible() || button->visibleRegion().boundingRect() != button->rect() ||
            !room.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())))
            return false;
    return true;
}

// Whether a label shows all of its text: no word wider than the label, no line below it.
bool ShowsAllItsText(const QLabel& label)
{
    return label.minimumSizeHint().width() <= label.width() &&
           (!label.hasHeightForWidth() || label.heightForWidth(label.width()) <= label.height());
}

// What one dialog showed when it was answered.
struct SeenDialog {
    QString name;
    QString text;  // its labels' texts and its texts' accessible names
    QImage image;
    bool fitsItsScreen = false;
    bool labelsShowAllText = true;
    Qt::TextFormat failureFormat = Qt::AutoText;
};

// Answers the modal dialogs as they come, in order, and remembers what they showed.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::deque<QDialogButtonBox::StandardButton> answers)
        : answers_(std::move(answers))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(5);
    }
    std::vector<SeenDialog> seen;

    QStringList names() const
    {
        QStringList names;
        for (const SeenDialog& dialog : seen)
            names << dialog.name;
        return names;
    }

private:
    void answer()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || answers_.empty())
            return;
        seen.push_back(look(*dialog));
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        QAbstractButton* button = buttons ? buttons->button(answers_.front()) : nullptr;
        answers_.pop_front();
        if (button)
            button->click();
    }

    static SeenDialog look(QWidget& dialog)
    {
        SeenDialog seen{dialog.objectName(), {}, dialog.grab().toImage(), FitsItsScreen(dialog)};
        QStringList texts;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            texts << label->text();
            if (label->isVisible() && !label->text().isEmpty())
                seen.labelsShowAllText = seen.labelsShowAllText && ShowsAllItsText(*label);
        }
        for (const QWidget* child : dialog.findChildren<QWidget*>())
            if (!child->accessibleName().isEmpty())
                texts << child->accessibleName();
        seen.text = texts.join('\n');
        if (auto* box = qobject_cast<QMessageBox*>(&dialog))
            seen.failureFormat = box->textFormat();
        return seen;
    }

    std::deque<QDialogButtonBox::StandardButton> answers_;
    QTimer timer_;
};

// Presses keys in the modal dialogs as they come, one key per dialog.
class KeyPresser {
public:
    explicit KeyPresser(std::deque<int> keys) : keys_(std::move(keys))
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog || keys_.empty())
                return;
            QTest::keyClick(dialog, static_cast<Qt::Key>(keys_.front()));
            keys_.pop_front();
        });
        timer_.start(5);
    }

private:
    std::deque<int> keys_;
    QTimer timer_;
};

class TrashShellTest : public ::testing::Test {
protected:
    TrashShellTest()
    {
        folder_ = fs::path(scratch_.path().toStdString());
        shell.attach(nullptr, [this] { return russian; });
    }

    fs::path write(const std::string& name, const std::string& content = "data")
    {
        std::ofstream(folder_ / name, std::ios::binary) << content;
        return folder_ / name;
    }

    static fs::path trashed(const std::string& name) { return dataHome / "Trash/files" / name; }

    static std::string read(const fs::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    // The original path recorded in the file's .trashinfo, percent-decoded.
    static std::string recordedPath(const std::string& name)
    {
        const std::string info = read(dataHome / "Trash/info" / (name + ".trashinfo"));
        const auto start = info.find("Path=") + 5;
        const std::string encoded = info.substr(start, info.find('\n', start) - start);
        return QByteArray::fromPercentEncoding(QByteArray::fromStdString(encoded)).toStdString();
    }

    QTemporaryDir scratch_{QString::fromStdString((dataHome.parent_path() / "files-XXXXXX").string())};
    fs::path folder_;
    app::TrashShell shell;
    bool russian = false;
};

TEST_F(TrashShellTest, AConfirmedFileMovesToTheTrashWithItsExactPathRecorded)
{
    const fs::path file = write("50% off report.txt", "contents");
    BoxAnswerer answerer({QDialogButtonBox::Yes});
    commands::DeleteToRecycleBin(shell, file);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(read(trashed("50% off report.txt")), "contents");
    EXPECT_EQ(recordedPath("50% off report.txt"), file.string());
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_TRUE(answerer.seen[0].text.contains("50% off report.txt"));
}

TEST_F(TrashShellTest, ADeclinedQuestionKeepsTheFileAndTheTrashUnchanged)
{
    const fs::path file = write("keep me", "kept");
    BoxAnswerer answerer({QDialogButtonBox::No});
    commands::DeleteToRecycleBin(shell, file);
    EXPECT_EQ(read(file), "kept");
    EXPECT_FALSE(fs::exists(trashed("keep me")));
    EXPECT_EQ(answerer.names(), QStringList{"TrashQuestion"});
}

TEST_F(TrashShellTest, EnterAnswersYesAndEscAnswersNo)
{
    const fs::path first = write("first", "1");
    const fs::path second = write("second", "2");
    KeyPresser presser({Qt::Key_Escape, Qt::Key_Return});
    commands::DeleteToRecycleBin(shell, first);
    commands::DeleteToRecycleBin(shell, second);
    EXPECT_EQ(read(first), "1");
    EXPECT_EQ(read(trashed("second")), "2");
}

TEST_F(TrashShellTest, ANameThatIsNotUtf8IsTrashedExactly)
{
    const std::string name = "caf\xe9 \xff";
    const fs::path file = write(name, "latin1");
    BoxAnswerer answerer({QDialogButtonBox::Yes});
    commands::DeleteToRecycleBin(shell, file);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(read(trashed(name)), "latin1");
    EXPECT_EQ(recordedPath(name), file.string());
}

TEST_F(TrashShellTest, AFileTheTrashCannotTakeIsReportedAndNeverDeleted)
{
    BoxAnswerer answerer({QDialogButtonBox::Yes, QDialogButtonBox::Ok});
    commands::DeleteToRecycleBin(shell, folder_ / "vanished");
    ASSERT_EQ(answerer.names(), (QStringList{"TrashQuestion", "TrashFailure"}));
    EXPECT_TRUE(answerer.seen[1].text.contains("vanished"));
}

TEST_F(TrashShellTest, QuestionsFollowTheWindowsLanguage)
{
    const fs::path file = write("файл");
    russian = true;
    BoxAnswerer answerer({QDialogButtonBox::No});
    commands::DeleteToRecycleBin(shell, file);
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_TRUE(answerer.seen[0].text.contains(QString::fromUtf8("корзину")));
    EXPECT_TRUE(answerer.seen[0].text.contains(QString::fromUtf8("файл")));
}

TEST_F(TrashShellTest, TwoLongNamesThatDifferOnlyInTheMiddleAskDifferentQuestions)
{
    // Wide letters: a line of them is far wider than the same count of average ones.
    const std::string start(110, 'W'), end(130, 'W');
    BoxAnswerer answerer({QDialogButtonBox::No, QDialogButtonBox::No});
    commands::DeleteToRecycleBin(shell, write(start + "1" + end));
    commands::DeleteToRecycleBin(shell, write(start + "2" + end));
    ASSERT_EQ(answerer.seen.size(), 2u);
    EXPECT_NE(answerer.seen[0].image, answerer.seen[1].image) << "the two questions look alike";
}

TEST_F(TrashShellTest, AVeryLongPathKeepsTheQuestionAndTheFailureOnTheScreen)
{
    fs::path path = folder_;
    while (path.native().size() < 3700)
        path /= std::string(250, 'd');
    path /= "missing file";
    BoxAnswerer answerer({QDialogButtonBox::Yes, QDialogButtonBox::Ok});
    commands::DeleteToRecycleBin(shell, path);
    ASSERT_EQ(answerer.names(), (QStringList{"TrashQuestion", "TrashFailure"}));
    EXPECT_TRUE(answerer.seen[0].fitsItsScreen) << "the question or its buttons are off the screen";
    EXPECT_TRUE(answerer.seen[0].text.contains(QString::fromStdString(path.parent_path().native())))
        << "the question lost a part of the folder";
    EXPECT_TRUE(answerer.seen[1].fitsItsScreen) << "the failure box or its button are off the screen";
    EXPECT_TRUE(answerer.seen[1].labelsShowAllText) << "the failure box clips its message";
}

// Names from the disk are never markup, nor can they break or reorder the text around them.
TEST_F(TrashShellTest, NamesAreShownAsTheyAreWrittenNeverAsMarkup)
{
    const QString image = "<img width=3000 height=3000 src=x>";
    const QString font = "<font color=red size=7>big &amp; red";
    for (const QString& name : {image, font}) {
        BoxAnswerer answerer({QDialogButtonBox::Yes, QDialogButtonBox::Ok});
        commands::DeleteToRecycleBin(shell, folder_ / name.toStdString());  // no such file
        ASSERT_EQ(answerer.names(), (QStringList{"TrashQuestion", "TrashFailure"}))
            << name.toStdString();
        for (const SeenDialog& seen : answerer.seen) {
            const std::string what = (seen.name + " for " + name).toStdString();
            EXPECT_TRUE(seen.text.contains(name)) << what << ": " << seen.text.toStdString();
            EXPECT_TRUE(seen.fitsItsScreen) << what;
            EXPECT_LT(seen.image.height(), 300) << what;
        }
        EXPECT_EQ(answerer.seen[1].failureFormat, Qt::PlainText);
    }
    const std::string disguised = "line\nbreak\u202Etxt.exe";
    BoxAnswerer answerer({QDialogButtonBox::No});
    commands::DeleteToRecycleBin(shell, write(disguised));
    ASSERT_EQ(answerer.seen.size(), 1u);
    EXPECT_TRUE(answerer.seen[0].text.contains(QString::fromUtf8("line\uFFFDbreak\uFFFDtxt.exe")))
        << answerer.seen[0].text.toStdString();
}

TEST_F(TrashShellTest, ARequestThatCannotBeUndoneIsRefusedUntouched)
{
    const fs::path file = write("precious", "P");
    commands::ShellFileOperation request;
    request.wFunc = commands::ShellFileOperation::foDelete;
    request.pFrom = file.string() + '\0';
    request.fFlags = commands::ShellFileOperation::fofNoConfirmation;  // no allow-undo
    EXPECT_NE(shell.SHFileOperation(request), 0);
    EXPECT_EQ(read(file), "P");
}

} // namespace

int main(int argc, char** argv)
{
    // One scratch data home for the whole run: GLib reads XDG_DATA_HOME once.
    QTemporaryDir home(QDir::tempPath() + "/ffname-trash-XXXXXX");
    home.setAutoRemove(false);  // Qt cannot remove names that are not UTF-8
    dataHome = fs::path(home.path().toStdString()) / "data";
    fs::create_directories(dataHome);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    fs::remove_all(dataHome.parent_path());
    return result;
}
