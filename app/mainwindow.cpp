#include "mainwindow.h"

#include "application.h"
#include "captions.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "folder_watch.h"
#include "layout.h"
#include "path_text.h"
#include "shown_text.h"
#include "user_folders.h"
#include "warning_box.h"

#include <QtCore/QDir>
#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>


namespace app {

MainWindow::MainWindow(const ShellMaker& makeShell)
    : runner_(new CommandRunner(*this, *this, [this] { return RussianShown(); })),
      shell_(makeShell(*this)), frame_(*this, *shell_)
{
    int workingError = 0;
    const std::filesystem::path working = commands::WorkingFolder(workingError);
    // Every path is full from here on: the folder started in is free to be renamed, deleted or
    // unmounted like any other.
    commands::LeaveWorkingFolder();
    // The design names the window like the File page's Create button; the two stay apart.
    setObjectName(QStringLiteral("cbCrFile"));
    setWindowTitle(QStringLiteral("FF Name"));
    // The program's icon images, built into the window's library.
    QIcon icon;
    for (const QString& image : QDir(QStringLiteral(":/icons")).entryList())
        icon.addFile(QStringLiteral(":/icons/%1/ffname.png").arg(image));
    setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(FFNAME_DESKTOP_ID));

    setFont(WindowFont());  // for every control without a font of its own
    const std::filesystem::path home = commands::HomeFolder();
    CreateControls(!working.empty() ? working : !home.empty() ? home : std::filesystem::path("/"));
    ConnectEvents();
    DirDrive->setFocus();
    StartUp(working, workingError);
}

MainWindow::~MainWindow()
{
    if (auto* application = qobject_cast<Application*>(qApp); application && catching_)
        application->SetFailureHandler({});
}

void MainWindow::CatchUncaughtFailures()
{
    if (auto* application = qobject_cast<Application*>(qApp)) {
        application->SetFailureHandler([this](const QString& what) { ShowUncaughtFailure(what); });
        catching_ = true;
    }
}

// Form_Load; where its folder cannot be used, the nearest folder that can, with one warning.
void MainWindow::StartUp(const std::filesystem::path& working, int workingError)
{
    QString problem;
    std::filesystem::path failed;
    try {
        Form_Load();
    } catch (const commands::FsError& failure) {
        failed = failure.path();
        problem = SystemWords(failure.code());
        DirFolder->OpenNearestAncestor(failed, commands::HomeFolder());
    } catch (const std::exception& failure) {
        Warn(failure);
        return;
    }
    const QString shown = ShownName(DirFolder->Path());
    QString warning;
    if (working.empty())
        warning = QString::fromUtf8(Warnings().startElsewhere).arg(SystemWords(workingError), shown);
    else if (!failed.empty())
        warning = QString::fromUtf8(Warnings().cannotUseStart).arg(ShownName(failed), problem, shown);
    // Said over the window, once it is shown.
    if (!warning.isEmpty())
        QMetaObject::invokeMethod(this, [this, warning] { ShowWarning(warning); },
                                  Qt::QueuedConnection);
}

// Start-up: the tree opens at the current folder of the drive list's drive; the Folder page shows.
void MainWindow::Form_Load()
{
    DirFolder->SetPath(DirDrive->Drive());
    FrameFolder->setVisible(true);
    FrameFile->setVisible(false);
    FrameAllFiles->setVisible(false);
}

void MainWindow::DirDrive_Change() { DirFolder->SetPath(DirDrive->Drive()); }

// During a command: stops it first, and closes once it has ended.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (runner_->PutOffClose())
        event->ignore();
    else
        QWidget::closeEvent(event);
}

// The tree has just read the folder: its files are handed on, not read a second time.
void MainWindow::DirFolder_Change(const std::optional<std::vector<std::filesystem::path>>& files)
{
    DirFiles->SetPath(DirFolder->Path(), files);
}

void MainWindow::ReopenDrive()
{
    if (runner_->Running())
        return;  // no other event procedure runs inside a command
    runner_->RunEvent([this] {
        DirFolder->OpenFolder(DirDrive->Drive());
        DirFiles->Refresh();
    });
    DirDrive->ShowDriveOf(DirFolder->Path());
}

// Reads both lists again from the open folder's path; the folder now there is the open one.
void MainWindow::ReadListsAgain()
{
    const std::filesystem::path shown = DirFolder->Path();
    FolderTree::FilesRead files = DirFolder->Refresh(runner_->Watch().TakeRenames());
    // A folder followed to another path was handed to the file list as the tree opened it.
    if (DirFolder->Path() == shown && DirFiles->Path() == shown)
        DirFiles->ReadAgain(std::move(files));
    runner_->Watch().Watch(DirFolder->Path());
}

void MainWindow::HoldReads(bool hold) { DirFiles->HoldReads(hold); }

bool MainWindow::TabSelected(int tab) const { return TabStrip1->currentIndex() == tab - 1; }

void MainWindow::TabStrip1_Click()
{
    // The page frames that each selected tab shows: Folder, File, All Files.
    static constexpr bool shown[3][3] = {{true, false, false}, {false, true, false},
                                         {false, false, true}};
    for (int tab = 1; tab <= 3; ++tab) {
        if (TabSelected(tab)) {
            FrameFolder->setVisible(shown[tab - 1][0]);
            FrameFile->setVisible(shown[tab - 1][1]);
            FrameAllFiles->setVisible(shown[tab - 1][2]);
        }
    }
}

void MainWindow::OptEng_Click()
{
    ApplyCaptions(*this, Language::English);
    NameControls(englishAccessibleTexts);
}

void MainWindow::OptRus_Click()
{
    ApplyCaptions(*this, Language::Russian);
    NameControls(russianAccessibleTexts);
}

void MainWindow::RunCommand(void (commands::CommandFrame::*procedure)())
{
    if (runner_->Running())
        return;
    typedSinceCommand_ = false;
    runner_->RunCommand([this, procedure] { frame_.Run(procedure); });
}

bool MainWindow::RussianShown() const { return OptRus->isChecked(); }

const std::filesystem::path& MainWindow::DirFolderPath() const { return DirFolder->Path(); }

commands::FolderIdentity MainWindow::DirFolderIdentity() const { return DirFolder->Identity(); }

void MainWindow::DirFolderRefresh() { DirFolder->Refresh(); }

const std::filesystem::path& MainWindow::DirFilesPath() const { return DirFiles->Path(); }

std::filesystem::path MainWindow::DirFilesFileName() const { return DirFiles->FileName(); }

void MainWindow::DirFilesRefresh() { DirFiles->Refresh(); }

std::string MainWindow::txtNameText() const { return txtName->text().toStdString(); }

bool MainWindow::OptDelValue() const { return OptDel->isChecked(); }

} // namespace app
