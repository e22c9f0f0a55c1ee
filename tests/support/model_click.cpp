// One click as the window makes it, with the test's own window and Trash standing in.
#include "disk_model.h"

#include "command_button.h"
#include "fakes.h"

namespace model {

Result click(const Click& c, const fs::path& root, const fs::path& trash,
             std::optional<commands::FolderIdentity> identity, commands::History* history)
{
    FakeWindow window;
    window.folder = c.folder.empty() ? root : fs::path(root.native() + "/" + c.folder);
    window.selected = c.selected;
    window.name = c.name;
    window.justDelete = c.justDelete;
    window.identity = identity;
    window.progress.stopAt = c.stopAt;
    RecordingShell shell(trash);
    shell.answers = c.answers;
    commands::History own;
    commands::CommandFrame frame(window, shell, history ? *history : own);
    Result run;
    try {
        frame.Run(commands::commandButtons[int(c.command)].procedure);
    } catch (const commands::FolderReplaced& e) {
        run.threw = run.replaced = true;
        run.changed = e.changed();
        run.error = e.what();
    } catch (const std::exception& e) {
        run.threw = true;
        run.error = e.what();
    }
    run.refreshes = window.refreshes;
    return run;
}

} // namespace model
