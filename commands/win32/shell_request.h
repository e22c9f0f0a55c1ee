#pragma once

#include "win32_shell.h"

// Windows' own request type (SHFILEOPSTRUCTW of <shellapi.h>), left undeclared here: that header
// turns the name SHFileOperation into a macro.
struct _SHFILEOPSTRUCTW;

namespace commands {

// The request in the form that SHFileOperationW takes. Its strings point into `request`,
// which must outlive the result.
_SHFILEOPSTRUCTW ToShFileOpStruct(const ShellFileOperation& request);

} // namespace commands
