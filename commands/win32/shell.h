#pragma once

#include "recycle_bin.h"

#include <functional>

// Windows' own request type (SHFILEOPSTRUCTW of <shellapi.h>), left undeclared here: that header
// turns the name SHFileOperation into a macro.
struct _SHFILEOPSTRUCTW;

namespace commands {

// The request in the form that SHFileOperationW takes. Its strings point into `request`,
// which must outlive the result.
_SHFILEOPSTRUCTW ToShFileOpStruct(const ShellFileOperation& request);

// The Windows shell: hands the request to SHFileOperationW, which asks, shows its progress and
// reports its own errors in its own windows. A request without a window of its own is owned by
// the program's window, so that the shell's question is modal to it: the window takes no click
// while the question is open. The shell takes plain paths only, reads ? and * in them as
// patterns and follows a link that Windows does not show as one: a path that would reach
// another entry than the one it names is not handed to it, and the refusal is told instead, so
// that the file stays where it is.
class Win32Shell final : public Shell {
public:
    using Refusal = std::function<void(const std::filesystem::path&, ShellRefusal)>;
    // The window that owns the shell's windows (an HWND), asked for at each request.
    void SetOwner(std::function<void*()> owner) { owner_ = std::move(owner); }
    // Tells that a path was not handed to the shell, and why.
    void SetRefusal(Refusal refused) { refused_ = std::move(refused); }
    int SHFileOperation(ShellFileOperation& request) override;

private:
    std::function<void*()> owner_;
    Refusal refused_;
};

} // namespace commands
