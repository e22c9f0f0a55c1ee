#pragma once

#include "recycle_bin.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>
#include <memory>

class QDialog;
class QDialogButtonBox;

namespace app {

// The desktop's shell file operation on Linux: asks about each file over the window, then moves
// it to the freedesktop.org Trash. Only deletion that can be undone is carried out.
class TrashShell final : public commands::Shell {
public:
    TrashShell() = default;
    ~TrashShell() override;
    TrashShell(const TrashShell&) = delete;
    TrashShell& operator=(const TrashShell&) = delete;
    // The window that owns the questions, and whether they are asked in Russian.
    void attach(QWidget* owner, std::function<bool()> russian);
    int SHFileOperation(commands::ShellFileOperation& request) override;

private:
    bool confirm(const QString& shownPath);
    void makeQuestion();
    void reportFailure(const QString& shownPath, const QString& reason) const;

    QPointer<QWidget> owner_;
    std::function<bool()> russian_;
    // One question dialog, made at the first question and shown again for every later one,
    // so that a Delete All over many files does not build a dialog per file.
    QPointer<QDialog> question_;
    QWidget* questionText_ = nullptr;
    QWidget* questionFolder_ = nullptr;
    QDialogButtonBox* questionButtons_ = nullptr;
};

} // namespace app
