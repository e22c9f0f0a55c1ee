#pragma once

#include "command_progress.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QObject>

#include <exception>
#include <functional>
#include <memory>

class QString;
class QTimer;
class QWidget;

namespace app {

class BlockedCloseRequests;
class FolderWatch;

// Runs the window's event procedures and commands on the one user-interface thread. One
// command runs at a time, under its progress; the open folder's watch is paused meanwhile and
// the lists are read again once afterwards, which also shows what other programs changed during
// the command. A close asked for during a command stops it and closes the window once it has
// ended. Between commands, it reads the lists again when the watch tells of changes on disk.
class CommandRunner final : public QObject {
    Q_OBJECT
public:
    // What the runner needs of the window it runs for.
    class Window {
    public:
        // Reads both lists again from the open folder's path.
        virtual void ReadListsAgain() = 0;
        // Keeps the file list from reading its folder during a command (true), or lets it.
        virtual void HoldReads(bool hold) = 0;
        // Says a failure that left an event procedure, in the window's language.
        virtual void Warn(const std::exception& failure) = 0;
        virtual void ShowUncaughtFailure(const QString& what) = 0;

    protected:
        ~Window() = default;
    };

    // The widget is the window: the progress dialog is modal to it, and it is what closes.
    CommandRunner(QWidget& widget, Window& window, std::function<bool()> russian);
    ~CommandRunner() override;
    Q_DISABLE_COPY_MOVE(CommandRunner)

    // Runs the command, unless one runs already.
    void RunCommand(const std::function<void()>& command);
    // Runs one event procedure under a busy cursor. A failure that leaves it shows one short
    // warning, and the window stays open.
    void RunEvent(const std::function<void()>& procedure);
    bool Running() const { return progress_.Running(); }
    // True where the window is not to close yet: a command runs, which is stopped before its
    // next change; the dialog that waits for the person closes, and the window once the
    // command has ended.
    bool PutOffClose();
    // While a command waits for a person (true), the lists follow what other programs change
    // meanwhile; once it goes on (false), its own changes are not news again.
    void WaitForPerson(bool waiting);
    // Reads the lists again soon, for changes on disk that another program made.
    void FollowDisk();

    CommandProgress& Progress() { return progress_; }
    FolderWatch& Watch() { return *watch_; }

private:
    void ReadListsForOutsideChanges();

    QWidget& widget_;
    Window& window_;
    CommandProgress progress_;
    FolderWatch* watch_ = nullptr;
    QTimer* followTimer_ = nullptr;
    qint64 outsideReadCost_ = 0;  // ms
    QElapsedTimer sinceOutsideRead_;
    bool closeAfterCommand_ = false;
    // The window system's close while the command's dialog blocks the window, which Qt drops.
    std::unique_ptr<BlockedCloseRequests> closeRequests_;
};

} // namespace app
