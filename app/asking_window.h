#pragma once

#include "progress.h"

class QWidget;

namespace app {

// What a question that the shell asks during a command needs of the window: the window to ask
// over, its language, the walk that a question can offer to stop, and a word while a question
// waits for a person.
class AskingWindow {
public:
    // The window that the question is modal to; null for none.
    virtual QWidget* AskOver() = 0;
    virtual bool RussianShown() const = 0;
    virtual commands::Progress& WalkProgress() = 0;
    // True while a question waits for its answer, false once it has it.
    virtual void WaitForPerson(bool waiting) = 0;

protected:
    ~AskingWindow() = default;
};

} // namespace app
