#include "recycle_bin.h"

namespace commands {

std::filesystem::path Shell::WhereTrashed(const std::filesystem::path&, const EntryIdentity&)
{
    return {};
}

Restored Shell::Restore(const std::filesystem::path&, const EntryIdentity&,
                        const std::filesystem::path&)
{
    return Restored::NotOnThisSystem;
}

namespace {

bool toRecycleBin(Shell& shell, const std::filesystem::path& path, unsigned short flags)
{
    ShellFileOperation request{};
    request.hwnd = nullptr;
    request.wFunc = ShellFileOperation::foDelete;
    // One path and one more NUL: with the string's own terminator, a list that holds one path.
    request.pFrom = path.native();
    request.pFrom.push_back(std::filesystem::path::value_type{});
    request.pTo = nullptr;
    request.fFlags = flags;
    return shell.SHFileOperation(request) == 0 && !request.fAnyOperationsAborted;
}

} // namespace

bool DeleteToRecycleBin(Shell& shell, std::filesystem::path path)
{
    return toRecycleBin(shell, path, ShellFileOperation::fofAllowUndo);
}

bool MoveToRecycleBinUnasked(Shell& shell, std::filesystem::path path)
{
    return toRecycleBin(shell, path,
                        static_cast<unsigned short>(ShellFileOperation::fofAllowUndo |
                                                    ShellFileOperation::fofNoConfirmation));
}

} // namespace commands
