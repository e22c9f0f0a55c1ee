#pragma once

#include "asking_window.h"
#include "shell_dialogs.h"

namespace app {

struct TrashTexts;

// The Linux shell's questions and failures, asked over the window in the window's language:
// one dialog per file, plain text, the whole name wrapped and on the screen.
class TrashQuestions final : public commands::ShellDialogs {
public:
    // Asked over the window, in its language. While the window's walk goes over many files, a
    // question offers to stop it.
    explicit TrashQuestions(AskingWindow& window) : window_(window) {}
    bool ConfirmTrash(const std::filesystem::path& file) override;
    void ReportTrashFailure(const std::filesystem::path& file, const std::string& reason) override;
    void ReportFileReplaced(const std::filesystem::path& file) override;
    void ReportFolderMoved(const std::filesystem::path& file) override;

private:
    const TrashTexts& Texts() const;
    void ReportNotMoved(const char* why, const std::filesystem::path& file);

    AskingWindow& window_;
};

} // namespace app
