#include "user_folders.h"

#include "path_text.h"

#include <QtCore/QDir>

#include <windows.h>

#include <string>

namespace app {

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
    return NativePath(QString::fromStdWString(buffer));
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

std::filesystem::path HomeFolder() { return NativePath(QDir::homePath()); }

} // namespace app
