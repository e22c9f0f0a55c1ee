#pragma once

#include "progress.h"
#include "posix/shell.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>

namespace app {

struct TrashTexts;

// The Linux shell's questions and failures, asked over the window in the window's language:
// one dialog per file, plain text, the whole name wrapped and on the screen.
class TrashQuestions final : public commands::ShellDialogs {
public:
    // The window that owns the questions, and whether they are asked in Russian. While the
    // window's walk goes over many files, a question offers to stop it. `waiting` is told when
    // a question waits for its answer (true) and when it has it (false).
    void Attach(QWidget* owner, std::function<bool()> russian, commands::Progress* walk = nullptr,
                std::function<void(bool)> waiting = {});
    bool ConfirmTrash(const std::filesystem::path& file) override;
    void ReportTrashFailure(const std::filesystem::path& file, const std::string& reason) override;
    void ReportFileReplaced(const std::filesystem::path& file) override;
    void ReportFolderMoved(const std::filesystem::path& file) override;

private:
    const TrashTexts& Texts() const;
    void ReportNotMoved(const char* why, const std::filesystem::path& file);

    QPointer<QWidget> owner_;
    std::function<bool()> russian_;
    commands::Progress* walk_ = nullptr;
    std::function<void(bool)> waiting_;
};

} // namespace app
