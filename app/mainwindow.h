#pragma once

#include "asking_window.h"
#include "command_frame.h"
#include "command_runner.h"
#include "command_window.h"
#include "recycle_bin.h"
#include "shell_refusal.h"

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

namespace app {

class DriveList;
class FileList;
class FolderTree;
struct AccessibleTexts;
struct ControlLayout;
struct WarningTexts;

// The one window: the drive list, folder tree and file list, the name box, the three command
// pages under the tab strip, and the language and delete-method options.
class MainWindow final : public QWidget,
                         public commands::CommandWindow,
                         public AskingWindow,
                         private CommandRunner::Window {
    Q_OBJECT
public:
    // Makes the shell that serves the window's commands, for the window.
    using ShellMaker = std::function<std::unique_ptr<commands::Shell>(MainWindow&)>;
    // Builds the window with all its controls, and its shell, and runs Form_Load.
    explicit MainWindow(const ShellMaker& makeShell);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // True while the window shows its Russian captions.
    bool RussianShown() const override;
    // Shows a failure that no event procedure caught, once for each kind of failure.
    void ShowUncaughtFailure(const QString& what) override;
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
    CommandProgress& WalkProgress() override { return runner_->Progress(); }
    QWidget* AskOver() override { return this; }
    void WaitForPerson(bool waiting) override { runner_->WaitForPerson(waiting); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // During a command: stops it before its next change, closes the dialog that waits for the
    // person, and closes the window once the command has ended.
    void closeEvent(QCloseEvent* event) override;
    // A larger window gives the lists the room; the rest keeps its size (mainwindow_controls.cpp).
    void resizeEvent(QResizeEvent* event) override;

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
    void ReadListsAgain() override;
    void HoldReads(bool hold) override;
    void RunCommand(void (commands::CommandFrame::*procedure)());
    void Warn(const std::exception& failure) override;
    void WarnUndoRefused(const commands::UndoRefused& refused);
    void ShowWarning(const QString& text);
    // The system's words for the error code that a failed file-system call reported.
    static QString SystemWords(int code);
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

    bool typedSinceCommand_ = false;  // the name box has its own Ctrl+Z
    bool catching_ = false;
    QStringList uncaughtShown_;
    CommandRunner* runner_ = nullptr;
    std::unique_ptr<commands::Shell> shell_;
    commands::CommandFrame frame_;
};

} // namespace app
