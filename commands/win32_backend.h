#pragma once

// The Windows backend's own declarations, shared by its files.

#include "filesystem.h"
#include "filesystem_backend.h"
#include "progress.h"

#include <windows.h>

#include <string_view>

namespace commands::win32 {

using backend::Native;

[[noreturn]] void fail(DWORD code, const Path& path, const char* operation);
[[noreturn]] void failLast(const Path& path, const char* operation);
// The path as a C string; a path holding a NUL would name another entry, so it is refused.
const wchar_t* cpath(const Path& path, const char* operation);

inline bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

inline bool isDriveRoot(std::wstring_view path)
{
    return path.size() == 3 && ((path[0] >= L'A' && path[0] <= L'Z') ||
                                (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && isSeparator(path[2]);
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

// Refuses, before anything is touched, the roots of volumes and the profile folder with its
// ancestors, however the path spells them.
void refuseProtectedFolder(const Path& path, const Native& full);

// Deletes a real folder, given by its full path in its long form, with everything in it;
// tells the progress before each item it deletes.
void deleteTree(const Native& top, const Path& shown, Progress& progress);

} // namespace commands::win32
