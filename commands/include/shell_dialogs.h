#pragma once

#include <filesystem>
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

} // namespace commands
