#include "backend.h"

#include <shlobj.h>

#include <optional>
#include <vector>

namespace commands::win32 {

namespace {

// The path without its long-path or device prefix, as the user would write it.
Native withoutPrefix(Native path)
{
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path.substr(4);
    return path;
}

// The folder's path with every link resolved, or nothing when it cannot be had.
std::optional<Native> resolvedPathOf(const Native& path)
{
    const HANDLE handle = CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    Native result(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, result.data(), 32768, 0);
    CloseHandle(handle);
    if (length == 0 || length >= result.size())
        return std::nullopt;
    result.resize(length);
    return withoutPrefix(std::move(result));
}

std::wstring_view trimmed(std::wstring_view path)
{
    while (path.size() > 1 && isSeparator(path.back()) && !isDriveRoot(path))
        path.remove_suffix(1);
    return path;
}

// True when folder is the same as `of` or one of its ancestors; Windows names ignore case.
bool isSameOrAncestor(std::wstring_view folder, std::wstring_view of)
{
    folder = trimmed(folder);
    of = trimmed(of);
    if (sameText(folder, of))
        return true;
    if (of.size() <= folder.size() || !sameText(folder, of.substr(0, folder.size())))
        return false;
    return isSeparator(folder.back()) || isSeparator(of[folder.size()]);
}

// True when the folder is the root of a volume: a drive, a share or a volume mounted on a folder.
bool isVolumeRoot(const Native& full)
{
    if (isDriveRoot(full))
        return true;
    Native volume(full.size() + 2, L'\0');
    if (!GetVolumePathNameW(full.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
        return false;
    volume.resize(wcslen(volume.c_str()));
    return sameText(trimmed(volume), trimmed(full));
}

} // namespace

std::vector<Native> profileFolders()
{
    std::vector<Native> folders;
    wchar_t buffer[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer)))
        folders.emplace_back(buffer);
    const DWORD size = GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
    if (size > 1) {
        Native value(size, L'\0');
        value.resize(GetEnvironmentVariableW(L"USERPROFILE", value.data(), size));
        if (!value.empty())
            folders.push_back(std::move(value));
    }
    return folders;
}

// Refuses, before anything is touched, the roots of volumes and the profile folder with its
// ancestors, however the path spells them.
void refuseProtectedFolder(const Path& path, const Native& exact)
{
    std::vector<Native> spellings{withoutPrefix(exact)};
    if (std::optional<Native> real = resolvedPathOf(exact))
        spellings.push_back(std::move(*real));
    std::vector<Native> profiles;
    for (Native& profile : profileFolders()) {
        if (std::optional<Native> real = resolvedPathOf(profile))
            profiles.push_back(std::move(*real));
        profiles.push_back(std::move(profile));
    }
    for (const Native& candidate : spellings) {
        if (isVolumeRoot(candidate))
            fail(ERROR_ACCESS_DENIED, path, "delete folder (the root of a drive is never deleted)");
        for (const Native& profile : profiles)
            if (isSameOrAncestor(candidate, profile))
                fail(ERROR_ACCESS_DENIED, path, "delete folder (the profile folder is never deleted)");
    }
}

} // namespace commands::win32
