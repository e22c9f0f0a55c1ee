#pragma once

#include "recycle_bin.h"

#include <QtCore/QPointer>
#include <QtWidgets/QWidget>

#include <functional>

namespace app {

// The desktop's shell file operation on Linux: asks about each file over the window, then moves
// it to the freedesktop.org Trash. Only deletion that can be undone is carried out.
class TrashShell final : public commands::Shell {
public:
    TrashShell() = default;
    TrashShell(const TrashShell&) = delete;
    TrashShell& operator=(const TrashShell&) = delete;
    // The window that owns the questions, and whether they are asked in Russian.
    void attach(QWidget* owner, std::function<bool()> russian);
    int SHFileOperation(commands::ShellFileOperation& request) override;

private:
    bool russian() const;
    bool confirm(const QString& name, const QString& folder) const;
    void reportFailure(const QString& shownPath, const QString& reason) const;

    QPointer<QWidget> owner_;
    std::function<bool()> russian_;
};

} // namespace app
