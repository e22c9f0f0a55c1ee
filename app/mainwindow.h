#pragma once

#include "command_frame.h"
#include "command_progress.h"
#include "command_window.h"
#include "recycle_bin.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QStringList>
#include <QtWidgets/QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabBar;
class QTimer;

namespace commands {
class Shell;
}

namespace app {

class BlockedCloseRequests;
class DriveList;
class FileList;
class FolderTree;
class FolderWatch;
struct AccessibleTexts;
struct ControlLayout;
struct WarningTexts;

// The one window: the drive list, folder tree and file list, the name box, the three command
// pages under the tab strip, and the language and delete-method options.
class MainWindow final : public QWidget, public commands::CommandWindow {
    Q_OBJECT
public:
    // Builds the window with all its controls and runs Form_Load; the shell serves the commands.
    explicit MainWindow(commands::Shell& shell);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // True while the window shows its Russian captions.
    bool RussianShown() const;
    // Shows a failure that no event procedure caught, once for each kind of failure.
    void ShowUncaughtFailure(const QString& what);
    // Says that the file stays: the shell would take its name for another one.
    void WarnNotToRecycleBin(const std::filesystem::path& file, commands::ShellRefusal why);
    // Has the application's net hand every failure that no event procedure caught to this
    // window, while it lives.
    void CatchUncaughtFailures();

    const std::filesystem::path& DirFolderPath() const override;
    commands::FolderIdentity DirFolderIdentity() const override;
    void DirFolderRefresh() override;
    const std::filesystem::path& DirFilesPath() const override;
    std::filesystem::path DirFilesFileName() const override;
    void DirFilesRefresh() override;
    std::string txtNameText() const override;
    bool OptDelValue() const override;
    CommandProgress& WalkProgress() override { return progress_; }
    // While a command waits for a person (true), the lists follow what other programs change
    // meanwhile; once it goes on (false), its own changes are not news again.
    void WaitForPerson(bool waiting);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // During a command: stops it before its next change, closes the dialog that waits for the
    // person, and closes the window once the command has ended.
    void closeEvent(QCloseEvent* event) override;

private Q_SLOTS:
    void Form_Load();
    void DirDrive_Change();
    void DirFolder_Change(const std::optional<std::vector<std::filesystem::path>>& files);
    void TabStrip1_Click();
    void OptEng_Click();
    void OptRus_Click();

private:
    void CreateControls(const std::filesystem::path& startFolder);
    void ConnectEvents();
    void ConnectPageKeys();
    void ConnectUndoKeys();
    void NameControls(const AccessibleTexts& texts);
    void StartUp(const std::filesystem::path& workingFolder, int workingError);
    void ReopenDrive();
    void FollowDisk();
    void ReadListsAgain();
    void ReadListsForOutsideChanges();
    void RunEvent(const std::function<void()>& procedure);
    void RunCommand(void (commands::CommandFrame::*procedure)());
    void Warn(const std::exception& failure);
    void WarnUndoRefused(const commands::UndoRefused& refused);
    void ShowWarning(const QString& text);
    const WarningTexts& Warnings() const;
    bool TabSelected(int tab) const;
    QWidget* MakeControl(const ControlLayout& row, QWidget* container,
                         const std::filesystem::path& startFolder);

    DriveList* DirDrive = nullptr;
    FolderTree* DirFolder = nullptr;
    FileList* DirFiles = nullptr;
    QLineEdit* txtName = nullptr;
    QLabel* Label1 = nullptr;
    QRadioButton* OptEng = nullptr;
    QRadioButton* OptRus = nullptr;
    QGroupBox* FrameFolder = nullptr;
    QGroupBox* FrameFile = nullptr;
    QGroupBox* FrameAllFiles = nullptr;
    QTabBar* TabStrip1 = nullptr;
    QRadioButton* OptDelRec = nullptr;
    QRadioButton* OptDel = nullptr;

    FolderWatch* watch_ = nullptr;
    QTimer* followTimer_ = nullptr;
    qint64 outsideReadCost_ = 0;  // ms
    QElapsedTimer sinceOutsideRead_;
    bool closeAfterCommand_ = false;
    bool typedSinceCommand_ = false;  // the name box has its own Ctrl+Z
    bool catching_ = false;
    QStringList uncaughtShown_;
    CommandProgress progress_;
    commands::CommandFrame frame_;
    // The window system's close while the command's dialog blocks the window, which Qt drops.
    std::unique_ptr<BlockedCloseRequests> closeRequests_;
};

} // namespace app
