#include "command_runner.h"

#include "close_request.h"
#include "command_frame.h"
#include "folder_watch.h"

#include <QtCore/QTimer>
#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

#include <algorithm>
#include <utility>

namespace app {

CommandRunner::CommandRunner(QWidget& widget, Window& window, std::function<bool()> russian)
    : QObject(&widget), widget_(widget), window_(window), progress_(&widget, std::move(russian)),
      watch_(new FolderWatch(this)), followTimer_(new QTimer(this))
{
    followTimer_->setSingleShot(true);
    connect(followTimer_, &QTimer::timeout, this, &CommandRunner::ReadListsForOutsideChanges);
    connect(watch_, &FolderWatch::Changed, this, &CommandRunner::FollowDisk);
    closeRequests_ = std::make_unique<BlockedCloseRequests>(widget, [this] {
        if (progress_.Running())  // outside a command, a warning waits for its answer as before
            widget_.close();
    });
}

CommandRunner::~CommandRunner() = default;

void CommandRunner::RunCommand(const std::function<void()>& command)
{
    if (progress_.Running())
        return;
    watch_->Pause();
    window_.HoldReads(true);
    progress_.Begin();
    RunEvent(command);
    progress_.End();
    watch_->Resume();
    RunEvent([this] { window_.ReadListsAgain(); });
    window_.HoldReads(false);
    if (std::exchange(closeAfterCommand_, false))
        widget_.close();
}

// Where the folder shown was replaced, the lists first show what is there now.
void CommandRunner::RunEvent(const std::function<void()>& procedure)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        procedure();
        QApplication::restoreOverrideCursor();
    } catch (const commands::FolderReplaced& failure) {
        QApplication::restoreOverrideCursor();
        window_.ReadListsAgain();
        window_.Warn(failure);
    } catch (const commands::Cancelled&) {
        QApplication::restoreOverrideCursor();  // the user's stop, before any change: no message
    } catch (const std::exception& failure) {
        QApplication::restoreOverrideCursor();
        window_.Warn(failure);
    } catch (...) {
        QApplication::restoreOverrideCursor();
        window_.ShowUncaughtFailure(QStringLiteral("?"));
    }
}

bool CommandRunner::PutOffClose()
{
    if (!progress_.Running())
        return false;
    progress_.Stop();
    closeAfterCommand_ = true;
    // The command's dialog that waits for the person goes too: the progress as by Cancel, a
    // Trash question as by No, which with the walk stopped is its Stop.
    if (QWidget* waiting = QApplication::activeModalWidget(); waiting && waiting != &widget_)
        waiting->close();
    return true;
}

void CommandRunner::WaitForPerson(bool waiting)
{
    if (waiting)
        watch_->Resume();
    else
        watch_->Pause();
}

// The lists are read again once the event loop has taken in every change that is waiting, and
// no sooner after the last such read than four times what it took, so that a storm of changes
// outside takes about a fifth of the processor at most.
void CommandRunner::FollowDisk()
{
    if (followTimer_->isActive())
        return;
    const qint64 rest = sinceOutsideRead_.isValid()
                            ? 4 * outsideReadCost_ - sinceOutsideRead_.elapsed()
                            : 0;
    followTimer_->start(static_cast<int>(std::max<qint64>(rest, 0)));
    watch_->Snooze();
}

void CommandRunner::ReadListsForOutsideChanges()
{
    watch_->Wake();
    QElapsedTimer took;
    took.start();
    RunEvent([this] { window_.ReadListsAgain(); });
    // A warning shown meanwhile waited for a person: that is no cost of the read. The cap keeps
    // the next read within a second of the last change.
    outsideReadCost_ = std::min<qint64>(took.elapsed(), 200);
    sinceOutsideRead_.start();
}

} // namespace app
