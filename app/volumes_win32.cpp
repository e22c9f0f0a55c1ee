#include "volumes.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace app {

std::vector<Volume> ReadVolumes(const std::filesystem::path& workingDir)
{
    std::wstring roots(GetLogicalDriveStringsW(0, nullptr), L'\0');
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(roots.size()), roots.data());
    roots.resize(length <= roots.size() ? length : 0);
    const std::filesystem::path workingRoot = workingDir.root_path();

    // A drive without its medium (an empty card reader or disc drive) must fail quietly here,
    // without the system's "insert a disk" box.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    std::vector<Volume> volumes;
    // "A:\", NUL, "C:\", NUL, ...: one root after another.
    for (const wchar_t* root = roots.c_str(); *root != L'\0'; root += std::wcslen(root) + 1) {
        wchar_t label[MAX_PATH + 1] = {};
        const bool ready =
            GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
        std::filesystem::path path(root);
        if (ready || path == workingRoot)
            volumes.push_back({std::move(path), QString::fromWCharArray(label)});
    }
    SetThreadErrorMode(oldMode, nullptr);
    return volumes;
}

} // namespace app
