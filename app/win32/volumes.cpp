#include "volumes.h"

#include "natural_order.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace app {

namespace {

// The roots of the logical drives, "A:\", "C:\" and so on, in natural order.
std::vector<std::filesystem::path> LogicalDriveRoots()
{
    std::wstring buffer(GetLogicalDriveStringsW(0, nullptr), L'\0');
    const DWORD length = GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
    buffer.resize(length <= buffer.size() ? length : 0);
    std::vector<std::filesystem::path> roots;
    // "A:\", NUL, "C:\", NUL, ...: one root after another.
    for (const wchar_t* root = buffer.c_str(); *root != L'\0'; root += std::wcslen(root) + 1)
        roots.emplace_back(root);
    commands::SortNaturally(roots);
    return roots;
}

} // namespace

std::vector<Volume> ReadVolumes(const std::filesystem::path& workingFolder)
{
    const std::filesystem::path workingRoot = workingFolder.root_path();
    // A drive without its medium (an empty card reader or disc drive) must fail quietly here,
    // without the system's "insert a disk" box.
    DWORD oldMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode);
    std::vector<Volume> volumes;
    for (std::filesystem::path& root : LogicalDriveRoots()) {
        wchar_t label[MAX_PATH + 1] = {};
        const bool ready = GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr,
                                                 nullptr, nullptr, nullptr, 0);
        if (ready || root == workingRoot)
            volumes.push_back({std::move(root), QString::fromWCharArray(label)});
    }
    SetThreadErrorMode(oldMode, nullptr);
    return volumes;
}

} // namespace app
