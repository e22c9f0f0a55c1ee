#include "trash_shell.h"

namespace app {

void TrashShell::attach(QWidget* owner, std::function<bool()> russian)
{
    owner_ = owner;
    russian_ = std::move(russian);
}

int TrashShell::SHFileOperation(commands::ShellFileOperation&) { return 1; }

bool TrashShell::confirm(const QString&) const { return false; }

void TrashShell::reportFailure(const QString&, const QString&) const {}

} // namespace app
