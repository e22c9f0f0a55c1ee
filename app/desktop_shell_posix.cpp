#include "desktop_shell.h"

#include "trash_shell.h"

namespace app {

DesktopWindow MakeDesktopWindow()
{
    auto shell = std::make_unique<TrashShell>();
    auto window = std::make_unique<MainWindow>(*shell);
    MainWindow* owner = window.get();
    shell->attach(owner, [owner] { return owner->RussianShown(); });
    owner->CatchUncaughtFailures();
    return {std::move(shell), std::move(window)};
}

} // namespace app
