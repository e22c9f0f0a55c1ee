#pragma once

#include "recycle_bin.h"

#include <filesystem>
#include <memory>
#include <string>

namespace commands {

// What the Linux shell asks the user and how it tells a failure: the window's dialogs.
class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;
    // Asks whether the file goes to the Trash; true for yes.
    virtual bool ConfirmTrash(const std::filesystem::path& file) = 0;
    // Tells that the file could not be moved to the Trash, and why (the system's words, UTF-8).
    virtual void ReportTrashFailure(const std::filesystem::path& file,
                                    const std::string& reason) = 0;
    // Tells that the file was not moved: another file took its place while the question was open.
    virtual void ReportFileReplaced(const std::filesystem::path& file) = 0;
    // Tells that the file was not moved: another program moved or replaced its folder while
    // the question was open.
    virtual void ReportFolderMoved(const std::filesystem::path& file) = 0;
};

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
