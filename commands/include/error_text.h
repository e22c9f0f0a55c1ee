#pragma once

#include <string>

namespace commands {

// The system's words for an error code of a file-system call (FsError::code), in UTF-8,
// without the full stop that may end them.
std::string ErrorText(int code);

} // namespace commands
