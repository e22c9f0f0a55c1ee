#include "filesystem.h"

#include "target_path.h"
#include "win32_backend.h"
#include "win32_text.h"

#include <string>
#include <utility>
#include <vector>

namespace commands {

namespace win32 {

void fail(DWORD code, const Path& path, const char* operation)
{
    throw FsError(static_cast<int>(code), path, operation);
}

void failLast(const Path& path, const char* operation)
{
    fail(GetLastError(), path, operation);
}

// The volume serial number and file ID of the folder at the path. Windows keeps no handle open
// between calls: an open folder could then not be renamed or deleted.
FolderIdentity identityOf(const Path& path, const char* operation)
{
    const HANDLE handle =
        CreateFileW(exactPath(path, operation).c_str(), FILE_READ_ATTRIBUTES,
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

} // namespace win32

using namespace win32;

namespace {

using backend::NativeView;

DWORD attributesOf(const Path& path, const char* operation)
{
    const DWORD attributes = GetFileAttributesW(exactPath(path, operation).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        failLast(path, operation);
    return attributes;
}

enum class EntryKind { File, Folder };

// Links to folders (symbolic links and junctions) carry the folder attribute: they are folders.
EntryKind kindOf(DWORD attributes)
{
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::Folder : EntryKind::File;
}

// A name that Windows can hold: no control character, none of \/<>:"|?* and no device name.
bool isValidName(NativeView name)
{
    static const Native refused = [] {
        Native characters(L"\\/<>:\"|?*");
        for (wchar_t c = 0; c < 0x20; ++c)
            characters += c;
        return characters;
    }();
    return backend::isValidName(name, refused) && !isReservedName(name);
}

// Renames the entry within its folder; MoveFileExW without flags never replaces another entry.
void renameEntry(const Path& path, const Path& newName)
{
    const char* op = "rename";
    if (!isValidName(newName.native()))
        fail(ERROR_INVALID_NAME, newName, op);
    // The file name ends the path: "bar" of "C:\\foo\\bar" and of "C:bar", nothing of "C:\\".
    const NativeView full = path.native();
    const NativeView oldName = full.substr(full.size() - path.filename().native().size());
    if (backend::isDotOrEmpty(oldName))
        fail(ERROR_ACCESS_DENIED, path, op);  // "." or a root keeps its name
    if (backend::isSameName(oldName, newName.native())) {
        attributesOf(path, op);  // it must exist
        return;
    }
    const Path parent = path.has_parent_path() ? path.parent_path() : Path(L".");
    const Path target = TargetPath(parent, newName, isDriveRoot(parent.native()));
    if (!MoveFileExW(exactPath(path, op).c_str(), newEntryPath(target, op).c_str(), 0))
        failLast(path, op);
}

} // namespace

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + Utf8FromWide(path.native()) +
                         "\": " + SystemMessage(static_cast<DWORD>(code))),
      code_(code), path_(path)
{
}

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

Path NameFromText(const std::string& utf8Text) { return Path(WideFromUtf8(utf8Text)); }

Path File::Name() const { return path().filename(); }

void File::Name(const Path& newName) { renameEntry(path(), newName); }

void File::Delete()
{
    const char* op = "delete file";
    const Path file = path();
    const DWORD attributes = attributesOf(file, op);
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        fail(ERROR_ACCESS_DENIED, file, op);
    if (isReadOnly(attributes))
        fail(ERROR_ACCESS_DENIED, file, op);
    const Path folder = file.has_parent_path() ? file.parent_path() : Path(L".");
    const Native folderPlace = folderPlaceOf(exactPath(folder, op), folder, op);
    deleteFileExactly(exactPath(file, op), folderPlace, file, op, false);
}

bool Folder::IsRootFolder() const
{
    return isDriveRoot(path_.native()) && path_.native().back() == L'\\';
}

std::vector<File> Folder::Files(Progress& progress) const
{
    const bool root = IsRootFolder();
    std::vector<File> files;
    std::vector<Path> names = ListFileNames(path_);
    progress.Between();
    files.reserve(names.size());
    for (const Path& name : names)
        files.emplace_back(TargetPath(path_, name, root));
    return files;
}

void Folder::Name(const Path& newName) { renameEntry(path_, newName); }

void Folder::CheckStillAtItsPath() const
{
    FolderIdentity now;
    try {
        now = identityOf(path_, "open folder");
    } catch (const FsError& failure) {
        if (failure.code() != ERROR_FILE_NOT_FOUND && failure.code() != ERROR_PATH_NOT_FOUND)
            throw;
    }
    if (now != identity_)
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
    if (!CreateDirectoryW(newEntryPath(path, op).c_str(), nullptr))
        failLast(path, op);
    return Folder(path);
}

void FileSystemObject::CreateTextFile(const Path& path) const
{
    const char* op = "create file";
    const HANDLE handle = CreateFileW(newEntryPath(path, op).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        failLast(path, op);
    CloseHandle(handle);
}

void FileSystemObject::DeleteFolder(const Path& path, Progress& progress) const
{
    const char* op = "delete folder";
    const Native top = exactPath(path, op);
    refuseProtectedFolder(path, top);
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
    deleteTree(top, path, progress);
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
