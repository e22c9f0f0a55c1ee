#include "backend.h"

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

// A folder of the walk: its exact path, its path as shown, and its place, against which each
// entry's own place is checked before it is deleted or entered.
struct Level {
    Native exact;
    Path shown;
    Native place;
};

// Deletes the folder's files and links and returns the name of its first real subfolder, or
// nothing when none is left.
std::optional<Native> clearFilesAndFindSubfolder(const Level& level, Deletions& deletions)
{
    const auto& [folder, shown, folderPlace] = level;
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
        else
            deleteFileExactly(path, folderPlace, entryShown, op, true);
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
    std::vector<Level> levels{{top, shown, folderPlaceOf(top, shown, op)}};
    while (!levels.empty()) {
        const Level level = levels.back();
        if (auto sub = clearFilesAndFindSubfolder(level, deletions)) {
            const Native path = level.exact + L'\\' + *sub;
            const Path subShown = TargetPath(level.shown, *sub, false);
            // Checked again right before entering: a folder swapped for a link is only unlinked.
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                failLast(subShown, op);
            if (isReadOnly(attributes))
                fail(ERROR_ACCESS_DENIED, subShown, op);
            if (isLink(attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                deletions.Before(level.shown, sub->c_str());
                removeLink(path, attributes, subShown, op);
                ++deletions.done;
            } else {
                levels.push_back({path, subShown, enterSubfolder(path, level.place, subShown, op)});
            }
            continue;
        }
        deletions.Before(level.shown.parent_path(), level.shown.filename().c_str());
        if (!RemoveDirectoryW(level.exact.c_str()))
            failLast(level.shown, op);
        ++deletions.done;
        levels.pop_back();
    }
}

} // namespace commands::win32
