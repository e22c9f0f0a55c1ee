#include "recycle_bin.h"

namespace commands {

bool DeleteToRecycleBin(Shell& shell, std::filesystem::path path)
{
    ShellFileOperation request{};
    request.hwnd = nullptr;
    request.wFunc = ShellFileOperation::foDelete;
    // One path and one more NUL: with the string's own terminator, a list that holds one path.
    request.pFrom = path.native();
    request.pFrom.push_back(std::filesystem::path::value_type{});
    request.pTo = nullptr;
    request.fFlags = ShellFileOperation::fofAllowUndo;
    return shell.SHFileOperation(request) == 0 && !request.fAnyOperationsAborted;
}

} // namespace commands
