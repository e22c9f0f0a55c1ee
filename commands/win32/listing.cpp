// A folder's entries, and what a folder is: its volume serial number and file ID.
#include "backend.h"

#include <optional>

namespace commands {

namespace win32 {

EntryIdentity identityIn(const BY_HANDLE_FILE_INFORMATION& info)
{
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

BY_HANDLE_FILE_INFORMATION entryInformation(const Native& exact, const Path& shown,
                                            const char* operation, bool followLink)
{
    const DWORD flags =
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    const HANDLE handle = CreateFileW(exact.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, flags, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failLast(shown, operation);
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL read = GetFileInformationByHandle(handle, &info);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!read)
        fail(error, shown, operation);
    return info;
}

// The volume serial number and file ID of the folder at the path, a link followed. Windows
// keeps no handle open between calls: an open folder could then not be renamed or deleted.
FolderIdentity identityOf(const Path& path, const char* operation)
{
    return identityIn(entryInformation(exactPath(path, operation), path, operation, true));
}

} // namespace win32

using namespace win32;

namespace {

enum class EntryKind { File, Folder };

// Links to folders (symbolic links and junctions) carry the folder attribute: they are folders.
EntryKind kindOf(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

} // namespace

FolderEntries ReadFolder(const Path& folder, EntryKinds kinds)
{
    const char* op = "read folder";
    FolderEntries entries;
    if (kinds.identity)
        entries.identity = identityOf(folder, op);
    FolderScan scan(exactPath(folder, op), folder, op);
    while (const WIN32_FIND_DATAW* entry = scan.Next()) {
        if (kindOf(entry->dwFileAttributes) == EntryKind::File) {
            if (kinds.files)
                entries.files.emplace_back(entry->cFileName);
        } else if (kinds.subfolders) {
            entries.subfolders.emplace_back(entry->cFileName);
        }
    }
    backend::sortNaturally(entries);
    return entries;
}

namespace backend {

FolderIdentity folderIdentityAt(const Path& folder) { return identityOf(folder, "open folder"); }

// A listing names no file IDs: each subfolder is looked at in turn.
std::optional<Path> findSubfolder(const Path& parent, const FolderIdentity& folder)
{
    for (const Path& name : ListSubfolderNames(parent)) {
        try {
            if (identityOf(parent / name, "open folder") == folder)
                return name;
        } catch (const FsError&) {
        }
    }
    return std::nullopt;
}

} // namespace backend

} // namespace commands
