#include "mainwindow.h"

#include "application.h"
#include "captions.h"
#include "close_request.h"
#include "drive_list.h"
#include "file_list.h"
#include "folder_tree.h"
#include "folder_watch.h"
#include "layout.h"
#include "path_text.h"
#include "user_folders.h"
#include "warning_box.h"
#include "icons/ffname-16.xpm"
#include "icons/ffname-32.xpm"

#include <QtCore/QTimer>
#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QTabBar>

#include <algorithm>
#include <utility>

namespace app {

MainWindow::MainWindow(commands::Shell& shell)
    : progress_(this, [this] { return RussianShown(); }), frame_(*this, shell)
{
    int workingError = 0;
    const std::filesystem::path working = WorkingFolder(workingError);
    // Every path is full from here on: the folder started in is free to be renamed, deleted or
    // unmounted like any other.
    LeaveWorkingFolder();
    // The design names the window like the File page's Create button; the two stay apart.
    setObjectName(QStringLiteral("cbCrFile"));
    setWindowTitle(QStringLiteral("FF Name"));
    QIcon icon;
    icon.addPixmap(QPixmap(ffname_32_xpm));
    icon.addPixmap(QPixmap(ffname_16_xpm));
    setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(FFNAME_DESKTOP_ID));

    setFont(WindowFont());  // for every control without a font of its own
    setFixedSize(TwipsToPixels(windowWidthTwips, logicalDpiX()),
                 TwipsToPixels(windowHeightTwips, logicalDpiY()));
    const std::filesystem::path home = HomeFolder();
    CreateControls(!working.empty() ? working : !home.empty() ? home : std::filesystem::path("/"));
    watch_ = new FolderWatch(this);
    followTimer_ = new QTimer(this);
    followTimer_->setSingleShot(true);
    connect(followTimer_, &QTimer::timeout, this, &MainWindow::ReadListsForOutsideChanges);
    ConnectEvents();
    closeRequests_ = std::make_unique<BlockedCloseRequests>(*this, [this] {
        if (progress_.Running())  // outside a command, a warning waits for its answer as before
            close();
    });
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
        problem = ErrorText(failure.code());
        DirFolder->OpenNearestAncestor(failed, HomeFolder());
    } catch (const std::exception& failure) {
        Warn(failure);
        return;
    }
    const QString shown = ShownName(DirFolder->Path());
    QString warning;
    if (working.empty())
        warning = QString::fromUtf8(Warnings().startElsewhere).arg(ErrorText(workingError), shown);
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

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (!progress_.Running()) {
        QWidget::closeEvent(event);
        return;
    }
    progress_.Stop();
    closeAfterCommand_ = true;
    event->ignore();
    // The command's dialog that waits for the person goes too: the progress as by Cancel, a
    // Trash question as by No, which with the walk stopped is its Stop.
    if (QWidget* waiting = QApplication::activeModalWidget(); waiting && waiting != this)
        waiting->close();
}

// The tree has just read the folder: its files are handed on, not read a second time.
void MainWindow::DirFolder_Change(const std::optional<std::vector<std::filesystem::path>>& files)
{
    DirFiles->SetPath(DirFolder->Path(), files);
}

void MainWindow::ReopenDrive()
{
    if (progress_.Running())
        return;  // no other event procedure runs inside a command
    RunEvent([this] {
        DirFolder->OpenFolder(DirDrive->Drive());
        DirFiles->Refresh();
    });
    DirDrive->ShowDriveOf(DirFolder->Path());
}

void MainWindow::WaitForPerson(bool waiting)
{
    if (waiting)
        watch_->Resume();
    else
        watch_->Pause();
}

// Changes on disk that another program made: the lists are read again once the event loop
// has taken in every change that is waiting, and no sooner after the last such read than four
// times what it took, so that a storm of changes outside takes about a fifth of the processor
// at most.
void MainWindow::FollowDisk()
{
    if (followTimer_->isActive())
        return;
    const qint64 rest = sinceOutsideRead_.isValid()
                            ? 4 * outsideReadCost_ - sinceOutsideRead_.elapsed()
                            : 0;
    followTimer_->start(static_cast<int>(std::max<qint64>(rest, 0)));
    watch_->Snooze();
}

void MainWindow::ReadListsForOutsideChanges()
{
    watch_->Wake();
    QElapsedTimer took;
    took.start();
    RunEvent([this] { ReadListsAgain(); });
    // A warning shown meanwhile waited for a person: that is no cost of the read. The cap keeps
    // the next read within a second of the last change.
    outsideReadCost_ = std::min<qint64>(took.elapsed(), 200);
    sinceOutsideRead_.start();
}

// Reads both lists again from the open folder's path; the folder now there is the open one.
void MainWindow::ReadListsAgain()
{
    const std::filesystem::path shown = DirFolder->Path();
    FolderTree::FilesRead files = DirFolder->Refresh(watch_->TakeRenames());
    // A folder followed to another path was handed to the file list as the tree opened it.
    if (DirFolder->Path() == shown && DirFiles->Path() == shown)
        DirFiles->ReadAgain(std::move(files));
    watch_->Watch(DirFolder->Path());
}

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

// One command at a time, under its progress. The command's own changes are not news to the
// lists: the watch is paused meanwhile, and the lists are read again once afterwards, which
// also shows what other programs changed during the command.
void MainWindow::RunCommand(void (commands::CommandFrame::*procedure)())
{
    if (progress_.Running())
        return;
    typedSinceCommand_ = false;
    watch_->Pause();
    DirFiles->HoldReads(true);
    progress_.Begin();
    RunEvent([this, procedure] { frame_.Run(procedure); });
    progress_.End();
    watch_->Resume();
    RunEvent([this] { ReadListsAgain(); });
    DirFiles->HoldReads(false);
    if (std::exchange(closeAfterCommand_, false))
        close();
}

// Runs one event procedure under a busy cursor. A failure that leaves it shows one short
// warning, and the window stays open. Where the folder shown was replaced, the lists first
// show what is there now.
void MainWindow::RunEvent(const std::function<void()>& procedure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        procedure();
        QApplication::restoreOverrideCursor();
    } catch (const commands::FolderReplaced& failure) {
        QApplication::restoreOverrideCursor();
        ReadListsAgain();
        Warn(failure);
    } catch (const commands::Cancelled&) {
        QApplication::restoreOverrideCursor();  // the user's stop, before any change: no message
    } catch (const std::exception& failure) {
        QApplication::restoreOverrideCursor();
        Warn(failure);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        ShowUncaughtFailure(QStringLiteral("?"));
    }
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
