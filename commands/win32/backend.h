#pragma once

// The Windows backend's own declarations, shared by its files.

#include "filesystem.h"
#include "filesystem_backend.h"
#include "progress.h"
#include "exact_path.h"

#include <windows.h>

#include <optional>
#include <string_view>
#include <vector>

namespace commands::win32 {

using backend::Native;

[[noreturn]] void fail(DWORD code, const Path& path, const char* operation);
[[noreturn]] void failLast(const Path& path, const char* operation);
// The path in its exact long form (ExactPath); a path holding a NUL would name another entry,
// so it is refused.
Native exactPath(const Path& path, const char* operation);
// The exact path for an entry about to be made or given its name: the folder's, and the new
// name as Windows keeps new names, without trailing dots and blanks.
Native newEntryPath(const Path& path, const char* operation);
// The exact path of the entry that has this name in the folder: the folder's exact form and the
// name joined to it as it is, never parsed, so that no part of a name is read as a path.
Native exactIn(const Path& folder, backend::NativeView name, const char* operation);
// A file's folder and its name in it.
struct InFolder {
    Path folder;
    Native name;
};
// Renames the entry within its folder; never over another entry.
void renameEntry(const InFolder& entry, const Path& shown, const Path& newName);
// A device name that Windows reserves in every folder, with or without an extension.
bool isReservedName(std::wstring_view name);
// The name without the trailing dots and blanks that plain paths drop.
Native withoutTrailingDotsAndBlanks(Native name);

// Where the folder at the exact path is, followed where it is a link: its volume and its path
// on it, where the entries inside it are found.
Native folderPlaceOf(const Native& exact, const Path& shown, const char* operation);
// The place of the subfolder at the exact path, inside the folder at folderPlace; fails where
// its name leads elsewhere, as a link that is not shown as one does.
Native enterSubfolder(const Native& exact, const Native& folderPlace, const Path& shown,
                      const char* operation);
// Deletes the file at the exact path, inside the folder at folderPlace, through a handle on the
// file itself: where the name leads elsewhere, nothing is deleted and it fails, so that no file
// outside the folder is ever reached. A file already gone counts as deleted where goneIsDeleted
// says so.
void deleteFileExactly(const Native& exact, const Native& folderPlace, const Path& shown,
                       const char* operation, bool goneIsDeleted);

inline bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

inline bool isDriveRoot(std::wstring_view path)
{
    return path.size() == 3 && ((path[0] >= L'A' && path[0] <= L'Z') ||
                                (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && isSeparator(path[2]);
}

// Windows names ignore case.
inline bool sameText(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

inline bool isLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
inline bool isReadOnly(DWORD attributes) { return attributes & FILE_ATTRIBUTE_READONLY; }

// Removes a link itself, whatever it leads to.
void removeLink(const Native& path, DWORD attributes, const Path& shown, const char* operation);

// A folder's entries other than . and .., read with FindFirstFileExW.
class FolderScan {
public:
    FolderScan(const Native& folder, const Path& shown, const char* operation)
        : shown_(shown), operation_(operation)
    {
        Native pattern = folder;
        if (!pattern.empty() && !isSeparator(pattern.back()))
            pattern += L'\\';
        pattern += L'*';
        handle_ = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data_,
                                   FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (handle_ == INVALID_HANDLE_VALUE)
            failLast(shown_, operation_);
        pending_ = true;
    }
    ~FolderScan() { FindClose(handle_); }
    FolderScan(const FolderScan&) = delete;
    FolderScan& operator=(const FolderScan&) = delete;

    // The next entry, or null at the end.
    const WIN32_FIND_DATAW* Next()
    {
        for (;;) {
            if (!pending_) {
                if (!FindNextFileW(handle_, &data_)) {
                    if (GetLastError() != ERROR_NO_MORE_FILES)
                        failLast(shown_, operation_);
                    return nullptr;
                }
            }
            pending_ = false;
            if (!backend::isDotOrEmpty(data_.cFileName))
                return &data_;
        }
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data_{};
    bool pending_ = false;
    const Path& shown_;
    const char* operation_;
};

// The volume serial number and file ID of the folder at the path.
FolderIdentity identityOf(const Path& path, const char* operation);
// What the entry at the exact path is: a link itself, or where followLink says so, what it
// leads to.
BY_HANDLE_FILE_INFORMATION entryInformation(const Native& exact, const Path& shown,
                                            const char* operation, bool followLink = false);
EntryIdentity identityIn(const BY_HANDLE_FILE_INFORMATION& info);

// The user's profile folder, from the shell and from the environment: one spelling each, the
// shell's first.
std::vector<Native> profileFolders();
// Refuses, before anything is touched, the roots of volumes and the profile folder with its
// ancestors, however the path spells them; `exact` is the path's exact form.
void refuseProtectedFolder(const Path& path, const Native& exact);

// Deletes a real folder, given by its full path in its long form, with everything in it;
// tells the progress before each item it deletes.
void deleteTree(const Native& top, const Path& shown, Progress& progress);

} // namespace commands::win32

namespace commands {

struct OpenedFolder;

// Where a file was found: the folder looked up, whose path its own path starts with.
struct FileAt {
    const OpenedFolder* folder;
};

// What the Windows backend keeps of a folder looked up: its path and the start of its files'
// paths, never a handle, which would keep the folder from being renamed or its drive ejected.
// A file found in it is its path's rest, one name taken exactly as listed.
struct OpenedFolder {
    OpenedFolder(backend::Native folderPath, backend::Native entryPrefix)
        : path(std::move(folderPath)), prefix(std::move(entryPrefix))
    {
    }
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    const backend::Native path;
    const backend::Native prefix;
    const FileAt listed{this};
};

} // namespace commands
