// The window's warnings: each failure that leaves an event procedure, said once in the window's
// language, names and reasons as plain text.
#include "mainwindow.h"

#include "captions.h"
#include "error_text.h"
#include "path_text.h"
#include "shown_text.h"
#include "warning_box.h"

#include <QtWidgets/QAbstractButton>

namespace app {

const WarningTexts& MainWindow::Warnings() const
{
    return RussianShown() ? russianWarnings : englishWarnings;
}

void MainWindow::Warn(const std::exception& failure)
{
    const WarningTexts& texts = Warnings();
    if (dynamic_cast<const commands::NoFileSelected*>(&failure)) {
        ShowWarning(QString::fromUtf8(texts.noFileSelected));
    } else if (const auto* undo = dynamic_cast<const commands::UndoRefused*>(&failure)) {
        WarnUndoRefused(*undo);
    } else if (const auto* refused = dynamic_cast<const commands::NameRefused*>(&failure)) {
        const bool device = refused->why() == commands::NameRefused::Why::DeviceName;
        ShowWarning(QString::fromUtf8(device ? texts.deviceName : texts.notOneName)
                        .arg(ShownName(refused->name())));
    } else if (const auto* replaced = dynamic_cast<const commands::FolderReplaced*>(&failure)) {
        const QString path = ShownName(replaced->path());
        if (replaced->elsewhere() != 0) {
            ShowWarning(QString::fromUtf8(texts.folderReplacedDuringShell)
                            .arg(path, QString::number(replaced->changed()),
                                 QString::number(replaced->elsewhere())));
            return;
        }
        const char* after = replaced->work() == commands::Work::RenamingFiles
                                ? texts.folderReplacedAfterRenames
                                : texts.folderReplacedAfter;
        ShowWarning(replaced->changed() == 0
                        ? QString::fromUtf8(texts.folderReplaced).arg(path)
                        : QString::fromUtf8(after).arg(path, QString::number(replaced->changed())));
    } else if (const auto* fsError = dynamic_cast<const commands::FsError*>(&failure)) {
        ShowWarning(QString::fromUtf8(texts.cannotUse)
                        .arg(ShownName(fsError->path()), SystemWords(fsError->code())));
    } else {
        ShowUncaughtFailure(QString::fromLocal8Bit(failure.what()));
    }
}

void MainWindow::WarnUndoRefused(const commands::UndoRefused& refused)
{
    using Why = commands::UndoRefused::Why;
    const WarningTexts& texts = Warnings();
    QString name = ShownName(refused.name());
    const char* text = nullptr;
    switch (refused.why()) {
    case Why::NotTheSame: text = texts.undoNotTheSame; break;
    case Why::NameTaken: text = texts.undoNameTaken; break;
    case Why::NotEmpty: text = texts.undoNotEmpty; break;
    case Why::TrashEntryGone: text = texts.undoTrashEntryGone; break;
    case Why::FolderMoved: text = texts.undoFolderMoved; break;
    case Why::NotOnThisSystem: text = texts.undoNotOnThisSystem; break;
    case Why::ShellTold: return;  // in the shell's own words already
    case Why::DeletedOutright:
        text = texts.undoDeletedOutright;
        if (auto* button =
                findChild<QAbstractButton*>(QString::fromStdString(refused.name().string())))
            name = button->text();
        break;
    }
    const QString said =
        QString::fromUtf8(text).replace(QLatin1String("%3"), QString::number(refused.left()));
    ShowWarning(said.contains(QLatin1String("%2")) ? said.arg(name, ShownName(refused.other()))
                                                   : said.arg(name));
}

void MainWindow::ShowUncaughtFailure(const QString& what)
{
    // A failure that comes back at every repaint or click is shown the first time only.
    if (uncaughtShown_.contains(what))
        return;
    uncaughtShown_.append(what);
    ShowWarning(QString::fromUtf8(Warnings().unexpected).arg(ShownText(what)));
}

void MainWindow::WarnNotToRecycleBin(const std::filesystem::path& file,
                                     commands::ShellRefusal why)
{
    const WarningTexts& texts = Warnings();
    const char* text = why == commands::ShellRefusal::Pattern     ? texts.notToRecycleBinPattern
                       : why == commands::ShellRefusal::NotItself ? texts.notToRecycleBinLink
                                                                  : texts.notToRecycleBin;
    ShowWarning(QString::fromUtf8(text).arg(ShownName(file)));
}

QString MainWindow::SystemWords(int code)
{
    return QString::fromStdString(commands::ErrorText(code));
}

void MainWindow::ShowWarning(const QString& text)
{
    ShowWarningBox(this, windowTitle(), text, QStringLiteral("Warning"));
}

} // namespace app
