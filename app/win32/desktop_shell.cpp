#include "desktop_shell.h"

#include "win32/shell.h"

#include <windows.h>

namespace app {

namespace {

// The installer and the uninstaller look for this mutex and touch no file while it exists. The
// program holds it until it exits, when the system closes it.
void MarkRunning() { CreateMutexW(nullptr, FALSE, L"Local\\org.ffname.ffname.running"); }

} // namespace

DesktopWindow MakeDesktopWindow()
{
    MarkRunning();
    auto shell = std::make_unique<commands::Win32Shell>();
    auto window = std::make_unique<MainWindow>(*shell);
    shell->SetOwner([owner = window.get()] { return reinterpret_cast<void*>(owner->winId()); });
    shell->SetRefusal(
        [owner = window.get()](const std::filesystem::path& file, commands::ShellRefusal why) {
            owner->WarnNotToRecycleBin(file, why);
        });
    window->CatchUncaughtFailures();
    return {std::move(shell), std::move(window)};
}

} // namespace app
