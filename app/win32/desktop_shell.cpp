#include "desktop_shell.h"

#include "win32_shell.h"

#include <windows.h>

namespace app {

namespace {

// The installer and the uninstaller look for this mutex and touch no file while it exists. The
// program holds it until it exits, when the system closes it.
void MarkRunning() { CreateMutexW(nullptr, FALSE, L"Local\\org.ffname.ffname.running"); }

} // namespace

std::unique_ptr<MainWindow> MakeDesktopWindow()
{
    MarkRunning();
    auto window = std::make_unique<MainWindow>([](MainWindow& owner) {
        return std::make_unique<commands::Win32Shell>(
            [&owner] { return reinterpret_cast<void*>(owner.winId()); },
            [&owner](const std::filesystem::path& file, commands::ShellRefusal why) {
                owner.WarnNotToRecycleBin(file, why);
            });
    });
    window->CatchUncaughtFailures();
    return window;
}

} // namespace app
