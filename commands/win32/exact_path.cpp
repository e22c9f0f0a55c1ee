// Paths as the Win32 calls take them: exact long forms for listed names, Windows' own rule for
// new names, and the check of what the shell, which takes plain paths only, would change.
#include "backend.h"

namespace commands::win32 {

namespace {

// The full path of a path that is not: from the current folder, or from the current folder of
// its drive ("C:foo"), or from the current drive's root ("\\foo").
Path fullFromCurrentFolder(const Path& path)
{
    if (!path.has_root_name() && path.has_root_directory())
        return fullFromCurrentFolder(L".").root_name() / path;
    const Native base = path.has_root_name() ? path.root_name().native() : Native(L".");
    Native full(32768, L'\0');
    const DWORD length = GetFullPathNameW(base.c_str(), 32768, full.data(), nullptr);
    full.resize(length < full.size() ? length : 0);
    return Path(full) / path.relative_path();
}

} // namespace

bool isReservedName(std::wstring_view name)
{
    // Windows reads the part before the first dot, without the blanks that end it.
    std::wstring stem(name.substr(0, name.find(L'.')));
    stem.erase(stem.find_last_not_of(L' ') + 1);
    CharUpperBuffW(stem.data(), static_cast<DWORD>(stem.size()));
    for (const wchar_t* reserved : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (stem == reserved)
            return true;
    // COM and LPT take the superscript digits too.
    const std::wstring_view digits = L"123456789\u00b9\u00b2\u00b3";
    return stem.size() == 4 && (stem.starts_with(L"COM") || stem.starts_with(L"LPT")) &&
           digits.find(stem[3]) != std::wstring_view::npos;
}

Native withoutTrailingDotsAndBlanks(Native name)
{
    const std::size_t kept = name.find_last_not_of(L". ");
    name.resize(kept == Native::npos ? 0 : kept + 1);
    return name;
}

std::wstring ExactPath(const Path& path)
{
    const Native& text = path.native();
    if (text.starts_with(L"\\\\?\\") || text.starts_with(L"\\\\.\\") ||
        text.find(L'\0') != Native::npos)
        return text;
    // Only the base folder, for a relative path, comes from GetFullPathNameW, in the system's
    // own spelling; the path's own names are joined to it as they are.
    const Path absolute = path.is_absolute() ? path : fullFromCurrentFolder(path);
    Native full = absolute.lexically_normal().native();
    if (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool PlainPathKeepsNames(const Path& path)
{
    for (const Path& element : path.relative_path()) {
        const Native& name = element.native();
        if (backend::isDotOrEmpty(name))
            continue;
        if (name.back() == L'.' || name.back() == L' ' || isReservedName(name))
            return false;
    }
    return true;
}

Native exactPath(const Path& path, const char* operation)
{
    if (path.native().find(L'\0') != Native::npos)
        fail(ERROR_INVALID_NAME, path, operation);
    return ExactPath(path);
}

// The exact path of the entry that has this name in the folder: the folder's exact form and
// the name joined to it as it is, never parsed, so that no part of a name is read as a path.
Native exactIn(const Path& folder, backend::NativeView name, const char* operation)
{
    if (name.find(L'\0') != backend::NativeView::npos)
        fail(ERROR_INVALID_NAME, folder / Path(Native(name)), operation);
    Native exact = exactPath(folder, operation);
    if (!isSeparator(exact.back()))
        exact += L'\\';
    exact += name;
    return exact;
}

Native newEntryPath(const Path& path, const char* operation)
{
    const Native name = withoutTrailingDotsAndBlanks(path.filename().native());
    const Path folder = path.parent_path();
    return exactPath(name.empty() ? folder : folder / name, operation);
}

} // namespace commands::win32
