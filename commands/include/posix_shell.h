#pragma once

#include "recycle_bin.h"
#include "shell_dialogs.h"

#include <filesystem>
#include <memory>
#include <string>

namespace commands {

// The desktop's shell file operation on Linux: asks about each file through the dialogs, then
// moves it to the freedesktop.org Trash with GIO. Only deletion that can be undone is ever
// carried out, never a permanent delete, and only of the file that the question named: where
// the file or its folder is another one after the answer, nothing is moved.
class PosixShell final : public Shell {
public:
    explicit PosixShell(std::unique_ptr<ShellDialogs> dialogs) : dialogs_(std::move(dialogs)) {}
    int SHFileOperation(ShellFileOperation& request) override;
    // The freedesktop.org Trash by hand, as GIO offers no way back: the home Trash, or the
    // Trash at the top of the file's volume.
    std::filesystem::path WhereTrashed(const std::filesystem::path& original,
                                       const EntryIdentity& entry) override;
    Restored Restore(const std::filesystem::path& trashed, const EntryIdentity& entry,
                     const std::filesystem::path& original) override;

private:
    std::unique_ptr<ShellDialogs> dialogs_;
};

} // namespace commands
