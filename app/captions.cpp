#include "captions.h"

#include "caption_fit.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTabBar>

#include <string_view>

namespace app {

const std::array<Caption, 18> captions = {{
    {"cbCr", 0, "Create", "Создать"},
    {"cbRen", 0, "Rename", "Переименовать"},
    {"cbDel", 0, "Delete", "Удалить"},
    {"cbCrFile", 0, "Create", "Создать"},
    {"cbRenFile", 0, "Rename", "Переименовать"},
    {"cbDelFile", 0, "Delete", "Удалить"},
    {"cbRenAll", 0, "Rename All Files", "Переименовать все файлы"},
    {"cbDelAll", 0, "Delete All Files", "Удалить все файлы"},
    {"Label1", 0, "File / Folder Name", "Имя файла / папки"},
    {"TabStrip1", 1, "Folder", "Папка"},
    {"TabStrip1", 2, "File", "Файл"},
    {"TabStrip1", 3, "All Files", "Все файлы"},
    {"OptDelRec", 0, "With request and to Recycle Bin", "Удалить с запросом в корзину"},
    {"OptDel", 0, "Just Delete", "Просто удалить"},
    {"Frame2", 0, "Method of Files Delete", "Метод удаления файлов"},
    {"Frame1", 0, "Select Language", nullptr},
    {"OptEng", 0, "English", nullptr},
    {"OptRus", 0, "Russian", nullptr},
}};

const WarningTexts englishWarnings = {
    "No file is selected.",
    "Cannot use \u201c%1\u201d: %2.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program has moved or "
    "replaced it. Nothing was changed; the lists now show what is there.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program has moved or "
    "replaced it. %2 of its files had been deleted or moved to the Trash before; nothing more was "
    "changed, and the lists now show what is there.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program has moved or "
    "replaced it. %2 of its files had been renamed before; nothing more was changed, and the "
    "lists now show what is there.",
    "The folder that the program was started in cannot be used: %1. The window shows "
    "\u201c%2\u201d instead.",
    "Cannot use \u201c%1\u201d: %2. The window shows \u201c%3\u201d instead.",
    "Something went wrong: %1. Nothing more was done, and the window can be used on.",
    "\u201c%1\u201d cannot go to the Recycle Bin: the shell would take its name for another one "
    "(a name that ends in a dot or a blank, or a device name). The file was left where it is.",
    "\u201c%1\u201d cannot go to the Recycle Bin: the shell would read the ? or * in its name as "
    "a pattern and move other files that match it. The file was left where it is.",
    "\u201c%1\u201d cannot go to the Recycle Bin: it is a link that Windows does not show as one, "
    "and the shell would move what it leads to. The file was left where it is.",
    "\u201c%1\u201d cannot be used: its name holds \\ or /, or is . or .., so that as a path it "
    "would name another file or folder. It was left as it is.",
    "\u201c%1\u201d is a name that Windows keeps for a device in every folder (CON, PRN, AUX, "
    "NUL, COM1 to COM9 and LPT1 to LPT9, with any extension). Nothing was created or renamed.",
    "\u201c%1\u201d is no longer the folder that the window showed: another program moved or "
    "replaced it while the shell\u2019s question was open. %2 of its files had been deleted or "
    "moved to the Trash before; the shell may have moved %3 files of the folder that took its "
    "place. The lists now show what is there.",
    "\u201c%1\u201d was left as it is: another entry has its name now. Entries left: %3.",
    "\u201c%1\u201d was left as it is: \u201c%2\u201d has taken the name it would go back to, "
    "and nothing is ever replaced. Entries left: %3.",
    "\u201c%1\u201d was left as it is: it holds something now. Entries left: %3.",
    "\u201c%1\u201d cannot come back: the Trash no longer holds it. Entries left: %3.",
    "Nothing was changed: the folder \u201c%1\u201d has been moved or replaced since.",
    "\u201c%1\u201d cannot come back from the Recycle Bin: this system offers no way to bring "
    "files back from it. Entries left: %3.",
    "\u201c%1\u201d deletes for good: that cannot be undone. Ctrl+Z again undoes the command "
    "before it.",
};

const WarningTexts russianWarnings = {
    "Файл не выбран.",
    "Не удаётся использовать «%1»: %2.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её. "
    "Ничего не изменено; списки показывают то, что там есть сейчас.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её. "
    "До этого удалено или перемещено в корзину файлов: %2; больше ничего не изменено, списки "
    "показывают то, что там есть сейчас.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её. "
    "До этого переименовано файлов: %2; больше ничего не изменено, списки показывают то, что "
    "там есть сейчас.",
    "Папку, в которой запущена программа, нельзя использовать: %1. Вместо неё показана «%2».",
    "Не удаётся использовать «%1»: %2. Вместо неё показана «%3».",
    "Произошла ошибка: %1. Больше ничего не сделано, окном можно пользоваться дальше.",
    "«%1» нельзя отправить в Корзину: оболочка Windows приняла бы это имя за другое (имя, "
    "оканчивающееся точкой или пробелом, или имя устройства). Файл оставлен на месте.",
    "«%1» нельзя отправить в Корзину: оболочка Windows приняла бы ? или * в имени за шаблон и "
    "переместила бы другие подходящие файлы. Файл оставлен на месте.",
    "«%1» нельзя отправить в Корзину: это ссылка, которую Windows не показывает как ссылку, и "
    "оболочка переместила бы то, на что она указывает. Файл оставлен на месте.",
    "«%1» нельзя использовать: имя содержит \\ или / или равно . или .., и как путь оно "
    "указывало бы на другой файл или папку. Оно оставлено как есть.",
    "«%1» — имя, которое Windows в любой папке отводит устройству (CON, PRN, AUX, NUL, COM1–COM9 "
    "и LPT1–LPT9, с любым расширением). Ничего не создано и не переименовано.",
    "«%1» — уже не та папка, что была показана: другая программа переместила или заменила её, "
    "пока был открыт вопрос оболочки. До этого удалено или перемещено в корзину файлов: %2; "
    "оболочка могла переместить файлов из папки, занявшей её место: %3. Списки показывают то, "
    "что там есть сейчас.",
    "«%1» оставлен как есть: это имя теперь у другого объекта. Оставлено объектов: %3.",
    "«%1» оставлен как есть: имя, к которому он вернулся бы, заняла «%2», а замена никогда не "
    "делается. Оставлено объектов: %3.",
    "«%1» оставлен как есть: теперь в нём что-то есть. Оставлено объектов: %3.",
    "«%1» нельзя вернуть: его больше нет в корзине. Оставлено объектов: %3.",
    "Ничего не изменено: папку «%1» с тех пор переместили или заменили.",
    "«%1» нельзя вернуть из Корзины: эта система не даёт способа возвращать из неё файлы. "
    "Оставлено объектов: %3.",
    "«%1» удаляет окончательно: это нельзя отменить. Следующее Ctrl+Z отменит команду перед ней.",
};

const TrashTexts englishTrashTexts = {
    "Delete File", "Do you want to move \u201c%1\u201d to the Trash?", "Yes", "No", "Delete File",
    "\u201c%1\u201d could not be moved to the Trash: %2",
    "Stop",
    "\u201c%1\u201d was not moved to the Trash: another file took its place while the question "
    "was open.",
    "\u201c%1\u201d was not moved to the Trash: another program moved or replaced its folder while "
    "the question was open.",
};

const TrashTexts russianTrashTexts = {
    "Удаление файла", "Переместить «%1» в корзину?", "Да", "Нет", "Удаление файла",
    "Не удалось переместить «%1» в корзину: %2",
    "Стоп",
    "«%1» не перемещён в корзину: пока вопрос был открыт, его место занял другой файл.",
    "«%1» не перемещён в корзину: пока вопрос был открыт, другая программа переместила или "
    "заменила его папку.",
};

const ProgressTexts englishProgressTexts = {
    "Deleting files", "Renaming files", "Deleting the folder", "Bringing files back from the Trash",
    "%1 of %2 files done",
    "%1 items deleted", "Cancel", "Progress",
};

const ProgressTexts russianProgressTexts = {
    "Удаление файлов", "Переименование файлов", "Удаление папки", "Возврат файлов из корзины",
    "Готово файлов: %1 из %2",
    "Удалено объектов: %1", "Отмена", "Ход выполнения",
};

const AccessibleTexts englishAccessibleTexts = {
    "Drive", "Folders", "Files", "level %1",
    "Deletes the open folder with everything in it, at once and for good",
    "Deletes the file selected in the file list, by the chosen delete method",
};

const AccessibleTexts russianAccessibleTexts = {
    "Диск", "Папки", "Файлы", "уровень %1",
    "Удаляет открытую папку со всем её содержимым, сразу и безвозвратно",
    "Удаляет файл, выделенный в списке файлов, выбранным методом удаления",
};

namespace {

// Writes one caption to its control.
void WriteCaption(QWidget& window, const Caption& caption, const char* utf8)
{
    const QString text = QString::fromUtf8(utf8);
    QWidget* control = window.findChild<QWidget*>(QLatin1String(caption.control));
    if (auto* tabs = qobject_cast<QTabBar*>(control))
        tabs->setTabText(caption.tab - 1, text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* frame = qobject_cast<QGroupBox*>(control))
        frame->setTitle(text);
}

} // namespace

void ApplyCaptions(QWidget& window, Language language)
{
    for (const Caption& caption : captions)
        if (caption.russian)
            WriteCaption(window, caption,
                         language == Language::Russian ? caption.russian : caption.english);
    FitCaptions(window);
}

void ApplyStartCaptions(QWidget& window)
{
    for (const Caption& caption : captions)
        WriteCaption(window, caption, caption.english);
    FitCaptions(window);
}

const char* StartCaption(const char* control, int tab)
{
    for (const Caption& caption : captions)
        if (std::string_view(caption.control) == control && caption.tab == tab)
            return caption.english;
    return nullptr;
}

} // namespace app
