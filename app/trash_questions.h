#pragma once

#include "shell_posix.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>

namespace app {

struct TrashTexts;

// The Linux shell's questions and failures, asked over the window in the window's language:
// one dialog per file, plain text, the whole name wrapped and on the screen.
class TrashQuestions final : public commands::ShellDialogs {
public:
    // The window that owns the questions, and whether they are asked in Russian.
    void Attach(QWidget* owner, std::function<bool()> russian);
    bool ConfirmTrash(const std::filesystem::path& file) override;
    void ReportTrashFailure(const std::filesystem::path& file, const std::string& reason) override;

private:
    const TrashTexts& Texts() const;

    QPointer<QWidget> owner_;
    std::function<bool()> russian_;
};

} // namespace app
