#include "desktop_shell.h"

#include "posix_shell.h"
#include "trash_questions.h"

namespace app {

std::unique_ptr<MainWindow> MakeDesktopWindow()
{
    auto window = std::make_unique<MainWindow>([](MainWindow& owner) {
        return std::make_unique<commands::PosixShell>(std::make_unique<TrashQuestions>(owner));
    });
    window->CatchUncaughtFailures();
    return window;
}

} // namespace app
