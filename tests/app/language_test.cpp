// The two caption languages.
#include "window_fixture.h"

#include "caption_fit.h"
#include "captions.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOptionButton>

namespace apptest {
namespace {

class LanguageTest : public WindowFixture {
protected:
    // The caption of each row that a language switch writes, as the window shows it now.
    QStringList Shown()
    {
        QStringList shown;
        for (const app::Caption& caption : app::captions) {
            if (!caption.russian)
                continue;
            QWidget* widget = control(caption.control);
            auto* tabs = qobject_cast<QTabBar*>(widget);
            shown << (tabs ? tabs->tabText(caption.tab - 1) : CaptionOf(*widget));
        }
        return shown;
    }
    static QStringList Texts(std::initializer_list<const char*> texts)
    {
        QStringList list;
        for (const char* text : texts)
            list << QString::fromUtf8(text);
        return list;
    }
    // What both languages leave alone.
    void ExpectFixedCaptions()
    {
        EXPECT_EQ(window().windowTitle(), "FF Name");
        EXPECT_EQ(control<QGroupBox>("Frame1")->title(), "Select Language");
        EXPECT_EQ(control<QRadioButton>("OptEng")->text(), "English");
        EXPECT_EQ(control<QRadioButton>("OptRus")->text(), "Russian");
    }
};

const QStringList english = {
    "Create", "Rename", "Delete", "Create", "Rename", "Delete", "Rename All Files",
    "Delete All Files", "File / Folder Name", "Folder", "File", "All Files",
    "With request and to Recycle Bin", "Just Delete", "Method of Files Delete"};

TEST_F(LanguageTest, RussianThenEnglishRestoresEveryStartCaption)
{
    StartWindow();
    EXPECT_EQ(Shown(), english);
    Click("OptRus");
    EXPECT_EQ(Shown(), Texts({"Создать", "Переименовать", "Удалить", "Создать", "Переименовать",
                              "Удалить", "Переименовать все файлы", "Удалить все файлы",
                              "Имя файла / папки", "Папка", "Файл", "Все файлы",
                              "Удалить с запросом в корзину", "Просто удалить",
                              "Метод удаления файлов"}));
    EXPECT_TRUE(window().RussianShown());
    ExpectFixedCaptions();
    Click("OptEng");
    EXPECT_EQ(Shown(), english);
    EXPECT_FALSE(window().RussianShown());
    ExpectFixedCaptions();
}

TEST_F(LanguageTest, HiddenPagesShowTheNewCaptionsWhenShown)
{
    StartWindow();
    ClickTab(3);
    Click("OptRus");
    ClickTab(1);
    EXPECT_EQ(control<QPushButton>("cbCr")->text(), QString::fromUtf8("Создать"));
    EXPECT_EQ(control<QPushButton>("cbRen")->text(), QString::fromUtf8("Переименовать"));
    ClickTab(2);
    EXPECT_EQ(control<QPushButton>("cbDelFile")->text(), QString::fromUtf8("Удалить"));
}

TEST_F(LanguageTest, SwitchingKeepsTabPageNameSelectionAndDeleteMethod)
{
    Touch(root / "kept.txt");
    StartWindow();
    ClickTab(2);
    TypeName("  typed ");
    files().SelectFile("kept.txt");
    Click("OptDel");
    for (const char* option : {"OptRus", "OptEng"}) {
        SCOPED_TRACE(option);
        Click(option);
        EXPECT_EQ(control<QTabBar>("TabStrip1")->currentIndex(), 1);
        EXPECT_EQ(PagesShown(), std::vector<bool>({false, true, false}));
        EXPECT_EQ(window().txtNameText(), "  typed ");
        EXPECT_EQ(window().DirFilesFileName(), "kept.txt");
        EXPECT_TRUE(window().OptDelValue());
    }
}

// The width that a control needs to show its caption on one line.
int CaptionWidth(QWidget& control)
{
    if (auto* frame = qobject_cast<QGroupBox*>(&control))
        return frame->minimumSizeHint().width();
    return control.sizeHint().width();
}

// Every caption shows whole: a button caption that is too wide for one line wraps onto two,
// and the two lines fit the button's height; another caption fits on its one line, in the
// layout's fonts and in wider ones that a system may draw in their place.
class CaptionFitTest : public LanguageTest, public testing::WithParamInterface<const char*> {
protected:
    void SetUp() override
    {
        LanguageTest::SetUp();
        if (*GetParam())
            QFont::insertSubstitution(QStringLiteral("Times New Roman"), QString::fromUtf8(GetParam()));
    }
    void TearDown() override
    {
        QFont::removeSubstitutions(QStringLiteral("Times New Roman"));
        LanguageTest::TearDown();
    }
};

TEST_P(CaptionFitTest, CaptionsFitTheirControlsInBothLanguages)
{
    StartWindow();
    for (const char* option : {"OptEng", "OptRus"}) {
        Click(option);
        for (const char* name : {"Label1", "TabStrip1", "Frame1", "Frame2"}) {
            SCOPED_TRACE(name);
            EXPECT_LE(CaptionWidth(*control(name)), control(name)->width());
        }
        // An option's caption that does not fit on one line at 7 points wraps beside the
        // indicator, and stays readable.
        for (const char* name : {"OptEng", "OptRus", "OptDelRec", "OptDel"}) {
            SCOPED_TRACE(name);
            QRadioButton& option = *control<QRadioButton>(name);
            QStyleOptionButton style;
            style.initFrom(&option);
            const QRect space =
                option.style()->subElementRect(QStyle::SE_RadioButtonContents, &style, &option);
            const QRect needed =
                option.fontMetrics().boundingRect(space, Qt::TextWordWrap, option.text());
            if (CaptionWidth(option) <= option.width())
                continue;
            EXPECT_LE(needed.width(), space.width());
            EXPECT_LE(needed.height(), space.height());
            EXPECT_GE(option.font().pointSizeF(), 7.0);
        }
        for (QPushButton* button : window().findChildren<QPushButton*>()) {
            SCOPED_TRACE(button->text().toStdString());
            const QRect space = button->rect().adjusted(2, 0, -2, 0);
            const QRect needed = button->fontMetrics().boundingRect(
                space, Qt::AlignCenter | Qt::TextWordWrap, button->text());
            EXPECT_LE(needed.width(), space.width());
            EXPECT_LE(needed.height(), space.height());
        }
        QTabBar* tabs = control<QTabBar>("TabStrip1");
        EXPECT_LE(tabs->tabRect(2).right(), tabs->width());
    }
    // A default font taller than the name box is fitted to its height: its text shows whole.
    QFont tall = window().font();
    tall.setPointSizeF(tall.pointSizeF() * 3);
    window().setFont(tall);
    app::FitCaptions(window());
    QLineEdit* box = control<QLineEdit>("txtName");
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    EXPECT_LE(box->fontMetrics().height(), box->height() - 2 * frame);
}

// The layout's own fonts, and a serif wider than Times New Roman in its place.
INSTANTIATE_TEST_SUITE_P(Fonts, CaptionFitTest, testing::Values("", "DejaVu Serif"),
                         [](const auto& row) {
                             return std::string(*row.param ? "DejaVuSerifForTimes" : "LayoutFonts");
                         });

} // namespace
} // namespace apptest
