#pragma once

#include "shell.h"
#include "shell_refusal.h"

#include <functional>

namespace commands {

// The Windows shell: hands the request to SHFileOperationW, which asks, shows its progress and
// reports its own errors in its own windows. A request without a window of its own is owned by
// the program's window, so that the shell's question is modal to it: the window takes no click
// while the question is open. The shell takes plain paths only, reads ? and * in them as
// patterns and follows a link that Windows does not show as one: a path that would reach
// another entry than the one it names is not handed to it, and the refusal is told instead, so
// that the file stays where it is.
class Win32Shell final : public Shell {
public:
    // The window that owns the shell's windows (an HWND), asked for at each request.
    using Owner = std::function<void*()>;
    // Tells that a path was not handed to the shell, and why.
    using Refusal = std::function<void(const std::filesystem::path&, ShellRefusal)>;
    Win32Shell() = default;
    Win32Shell(Owner owner, Refusal refused)
        : owner_(std::move(owner)), refused_(std::move(refused)) {}
    int SHFileOperation(ShellFileOperation& request) override;

private:
    Owner owner_;
    Refusal refused_;
};

} // namespace commands
