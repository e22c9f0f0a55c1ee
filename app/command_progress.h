#pragma once

#include "progress.h"

#include <QtCore/QPointer>

#include <chrono>
#include <functional>

class QLabel;
class QProgressBar;
class QProgressDialog;
class QWidget;

namespace app {

struct ProgressTexts;

// The progress of the window's long commands, on the one user-interface thread: every 40 ms the
// walk hands the event loop a turn, so that the window repaints and answers the desktop; once
// the command has run for half a second a progress dialog, modal to the window, tells how far
// it has got and offers Cancel (Esc). Before the dialog shows, the turns take in no input, so
// that no click runs inside the command.
class CommandProgress final : public commands::Progress {
public:
    // The window that the dialog is modal to, and whether it speaks Russian.
    CommandProgress(QWidget* window, std::function<bool()> russian);
    ~CommandProgress() override;
    CommandProgress(const CommandProgress&) = delete;
    CommandProgress& operator=(const CommandProgress&) = delete;

    // Around each command: Begin starts the clock, End closes the dialog.
    void Begin();
    void End();
    // True between Begin and End.
    bool Running() const { return running_; }
    // How often the walk hands the event loop a turn, and how long a command runs before the
    // dialog shows (tests make both zero).
    void SetTiming(std::chrono::milliseconds turnEvery, std::chrono::milliseconds showAfter);

protected:
    void Turn(const commands::WorkStep& step) override;
    void Breathe() override;

private:
    bool Russian() const;
    const ProgressTexts& Texts() const;
    void MakeDialog();
    void ShowStep(const commands::WorkStep& step);

    QPointer<QWidget> window_;
    std::function<bool()> russian_;
    QPointer<QProgressDialog> dialog_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
    bool running_ = false;
    Clock::time_point started_;
    std::chrono::milliseconds turnEvery_{40};
    std::chrono::milliseconds showAfter_{500};
};

} // namespace app
