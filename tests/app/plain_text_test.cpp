// Names from the disk are shown as they are written, never as markup, and never in a way
// that breaks lines or sizes a box past the screen.
#include "window_fixture.h"

#include <QtGui/QClipboard>
#include <QtGui/QScreen>

namespace apptest {
namespace {

class PlainTextTest : public WindowFixture {
protected:
    void SetUp() override
    {
        WindowFixture::SetUp();
        fs::create_directory(root / "work");
        StartWindow();
    }

    // Deletes the read-only file of that name with "Just Delete": the one warning shown.
    SeenDialog DeleteReadOnly(const fs::path& folder, const std::string& name,
                                       QString& text)
    {
        Touch(folder / name);
        fs::permissions(folder / name, fs::perms::owner_write, fs::perm_options::remove);
        tree().OpenFolder(folder);
        ClickTab(2);
        Click("OptDel");
        files().SelectFile(name);
        DialogAnswerer answer;
        Click("cbDelFile");
        EXPECT_EQ(answer.texts().size(), 1);
        EXPECT_TRUE(fs::exists(folder / name));
        text = answer.texts().value(0);
        return answer.seen().empty() ? SeenDialog{} : answer.seen().front();
    }

    QSize Screen() { return window().screen()->availableGeometry().size(); }
};

TEST_F(PlainTextTest, MarkupInANameIsShownLiterallyInASmallBox)
{
    for (const std::string name :
         {"<img width=3000 height=3000 src=x>", "<font color=red size=7>big"}) {
        SCOPED_TRACE(name);
        const fs::path folder = root / "work" / std::to_string(name.size());
        fs::create_directory(folder);
        QString text;
        const SeenDialog look = DeleteReadOnly(folder, name, text);
        EXPECT_EQ(look.textFormat, Qt::PlainText);
        EXPECT_TRUE(text.contains(QString::fromStdString(name)));
        EXPECT_LE(look.size.width(), Screen().width());
        EXPECT_LE(look.size.height(), Screen().height() / 2);
    }
}

TEST_F(PlainTextTest, ANameCannotBreakLinesOrHideAPartOfItself)
{
    Touch(root / "work" / "two\nlines");
    Touch(root / "work" / "photo\u202egpj.exe");
    tree().OpenFolder(root / "work");
    QStringList shown;
    for (int row = 0; row < files().model()->rowCount(); ++row)
        shown << files().model()->index(row, 0).data().toString();
    EXPECT_EQ(shown, (QStringList{QStringLiteral("photo\ufffdgpj.exe"),
                                  QStringLiteral("two\ufffdlines")}));
    EXPECT_EQ(files().Names(), (std::vector<fs::path>{"photo\u202egpj.exe", "two\nlines"}));
}

// The name box holds one line: of a paste, what comes before its first line break, put where
// the cursor is; a tab stays.
TEST_F(PlainTextTest, APasteIntoTheNameBoxKeepsItsFirstLine)
{
    tree().OpenFolder(root / "work");
    auto* box = control<QLineEdit>("txtName");
    const struct {
        QString pasted;
        QString boxHolds;
    } rows[] = {{QStringLiteral("copied\n"), QStringLiteral("acopiedb")},
                {QStringLiteral("one\r\ntwo"), QStringLiteral("aoneb")},
                {QStringLiteral("x\u2029y"), QStringLiteral("axb")},
                {QStringLiteral("tab\there"), QStringLiteral("atab\thereb")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pasted.toStdString());
        TypeName(QStringLiteral("ab"));
        QTest::keyClick(box, Qt::Key_Left);
        QApplication::clipboard()->setText(row.pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), row.boxHolds);
    }
    box->setText(QStringLiteral("set\nby the program"));
    EXPECT_EQ(box->text(), QStringLiteral("set"));
    ClickTab(2);
    TypeName(QStringLiteral("name"));
    QApplication::clipboard()->setText(QStringLiteral(" end\n"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    Click("cbCrFile");
    EXPECT_EQ(std::vector<fs::path>(fs::directory_iterator(root / "work"), {}),
              std::vector<fs::path>{root / "work" / "name end"});
}

// A folder path of about 3,700 bytes: the warning that names it stays on the screen.
TEST_F(PlainTextTest, AWarningForAVeryLongPathFitsTheScreen)
{
    fs::path deep = root / "work";
    for (int level = 0; level < 18; ++level)
        deep /= std::string(200, char('a' + level));
    fs::create_directories(deep);
    QString text;
    const SeenDialog look = DeleteReadOnly(deep, "read only", text);
    EXPECT_LE(look.size.width(), Screen().width());
    EXPECT_LE(look.size.height(), Screen().height());
}

} // namespace
} // namespace apptest
