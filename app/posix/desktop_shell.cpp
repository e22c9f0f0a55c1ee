#include "desktop_shell.h"

#include "posix/shell.h"
#include "trash_questions.h"

namespace app {

DesktopWindow MakeDesktopWindow()
{
    auto questions = std::make_unique<TrashQuestions>();
    TrashQuestions* asker = questions.get();
    auto shell = std::make_unique<commands::PosixShell>(std::move(questions));
    auto window = std::make_unique<MainWindow>(*shell);
    MainWindow* owner = window.get();
    asker->Attach(owner, [owner] { return owner->RussianShown(); }, &owner->WalkProgress(),
                  [owner](bool waiting) { owner->WaitForPerson(waiting); });
    owner->CatchUncaughtFailures();
    return {std::move(shell), std::move(window)};
}

} // namespace app
