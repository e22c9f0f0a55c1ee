#pragma once

#include "shell.h"

#include <filesystem>

namespace commands {

// Sends one file to the Recycle Bin (the Trash) after the shell's own confirmation. Reports
// nothing: a declined question or a failure is the shell's to show. True where the shell says
// that it carried the request out.
bool DeleteToRecycleBin(Shell& shell, std::filesystem::path path);
// The same without the question, for a move that the user asks for again (a redo).
bool MoveToRecycleBinUnasked(Shell& shell, std::filesystem::path path);

} // namespace commands
