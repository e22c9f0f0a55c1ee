#include "win32_backend.h"

#include "target_path.h"

#include <optional>
#include <vector>

namespace commands::win32 {

namespace {

// The items deleted so far, told to the progress before each next one.
struct Deletions {
    Progress& progress;
    std::uint64_t done = 0;
    void Before(const Path& folder, const wchar_t* name)
    {
        progress.Before({Work::DeletingFolder, done, 0, folder.native(), name});
    }
};

// Deletes the folder's files and links and returns the name of its first real subfolder, or
// nothing when none is left.
std::optional<Native> clearFilesAndFindSubfolder(const Native& folder, const Path& shown,
                                                 Deletions& deletions)
{
    const char* op = "delete folder";
    FolderScan scan(folder, shown, op);
    while (const WIN32_FIND_DATAW* entry = scan.Next()) {
        const Native path = folder + L'\\' + entry->cFileName;
        const Path entryShown = TargetPath(shown, entry->cFileName, false);
        const DWORD attributes = entry->dwFileAttributes;
        if (isReadOnly(attributes))
            fail(ERROR_ACCESS_DENIED, entryShown, op);
        const bool link = isLink(attributes);
        if (!link && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            return Native(entry->cFileName);
        deletions.Before(shown, entry->cFileName);
        if (link)
            removeLink(path, attributes, entryShown, op);
        else if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND)
            failLast(entryShown, op);
        ++deletions.done;
    }
    return std::nullopt;
}

} // namespace

// Deletes a real folder depth first, one level at a time, without recursion, so that a tree of
// any depth that long paths can reach is deleted. Links met on the way are removed as links.
void deleteTree(const Native& top, const Path& shown, Progress& progress)
{
    const char* op = "delete folder";
    Deletions deletions{progress};
    std::vector<std::pair<Native, Path>> levels{{top, shown}};
    while (!levels.empty()) {
        const auto [folder, folderShown] = levels.back();
        if (auto sub = clearFilesAndFindSubfolder(folder, folderShown, deletions)) {
            const Native path = folder + L'\\' + *sub;
            const Path subShown = TargetPath(folderShown, *sub, false);
            // Checked again right before entering: a folder swapped for a link is only unlinked.
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                failLast(subShown, op);
            if (isReadOnly(attributes))
                fail(ERROR_ACCESS_DENIED, subShown, op);
            if (isLink(attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                deletions.Before(folderShown, sub->c_str());
                removeLink(path, attributes, subShown, op);
                ++deletions.done;
            } else {
                levels.emplace_back(path, subShown);
            }
            continue;
        }
        deletions.Before(folderShown.parent_path(), folderShown.filename().c_str());
        if (!RemoveDirectoryW(folder.c_str()))
            failLast(folderShown, op);
        ++deletions.done;
        levels.pop_back();
    }
}

} // namespace commands::win32
