#include "captions.h"

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
}

} // namespace app
