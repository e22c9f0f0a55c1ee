#include "user_folders.h"

#include "backend.h"

#include <windows.h>

#include <cwctype>
#include <string>
#include <vector>

namespace commands {

namespace {

// The drive letter as the logical drives give it ("C:\"), whatever case the system's text had,
// so that a folder matches its drive in the drive list.
std::filesystem::path withDriveAsListed(std::wstring path)
{
    if (path.size() >= 2 && path[1] == L':')
        path[0] = static_cast<wchar_t>(std::towupper(path[0]));
    return path;
}

} // namespace

std::filesystem::path WorkingFolder(int& error)
{
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring buffer(size, L'\0');
    const DWORD length = size ? GetCurrentDirectoryW(size, buffer.data()) : 0;
    if (length == 0 || length >= size) {
        error = static_cast<int>(GetLastError());
        return {};
    }
    error = 0;
    buffer.resize(length);
    return withDriveAsListed(std::move(buffer));
}

// The system's own folder: a working folder of a process can be neither renamed nor deleted.
void LeaveWorkingFolder()
{
    std::wstring system(MAX_PATH, L'\0');
    const UINT length = GetSystemDirectoryW(system.data(), MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        system.resize(length);
        SetCurrentDirectoryW(system.c_str());
    }
}

// The user's profile folder as the shell gives it, else as the environment does.
std::filesystem::path HomeFolder()
{
    std::vector<std::wstring> profiles = win32::profileFolders();
    return profiles.empty() ? std::filesystem::path() : withDriveAsListed(std::move(profiles[0]));
}

} // namespace commands
