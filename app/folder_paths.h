#pragma once

#include <filesystem>
#include <ranges>
#include <vector>

namespace app {

// Folder paths as the folder tree and the drive list write them: absolute, without "." or "..",
// and without a trailing separator except on a root ("/", "C:\"), whose path ends in it.

// The folder's path written that way; a relative path is taken from the working directory.
std::filesystem::path NormalFolder(const std::filesystem::path& folder);
// The folder's ancestors from its root down, the folder itself last. The folder is normal.
std::vector<std::filesystem::path> AncestorsOf(const std::filesystem::path& folder);
// True when the normal folder is the root or lies below it (a volume's mount path or drive root).
bool IsUnder(const std::filesystem::path& folder, const std::filesystem::path& root);
// Of the roots, the longest one that the folder lies under; empty when there is none.
template <std::ranges::input_range Roots>
std::filesystem::path InnermostRoot(Roots&& roots, const std::filesystem::path& folder)
{
    std::filesystem::path innermost;
    for (const std::filesystem::path& root : roots)
        if (IsUnder(folder, root) && root.native().size() > innermost.native().size())
            innermost = root;
    return innermost;
}

} // namespace app
