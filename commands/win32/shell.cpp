#include "shell_request.h"

#include <windows.h>
#include <shellapi.h>
// The interface's member has the name that shellapi.h defines as a macro.
#undef SHFileOperation

#include "exact_path.h"

#include <optional>
#include <type_traits>

namespace commands {

static_assert(std::is_same_v<std::filesystem::path::value_type, wchar_t>,
              "the wide entry point takes the paths as they are");
static_assert(ShellFileOperation::foDelete == FO_DELETE);
static_assert(ShellFileOperation::fofSilent == FOF_SILENT);
static_assert(ShellFileOperation::fofNoConfirmation == FOF_NOCONFIRMATION);
static_assert(ShellFileOperation::fofAllowUndo == FOF_ALLOWUNDO);
static_assert(ShellFileOperation::fofNoErrorUi == FOF_NOERRORUI);

SHFILEOPSTRUCTW ToShFileOpStruct(const ShellFileOperation& request)
{
    SHFILEOPSTRUCTW op{};
    op.hwnd = static_cast<HWND>(request.hwnd);
    op.wFunc = request.wFunc;
    // The list's own NULs and the string's terminator make the double NUL at its end.
    op.pFrom = request.pFrom.c_str();
    op.pTo = request.pTo;
    op.fFlags = static_cast<FILEOP_FLAGS>(request.fFlags);
    op.fAnyOperationsAborted = request.fAnyOperationsAborted ? TRUE : FALSE;
    op.hNameMappings = request.hNameMappings;
    op.lpszProgressTitle = request.lpszProgressTitle;
    return op;
}

namespace {

// Why the shell would reach another entry than the one that the path names; nothing where it
// would not.
std::optional<ShellRefusal> refusalOf(const std::filesystem::path& path)
{
    for (const std::filesystem::path& element : path.relative_path())
        if (element.native().find_first_of(L"?*") != std::wstring::npos)
            return ShellRefusal::Pattern;
    if (!win32::PlainPathKeepsNames(path))
        return ShellRefusal::NameChanged;
    if (!win32::LeadsToItself(path))
        return ShellRefusal::NotItself;
    return std::nullopt;
}

} // namespace

int Win32Shell::SHFileOperation(ShellFileOperation& request)
{
    // The list's paths, each ended by a NUL; an empty one ends the list.
    const std::wstring& list = request.pFrom;
    for (std::size_t at = 0, end;
         (end = list.find(L'\0', at)) != std::wstring::npos && end > at; at = end + 1) {
        const std::filesystem::path path(list.substr(at, end - at));
        if (const std::optional<ShellRefusal> refusal = refusalOf(path)) {
            if (refused_)
                refused_(path, *refusal);
            request.fAnyOperationsAborted = true;
            return ERROR_INVALID_NAME;
        }
    }
    SHFILEOPSTRUCTW op = ToShFileOpStruct(request);
    if (op.hwnd == nullptr && owner_)
        op.hwnd = static_cast<HWND>(owner_());
    const int result = SHFileOperationW(&op);
    request.fAnyOperationsAborted = op.fAnyOperationsAborted != FALSE;
    request.hNameMappings = op.hNameMappings;
    return result;
}

} // namespace commands
