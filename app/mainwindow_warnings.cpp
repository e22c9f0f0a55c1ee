// The window's warnings: each failure that leaves an event procedure, said once in the window's
// language, names and reasons as plain text.
#include "mainwindow.h"

#include "captions.h"
#include "path_text.h"
#include "warning_box.h"

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
                        .arg(ShownName(fsError->path()), ErrorText(fsError->code())));
    } else {
        ShowUncaughtFailure(QString::fromLocal8Bit(failure.what()));
    }
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

void MainWindow::ShowWarning(const QString& text)
{
    ShowWarningBox(this, windowTitle(), text, QStringLiteral("Warning"));
}

} // namespace app
