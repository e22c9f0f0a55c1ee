#include "captions.h"

#include "caption_button.h"
#include "layout.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTabBar>

namespace app {

const std::array<CaptionStep, 15> captionSteps = {{
    {"cbCr", 0},      {"cbRen", 0},     {"cbDel", 0},     {"cbCrFile", 0},  {"cbRenFile", 0},
    {"cbDelFile", 0}, {"cbRenAll", 0},  {"cbDelAll", 0},  {"Label1", 0},    {"TabStrip1", 1},
    {"TabStrip1", 2}, {"TabStrip1", 3}, {"OptDelRec", 0}, {"OptDel", 0},    {"Frame2", 0},
}};

const CaptionSet englishCaptions = {
    "Create", "Rename", "Delete", "Create", "Rename", "Delete", "Rename All Files",
    "Delete All Files", "File / Folder Name", "Folder", "File", "All Files",
    "With request and to Recycle Bin", "Just Delete", "Method of Files Delete",
};

const CaptionSet russianCaptions = {
    "Создать", "Переименовать", "Удалить", "Создать", "Переименовать", "Удалить",
    "Переименовать все файлы", "Удалить все файлы", "Имя файла / папки", "Папка", "Файл",
    "Все файлы", "Удалить с запросом в корзину", "Просто удалить", "Метод удаления файлов",
};

const WarningTexts englishWarnings = {
    "No file is selected.",
    "Cannot use \u201c%1\u201d: %2.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program has moved or "
    "replaced it. Nothing was changed; the lists now show what is there.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program has moved or "
    "replaced it. %2 of its files had been deleted or moved to the Trash before; nothing more was "
    "changed, and the lists now show what is there.",
    "The folder that the program was started in cannot be used: %1. The window shows "
    "\u201c%2\u201d instead.",
    "Cannot use \u201c%1\u201d: %2. The window shows \u201c%3\u201d instead.",
    "Something went wrong: %1. Nothing more was done, and the window can be used on.",
};

const WarningTexts russianWarnings = {
    "Файл не выбран.",
    "Не удаётся использовать «%1»: %2.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её. "
    "Ничего не изменено; списки показывают то, что там есть сейчас.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её. "
    "До этого удалено или перемещено в корзину файлов: %2; больше ничего не изменено, списки "
    "показывают то, что там есть сейчас.",
    "Папку, в которой запущена программа, нельзя использовать: %1. Вместо неё показана «%2».",
    "Не удаётся использовать «%1»: %2. Вместо неё показана «%3».",
    "Произошла ошибка: %1. Больше ничего не сделано, окном можно пользоваться дальше.",
};

const TrashTexts englishTrashTexts = {
    "Delete File", "Do you want to move \u201c%1\u201d to the Trash?", "Yes", "No", "Delete File",
    "\u201c%1\u201d could not be moved to the Trash: %2",
    "Stop",
    "\u201c%1\u201d was not moved to the Trash: another file took its place while the question "
    "was open.",
};

const TrashTexts russianTrashTexts = {
    "Удаление файла", "Переместить «%1» в корзину?", "Да", "Нет", "Удаление файла",
    "Не удалось переместить «%1» в корзину: %2",
    "Стоп",
    "«%1» не перемещён в корзину: пока вопрос был открыт, его место занял другой файл.",
};

const ProgressTexts englishProgressTexts = {
    "Deleting files", "Renaming files", "Deleting the folder", "%1 of %2 files done",
    "%1 items deleted", "Cancel",
};

const ProgressTexts russianProgressTexts = {
    "Удаление файлов", "Переименование файлов", "Удаление папки", "Готово файлов: %1 из %2",
    "Удалено объектов: %1", "Отмена",
};

const AccessibleTexts englishAccessibleTexts = {"Drive", "Folders", "Files", "level %1"};

const AccessibleTexts russianAccessibleTexts = {"Диск", "Папки", "Файлы", "уровень %1"};

namespace {

// Whether a control shows its caption whole: a command button wrapped within its face, any
// other control on one line within its width (a frame's title with the frame around it).
bool ShowsCaptionWhole(const QWidget& control)
{
    if (auto* button = dynamic_cast<const CaptionButton*>(&control))
        return button->ShowsCaptionWhole();
    if (auto* frame = qobject_cast<const QGroupBox*>(&control))
        return frame->minimumSizeHint().width() <= frame->width();
    return control.sizeHint().width() <= control.width();
}

// Gives a control its font of the layout again, and where the caption does not show whole in
// that font, the largest smaller size that shows it. The layout's fonts may not be on the
// system, and a substitute can draw wider (Wine draws Times New Roman in another serif).
void FitCaption(QWidget& control, QFont font)
{
    control.setFont(font);
    constexpr qreal smallest = 5.0;
    while (!ShowsCaptionWhole(control) && font.pointSizeF() - 0.25 >= smallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
        control.setFont(font);
    }
}

bool HasCaption(ControlKind kind)
{
    return kind == ControlKind::Label || kind == ControlKind::Frame ||
           kind == ControlKind::Option || kind == ControlKind::Button || kind == ControlKind::Tabs;
}

} // namespace

void ApplyCaptions(QWidget& window, const CaptionSet& captions)
{
    for (std::size_t step = 0; step < captionSteps.size(); ++step) {
        const QString text = QString::fromUtf8(captions[step]);
        QWidget* control = window.findChild<QWidget*>(QLatin1String(captionSteps[step].control));
        if (auto* tabs = qobject_cast<QTabBar*>(control))
            tabs->setTabText(captionSteps[step].tab - 1, text);
        else if (auto* button = qobject_cast<QAbstractButton*>(control))
            button->setText(text);
        else if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(text);
        else if (auto* frame = qobject_cast<QGroupBox*>(control))
            frame->setTitle(text);
    }
    for (const ControlLayout& row : windowLayout) {
        if (!HasCaption(row.kind))
            continue;
        if (auto* control = window.findChild<QWidget*>(QLatin1String(row.name)))
            FitCaption(*control, LayoutFont(row.font, window.font()));
    }
}

} // namespace app
