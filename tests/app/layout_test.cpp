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

// Where each control of the table lies in the window, and its font.
std::map<std::string, std::pair<QRect, QFont>> Places(QWidget& window)
{
    std::map<std::string, std::pair<QRect, QFont>> places;
    for (const ControlLayout& row : windowLayout) {
        auto* control = window.findChild<QWidget*>(row.name);
        places[row.name] = {QRect(control->mapTo(&window, QPoint()), control->size()),
                            control->font()};
    }
    return places;
}

TEST_F(LayoutTest, ALargerWindowGivesTheListsTheRoomAndTheRestKeepsItsSizeAtItsEdge)
{
    StartWindow();
    const QSize designed = window().size();
    EXPECT_EQ(window().minimumSize(), designed);
    EXPECT_GT(window().maximumWidth(), 10 * designed.width());  // it can be maximised
    const QSize extra(301, 197);
    for (const char* language : {"OptEng", "OptRus"}) {
        SCOPED_TRACE(language);
        control<QRadioButton>(language)->click();
        const auto before = Places(window());
        window().resize(designed + extra);
        const auto after = Places(window());
        const auto grew = [&](const char* name) {
            return after.at(name).first.size() - before.at(name).first.size();
        };
        const auto moved = [&](const char* name) {
            return after.at(name).first.topLeft() - before.at(name).first.topLeft();
        };
        EXPECT_EQ(grew("DirDrive"), QSize(150, 0));
        EXPECT_EQ(grew("DirFolder"), QSize(150, 197));
        EXPECT_EQ(grew("txtName"), QSize(151, 0));
        EXPECT_EQ(grew("DirFiles"), QSize(151, 197));
        EXPECT_EQ(moved("DirFiles"), QPoint(150, 0));
        EXPECT_EQ(moved("txtName"), QPoint(150, 0));
        EXPECT_EQ(moved("Label1"), QPoint(150 + 75, 0));  // over the name box's middle
        for (const char* right : {"TabStrip1", "FrameFolder", "cbCr", "cbDel", "cbRen", "cbRenAll",
                                  "cbDelAll", "cbCrFile", "cbRenFile", "cbDelFile"})
            EXPECT_EQ(moved(right), QPoint(301, 0)) << right;
        EXPECT_EQ(moved("Frame1"), QPoint(0, 197));
        EXPECT_EQ(moved("Frame2"), QPoint(301, 197));
        for (const ControlLayout& row : windowLayout) {
            if (row.kind != ControlKind::FolderTree && row.kind != ControlKind::FileList &&
                row.kind != ControlKind::DriveList && row.kind != ControlKind::TextBox) {
                EXPECT_EQ(grew(row.name), QSize(0, 0)) << row.name;
            }
            // The captions' fonts were fitted once, to the sizes that they keep.
            EXPECT_EQ(after.at(row.name).second, before.at(row.name).second) << row.name;
        }
        window().resize(designed - QSize(40, 40));
        EXPECT_EQ(Places(window()), before);
        EXPECT_EQ(window().size(), designed);
    }
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
