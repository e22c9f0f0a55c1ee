#include "filesystem.h"

#include "natural_order.h"
#include "target_path.h"

#include <windows.h>
#include <shlobj.h>

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace commands {

namespace {

using Native = Path::string_type;

[[noreturn]] void fail(DWORD code, const Path& path, const char* operation)
{
    throw FsError(static_cast<int>(code), path, operation);
}

[[noreturn]] void failLast(const Path& path, const char* operation)
{
    fail(GetLastError(), path, operation);
}

// UTF-8 of a wide string; an unpaired surrogate becomes U+FFFD instead of failing.
std::string utf8(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::string systemMessage(DWORD code)
{
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring_view message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.remove_suffix(1);
    std::string result = message.empty() ? "error " + std::to_string(code) : utf8(message);
    LocalFree(text);
    return result;
}

// The path as a C string; a path holding a NUL would name another entry, so it is refused.
const wchar_t* cpath(const Path& path, const char* operation)
{
    if (path.native().find(L'\0') != Native::npos)
        fail(ERROR_INVALID_NAME, path, operation);
    return path.c_str();
}

DWORD attributesOf(const Path& path, const char* operation)
{
    const DWORD attributes = GetFileAttributesW(cpath(path, operation));
    if (attributes == INVALID_FILE_ATTRIBUTES)
        failLast(path, operation);
    return attributes;
}

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool isDriveRoot(std::wstring_view path)
{
    return path.size() == 3 && ((path[0] >= L'A' && path[0] <= L'Z') ||
                                (path[0] >= L'a' && path[0] <= L'z')) &&
           path[1] == L':' && isSeparator(path[2]);
}

// Device names that Windows reserves in every folder, with or without an extension.
bool isReservedName(std::wstring_view name)
{
    const std::wstring_view stem = name.substr(0, name.find(L'.'));
    std::wstring upper(stem);
    CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
    for (const wchar_t* reserved : {L"CON", L"PRN", L"AUX", L"NUL"})
        if (upper == reserved)
            return true;
    return upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT")) &&
           upper[3] >= L'1' && upper[3] <= L'9';
}

// One path element that Windows can hold as a name.
bool isValidElement(const Path& name)
{
    const Native& s = name.native();
    if (s.empty() || s == L"." || s == L".." || isReservedName(s))
        return false;
    for (const wchar_t c : s)
        if (c < 0x20 || std::wstring_view(L"\\/<>:\"|?*").find(c) != std::wstring_view::npos)
            return false;
    return true;
}

Native fullPathOf(const Path& path, const char* operation)
{
    const wchar_t* p = cpath(path, operation);
    DWORD size = GetFullPathNameW(p, 0, nullptr, nullptr);
    for (;;) {
        if (size == 0)
            failLast(path, operation);
        Native full(size, L'\0');
        const DWORD written = GetFullPathNameW(p, size, full.data(), nullptr);
        if (written < size) {
            full.resize(written);
            return full;
        }
        size = written;
    }
}

// The path without its long-path or device prefix, as the user would write it.
Native withoutPrefix(Native path)
{
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\") || path.starts_with(L"\\\\.\\"))
        return path.substr(4);
    return path;
}

// A full path in its long form, so that deep trees and names that plain paths would
// normalise away (trailing dots and blanks) are reached exactly.
Native longForm(const Native& full)
{
    if (full.starts_with(L"\\\\?\\") || full.starts_with(L"\\\\.\\"))
        return full;
    if (full.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

// The folder's path with every link resolved, or nothing when it cannot be had.
std::optional<Native> finalPathOf(const Native& path)
{
    const HANDLE handle = CreateFileW(path.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    Native result(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, result.data(), MAX_PATH, 0);
    if (length >= MAX_PATH) {
        result.resize(length);
        length = GetFinalPathNameByHandleW(handle, result.data(), length, 0);
    }
    CloseHandle(handle);
    if (length == 0 || length >= result.size())
        return std::nullopt;
    result.resize(length);
    return withoutPrefix(std::move(result));
}

bool sameText(std::wstring_view a, std::wstring_view b)
{
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring_view trimmed(std::wstring_view path)
{
    while (path.size() > 1 && isSeparator(path.back()) && !isDriveRoot(path))
        path.remove_suffix(1);
    return path;
}

// True when folder is the same as `of` or one of its ancestors; Windows names ignore case.
bool isSameOrAncestor(std::wstring_view folder, std::wstring_view of)
{
    folder = trimmed(folder);
    of = trimmed(of);
    if (sameText(folder, of))
        return true;
    if (of.size() <= folder.size() || !sameText(folder, of.substr(0, folder.size())))
        return false;
    return isSeparator(folder.back()) || isSeparator(of[folder.size()]);
}

// The user's profile folder, from the shell and from the environment.
std::vector<Native> profileFolders()
{
    std::vector<Native> folders;
    wchar_t buffer[MAX_PATH];
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROFILE, nullptr, 0, buffer)))
        folders.emplace_back(buffer);
    const DWORD size = GetEnvironmentVariableW(L"USERPROFILE", nullptr, 0);
    if (size > 1) {
        Native value(size, L'\0');
        value.resize(GetEnvironmentVariableW(L"USERPROFILE", value.data(), size));
        if (!value.empty())
            folders.push_back(std::move(value));
    }
    return folders;
}

// True when the folder is the root of a volume: a drive, a share or a volume mounted on a folder.
bool isVolumeRoot(const Native& full)
{
    if (isDriveRoot(full))
        return true;
    Native volume(full.size() + 2, L'\0');
    if (!GetVolumePathNameW(full.c_str(), volume.data(), static_cast<DWORD>(volume.size())))
        return false;
    volume.resize(wcslen(volume.c_str()));
    return sameText(trimmed(volume), trimmed(full));
}

// Refuses, before anything is touched, the roots of volumes and the profile folder with its
// ancestors, however the path spells them.
void refuseProtectedFolder(const Path& path, const Native& full)
{
    std::vector<Native> spellings{full};
    if (std::optional<Native> real = finalPathOf(full))
        spellings.push_back(std::move(*real));
    std::vector<Native> profiles;
    for (Native& profile : profileFolders()) {
        if (std::optional<Native> real = finalPathOf(profile))
            profiles.push_back(std::move(*real));
        profiles.push_back(std::move(profile));
    }
    for (const Native& candidate : spellings) {
        if (isVolumeRoot(candidate))
            fail(ERROR_ACCESS_DENIED, path, "delete folder (the root of a drive is never deleted)");
        for (const Native& profile : profiles)
            if (isSameOrAncestor(candidate, profile))
                fail(ERROR_ACCESS_DENIED, path, "delete folder (the profile folder is never deleted)");
    }
}

// Renames the entry at path to newName in the same folder, never replacing another entry.
void renameInPlace(const Path& path, const Path& newName)
{
    const char* op = "rename";
    if (!isValidElement(newName))
        fail(ERROR_INVALID_NAME, newName, op);
    const Path oldName = path.filename();
    if (oldName.empty() || oldName == L"." || oldName == L"..")
        fail(ERROR_ACCESS_DENIED, path, op);
    if (oldName.native() == newName.native()) {
        attributesOf(path, op);
        return;
    }
    const Path parent = path.has_parent_path() ? path.parent_path() : Path(L".");
    const Path target = TargetPath(parent, newName, isDriveRoot(parent.native()));
    if (!MoveFileExW(cpath(path, op), target.c_str(), 0))
        failLast(path, op);
}

enum class EntryKind { File, Folder };

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
    const WIN32_FIND_DATAW* next()
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
            const std::wstring_view name = data_.cFileName;
            if (name != L"." && name != L"..")
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

// Links to folders (symbolic links and junctions) carry the folder attribute: they are folders.
EntryKind kindOf(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

std::vector<Path> listNames(const Path& folder, EntryKind wanted)
{
    const char* op = "read folder";
    FolderScan scan(cpath(folder, op), folder, op);
    std::vector<Path> names;
    while (const WIN32_FIND_DATAW* entry = scan.next())
        if (kindOf(entry->dwFileAttributes) == wanted)
            names.emplace_back(entry->cFileName);
    SortNaturally(names);
    return names;
}

bool isLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
bool isReadOnly(DWORD attributes) { return attributes & FILE_ATTRIBUTE_READONLY; }

// Removes a link itself, whatever it leads to.
void removeLink(const Native& path, DWORD attributes, const Path& shown, const char* operation)
{
    const BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str())
                                                                  : DeleteFileW(path.c_str());
    if (!removed)
        failLast(shown, operation);
}

// Deletes the folder's files and links and returns the name of its first real subfolder, or
// nothing when none is left.
std::optional<Native> clearFilesAndFindSubfolder(const Native& folder, const Path& shown)
{
    const char* op = "delete folder";
    FolderScan scan(folder, shown, op);
    while (const WIN32_FIND_DATAW* entry = scan.next()) {
        const Native path = folder + L'\\' + entry->cFileName;
        const Path entryShown = TargetPath(shown, entry->cFileName, false);
        const DWORD attributes = entry->dwFileAttributes;
        if (isReadOnly(attributes))
            fail(ERROR_ACCESS_DENIED, entryShown, op);
        if (isLink(attributes)) {
            removeLink(path, attributes, entryShown, op);
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            return Native(entry->cFileName);
        } else if (!DeleteFileW(path.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
            failLast(entryShown, op);
        }
    }
    return std::nullopt;
}

// Deletes a real folder depth first, one level at a time, without recursion, so that a tree of
// any depth that long paths can reach is deleted. Links met on the way are removed as links.
void deleteTree(const Native& top, const Path& shown)
{
    const char* op = "delete folder";
    std::vector<std::pair<Native, Path>> levels{{top, shown}};
    while (!levels.empty()) {
        const auto [folder, folderShown] = levels.back();
        if (auto sub = clearFilesAndFindSubfolder(folder, folderShown)) {
            const Native path = folder + L'\\' + *sub;
            const Path subShown = TargetPath(folderShown, *sub, false);
            // Checked again right before entering: a folder swapped for a link is only unlinked.
            const DWORD attributes = GetFileAttributesW(path.c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES)
                failLast(subShown, op);
            if (isReadOnly(attributes))
                fail(ERROR_ACCESS_DENIED, subShown, op);
            if (isLink(attributes) || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                removeLink(path, attributes, subShown, op);
            else
                levels.emplace_back(path, subShown);
            continue;
        }
        if (!RemoveDirectoryW(folder.c_str()))
            failLast(folderShown, op);
        levels.pop_back();
    }
}

} // namespace

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + utf8(path.native()) +
                         "\": " + systemMessage(static_cast<DWORD>(code))),
      code_(code), path_(path)
{
}

namespace {

// The volume serial number and file ID of the folder at the path. Windows keeps no handle open
// between calls: an open folder could then not be renamed or deleted.
FolderIdentity identityOf(const Path& path, const char* operation)
{
    const HANDLE handle =
        CreateFileW(cpath(path, operation), FILE_READ_ATTRIBUTES,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failLast(path, operation);
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL read = GetFileInformationByHandle(handle, &info);
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (!read)
        fail(error, path, operation);
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace

Path NameFromText(const std::string& utf8Text)
{
    if (utf8Text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(),
                                         static_cast<int>(utf8Text.size()), nullptr, 0);
    Native wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()),
                        wide.data(), size);
    return Path(std::move(wide));
}

Path File::Name() const { return path().filename(); }

void File::Name(const Path& newName) { renameInPlace(path(), newName); }

void File::Delete()
{
    const char* op = "delete file";
    const Path file = path();
    const DWORD attributes = attributesOf(file, op);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        fail(ERROR_ACCESS_DENIED, file, op);
    if (isReadOnly(attributes))
        fail(ERROR_ACCESS_DENIED, file, op);
    if (!DeleteFileW(file.c_str()))
        failLast(file, op);
}

bool Folder::IsRootFolder() const
{
    return isDriveRoot(path_.native()) && path_.native().back() == L'\\';
}

std::vector<File> Folder::Files() const
{
    const bool root = IsRootFolder();
    std::vector<File> files;
    std::vector<Path> names = ListFileNames(path_);
    files.reserve(names.size());
    for (const Path& name : names)
        files.emplace_back(TargetPath(path_, name, root));
    return files;
}

void Folder::Name(const Path& newName) { renameInPlace(path_, newName); }

void Folder::CheckStillAtItsPath() const
{
    if (identityOf(path_, "open folder") != identity_)
        throw FolderReplaced(path_);
}

Folder FileSystemObject::GetFolder(const Path& path)
{
    const char* op = "open folder";
    if (!(attributesOf(path, op) & FILE_ATTRIBUTE_DIRECTORY))
        fail(ERROR_DIRECTORY, path, op);
    Folder folder(path);
    folder.identity_ = identityOf(path, op);
    return folder;
}

File FileSystemObject::GetFile(const Path::string_type& native) const
{
    const char* op = "open file";
    const Path path(native);
    if (attributesOf(path, op) & FILE_ATTRIBUTE_DIRECTORY)
        fail(ERROR_FILE_NOT_FOUND, path, op);
    return File(path);
}

Folder FileSystemObject::CreateFolder(const Path& path) const
{
    const char* op = "create folder";
    if (!CreateDirectoryW(cpath(path, op), nullptr))
        failLast(path, op);
    return Folder(path);
}

void FileSystemObject::CreateTextFile(const Path& path) const
{
    const char* op = "create file";
    const HANDLE handle = CreateFileW(cpath(path, op), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failLast(path, op);
    CloseHandle(handle);
}

void FileSystemObject::DeleteFolder(const Path& path) const
{
    const char* op = "delete folder";
    const Native full = fullPathOf(path, op);
    refuseProtectedFolder(path, full);
    const Native top = longForm(full);
    const DWORD attributes = GetFileAttributesW(top.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        failLast(path, op);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        fail(ERROR_DIRECTORY, path, op);
    if (isLink(attributes)) {
        // A junction or symbolic link is removed as a link; what it leads to is kept.
        removeLink(top, attributes, path, op);
        return;
    }
    if (isReadOnly(attributes))
        fail(ERROR_ACCESS_DENIED, path, op);
    deleteTree(top, path);
}

FolderEntries ReadFolder(const Path& folder)
{
    const FolderIdentity identity = identityOf(folder, "read folder");
    return {listNames(folder, EntryKind::File), listNames(folder, EntryKind::Folder), identity};
}

std::vector<Path> ListFileNames(const Path& folder) { return listNames(folder, EntryKind::File); }

std::vector<Path> ListSubfolderNames(const Path& folder)
{
    return listNames(folder, EntryKind::Folder);
}

} // namespace commands
