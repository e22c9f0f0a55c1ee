#pragma once

#include "recycle_bin.h"

// Windows' own request type (SHFILEOPSTRUCTW of <shellapi.h>), left undeclared here: that header
// turns the name SHFileOperation into a macro.
struct _SHFILEOPSTRUCTW;

namespace commands {

// The request in the form that SHFileOperationW takes. Its strings point into `request`,
// which must outlive the result.
_SHFILEOPSTRUCTW ToShFileOpStruct(const ShellFileOperation& request);

// The Windows shell: hands the request to SHFileOperationW, which asks, shows its progress and
// reports its own errors in its own windows.
class Win32Shell final : public Shell {
public:
    int SHFileOperation(ShellFileOperation& request) override;
};

} // namespace commands
