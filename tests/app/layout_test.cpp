// The window's layout table checked against the real widgets.
#include "window_fixture.h"

#include "captions.h"

#include "layout.h"

#include <QtGui/QFontInfo>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>

#include <map>

namespace apptest {
namespace {

using app::ControlFont;
using app::ControlKind;
using app::ControlLayout;
using app::windowLayout;

// True when the widget is of the row's kind.
bool IsOfKind(const QWidget* widget, ControlKind kind)
{
    static const std::map<ControlKind, const QMetaObject*> classes = {
        {ControlKind::DriveList, &app::DriveList::staticMetaObject},
        {ControlKind::FolderTree, &app::FolderTree::staticMetaObject},
        {ControlKind::FileList, &app::FileList::staticMetaObject},
        {ControlKind::TextBox, &QLineEdit::staticMetaObject},
        {ControlKind::Label, &QLabel::staticMetaObject},
        {ControlKind::Frame, &QGroupBox::staticMetaObject},
        {ControlKind::Option, &QRadioButton::staticMetaObject},
        {ControlKind::Button, &QPushButton::staticMetaObject},
        {ControlKind::Tabs, &QTabBar::staticMetaObject}};
    return widget->metaObject()->inherits(classes.at(kind));
}

using LayoutTest = WindowFixture;

TEST_F(LayoutTest, EveryControlHasItsKindPlaceFontAndCaption)
{
    StartWindow();
    const qreal dpiX = window().logicalDpiX();
    const qreal dpiY = window().logicalDpiY();
    const auto px = [](int twips, qreal dpi) { return qRound(twips * dpi / 1440.0); };
    EXPECT_EQ(window().objectName(), "cbCrFile");
    EXPECT_EQ(window().windowTitle(), "FF Name");
    EXPECT_EQ(window().size(), QSize(px(9468, dpiX), px(3780, dpiY)));
    EXPECT_FALSE(window().windowIcon().isNull());
    const QFont windowFont = window().font();

    ASSERT_EQ(windowLayout.size(), 23u);
    for (const ControlLayout& row : windowLayout) {
        SCOPED_TRACE(row.name);
        // Every place and size of the layout is a multiple of 12 twips.
        for (int twips : {row.left, row.top, row.width, row.height})
            EXPECT_EQ(twips % 12, 0) << twips;
        QWidget* widget = control(row.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_TRUE(IsOfKind(widget, row.kind));
        EXPECT_EQ(widget->parentWidget()->objectName(), row.container ? row.container : "cbCrFile");
        EXPECT_EQ(widget->geometry(), QRect(px(row.left, dpiX), px(row.top, dpiY),
                                            px(row.width, dpiX), px(row.height, dpiY)));
        const QFont font = widget->font();
        switch (row.font) {
        case ControlFont::Default:
            EXPECT_EQ(font, windowFont);
            break;
        case ControlFont::TimesNewRoman9Bold:
        case ControlFont::TimesNewRoman78:
            EXPECT_EQ(font.family(), "Times New Roman");
            const bool bold = row.font == ControlFont::TimesNewRoman9Bold;
            EXPECT_DOUBLE_EQ(font.pointSizeF(), bold ? 9.0 : 7.8);
            EXPECT_EQ(font.weight(), bold ? QFont::Bold : QFont::Normal);
            EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
            break;
        }
        if (const char* caption = app::StartCaption(row.name)) {
            EXPECT_EQ(CaptionOf(*widget), QString::fromUtf8(caption));
        }
        EXPECT_TRUE(widget->toolTip().isEmpty());
    }
    auto* tabs = control<QTabBar>("TabStrip1");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Folder");
    EXPECT_EQ(tabs->tabText(1), "File");
    EXPECT_EQ(tabs->tabText(2), "All Files");
}

TEST_F(LayoutTest, ALargerWindowGivesTheListsTheRoomAndTheRestKeepsItsSizeAtItsEdge)
{
    StartWindow();
    const QSize designed = window().size();
    EXPECT_EQ(window().minimumSize(), designed);
    EXPECT_GT(window().maximumWidth(), 10 * designed.width());  // it can be maximised
    // In a window 301 x 197 pixels larger: how far each control moves (left, top) and grows
    // (width, height) in its container; the others keep their place and size.
    const std::map<std::string, QRect> changes = {
        {"DirDrive", {0, 0, 150, 0}}, {"DirFolder", {0, 0, 150, 197}}, {"txtName", {150, 0, 151, 0}},
        {"DirFiles", {150, 0, 151, 197}}, {"Label1", {225, 0, 0, 0}}, {"Frame1", {0, 197, 0, 0}},
        {"Frame2", {301, 197, 0, 0}}, {"TabStrip1", {301, 0, 0, 0}}, {"FrameFolder", {301, 0, 0, 0}},
        {"FrameFile", {301, 0, 0, 0}}, {"FrameAllFiles", {301, 0, 0, 0}}};
    for (const char* language : {"OptEng", "OptRus"}) {
        control<QRadioButton>(language)->click();
        for (const ControlLayout& row : windowLayout) {
            QWidget* widget = control(row.name);
            const QRect was = widget->geometry();
            const QFont font = widget->font();  // captions were fitted to the sizes they keep
            window().resize(designed + QSize(301, 197));
            const QRect by = changes.contains(row.name) ? changes.at(row.name) : QRect();
            EXPECT_EQ(widget->geometry(), QRect(was.topLeft() + by.topLeft(), was.size() + by.size()))
                << language << ' ' << row.name;
            EXPECT_EQ(widget->font(), font) << language << ' ' << row.name;
            window().resize(designed - QSize(40, 40));  // no smaller than designed
            EXPECT_EQ(widget->geometry(), was) << language << ' ' << row.name;
        }
    }
    EXPECT_EQ(window().size(), designed);
}

TEST_F(LayoutTest, StartsInEnglishOnTheFolderPageWithTheRecycleBinMethod)
{
    StartWindow();
    EXPECT_TRUE(control<QRadioButton>("OptEng")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("OptRus")->isChecked());
    EXPECT_TRUE(control<QRadioButton>("OptDelRec")->isChecked());
    EXPECT_FALSE(control<QRadioButton>("OptDel")->isChecked());
    EXPECT_FALSE(window().OptDelValue());
    EXPECT_TRUE(control<QLineEdit>("txtName")->text().isEmpty());
    EXPECT_EQ(control<QTabBar>("TabStrip1")->currentIndex(), 0);
    EXPECT_EQ(PagesShown(), std::vector<bool>({true, false, false}));
    EXPECT_EQ(window().focusWidget(), control("DirDrive"));
}

TEST_F(LayoutTest, TabOrderFollowsTheTableAndFramesTakeNoFocus)
{
    StartWindow();
    QStringList expected;
    for (const ControlLayout& row : windowLayout)
        if (control(row.name)->focusPolicy() != Qt::NoFocus)
            expected << row.name;
    for (const char* unfocused : {"Label1", "Frame1", "FrameFolder", "FrameFile", "FrameAllFiles",
                                  "Frame2"})
        EXPECT_FALSE(expected.contains(unfocused)) << unfocused;
    EXPECT_EQ(expected.size(), 17);

    QStringList chain;
    QWidget* widget = control("DirDrive");
    do {
        if (expected.contains(widget->objectName()) && !chain.contains(widget->objectName()))
            chain << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != control("DirDrive"));
    EXPECT_EQ(chain, expected);
}

TEST_F(LayoutTest, TabKeyVisitsTheSelectedOptionsAndTheVisiblePageOnly)
{
    StartWindow();
    QApplication::setActiveWindow(&window());
    control("DirDrive")->setFocus();
    EXPECT_EQ(PressKeys(std::vector<Qt::Key>(10, Qt::Key_Tab)),
              QStringList({"DirFolder", "DirFiles", "txtName", "OptEng", "cbCr", "cbDel", "cbRen",
                           "TabStrip1", "OptDelRec", "DirDrive"}));
}

TEST_F(LayoutTest, ControlsLieOneOverAnotherInTheTablesOrder)
{
    StartWindow();
    // Front first; a widget later among its parent's children lies over an earlier one.
    const std::vector<std::vector<const char*>> stacks = {
        {"Frame2", "TabStrip1", "FrameAllFiles", "FrameFile", "FrameFolder", "Frame1", "txtName",
         "DirFiles", "DirFolder", "DirDrive", "Label1"},
        {"OptDel", "OptDelRec"},
        {"OptRus", "OptEng"},
    };
    for (const auto& stack : stacks) {
        for (std::size_t i = 1; i < stack.size(); ++i) {
            QWidget* front = control(stack[i - 1]);
            QWidget* back = control(stack[i]);
            const QObjectList& siblings = front->parentWidget()->children();
            EXPECT_GT(siblings.indexOf(front), siblings.indexOf(back))
                << stack[i - 1] << " over " << stack[i];
        }
    }
    // A click on the text "Russian" reaches OptRus, although OptEng's box reaches under it.
    QWidget* russian = control("OptRus");
    const QPoint onText = russian->mapTo(&window(), QPoint(russian->width() - 10, russian->height() / 2));
    EXPECT_EQ(window().childAt(onText), russian);
}

TEST_F(LayoutTest, EnterAndEscPressNoButton)
{
    StartWindow();
    TypeName("made by Enter");
    for (QPushButton* button : window().findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->text().contains(u'&')) << button->objectName().toStdString();
    }
    QTest::keyClick(control("txtName"), Qt::Key_Return);
    QTest::keyClick(control("txtName"), Qt::Key_Escape);
    EXPECT_FALSE(fs::exists(root / "made by Enter"));
    EXPECT_TRUE(window().isVisible());
}

} // namespace
} // namespace apptest
