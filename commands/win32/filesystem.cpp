#include "filesystem.h"

#include "backend.h"
#include "target_path.h"
#include "text.h"

#include <string>
#include <utility>
#include <vector>

namespace commands {

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

// The folder that the file was found in and the rest of its path, which must be one name; or,
// for a file named by its path alone, the path's parent and last element.
InFolder inFolderOf(const Native& path, const FileAt* at, const char* operation)
{
    if (!at) {
        const Path full(path);
        return {full.has_parent_path() ? full.parent_path() : Path(L"."), full.filename().native()};
    }
    Native name = path.substr(at->folder->prefix.size());
    if (!IsOneName(Path(name)))
        fail(ERROR_INVALID_NAME, Path(path), operation);
    return {Path(at->folder->path), std::move(name)};
}

} // namespace

Path NameFromText(const std::string& utf8Text) { return Path(WideFromUtf8(utf8Text)); }

bool IsDeviceName(const Path& name) { return isReservedName(name.native()); }

bool FileSystemObject::FollowsFolderMoved() { return false; }

Path File::Name() const
{
    return at_ ? Path(native_.substr(at_->folder->prefix.size())) : path().filename();
}

void File::Name(const Path& newName)
{
    renameEntry(inFolderOf(native_, at_.get(), "rename"), path(), newName);
}

void File::Delete()
{
    const char* op = "delete file";
    const InFolder entry = inFolderOf(native_, at_.get(), op);
    const Native exact = exactIn(entry.folder, entry.name, op);
    const DWORD attributes = GetFileAttributesW(exact.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        failLast(path(), op);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) || isReadOnly(attributes))
        fail(ERROR_ACCESS_DENIED, path(), op);
    // The file must lie in the folder that it was found in, under its listed name.
    const Native folderPlace = folderPlaceOf(exactPath(entry.folder, op), entry.folder, op);
    deleteFileExactly(exact, folderPlace, path(), op, false);
}

bool Folder::IsRootFolder() const
{
    return isDriveRoot(path_.native()) && path_.native().back() == L'\\';
}

namespace {

std::shared_ptr<const OpenedFolder> lookedUp(const Path& path, bool isRoot)
{
    return std::make_shared<const OpenedFolder>(path.native(),
                                                ComposeTargetPath(path, Path(), isRoot));
}

} // namespace

std::vector<File> Folder::Files(Progress& progress) const
{
    std::shared_ptr<const OpenedFolder> folder = opened_.lock();
    if (!folder)
        folder = lookedUp(path_, IsRootFolder());
    std::vector<Path> names = ListFileNames(path_);
    progress.Between();
    return FilesAt(folder->prefix, names, std::shared_ptr<const FileAt>(folder, &folder->listed));
}

void Folder::Name(const Path& newName)
{
    // The file name ends the path: "bar" of "C:\\foo\\bar" and of "C:bar", nothing of "C:\\".
    const NativeView full = path_.native();
    const Native name(full.substr(full.size() - path_.filename().native().size()));
    renameEntry({path_.has_parent_path() ? path_.parent_path() : Path(L"."), name}, path_,
                newName);
}

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
    held_ = lookedUp(path, folder.IsRootFolder());
    folder.opened_ = held_;
    return folder;
}

File FileSystemObject::GetFile(const Path::string_type& native) const
{
    const char* op = "open file";
    std::shared_ptr<const FileAt> at;
    if (held_ && native.size() > held_->prefix.size() && native.starts_with(held_->prefix))
        at = std::shared_ptr<const FileAt>(held_, &held_->listed);
    const InFolder entry = inFolderOf(native, at.get(), op);
    const BY_HANDLE_FILE_INFORMATION info =
        entryInformation(exactIn(entry.folder, entry.name, op), Path(native), op);
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        fail(ERROR_FILE_NOT_FOUND, Path(native), op);
    File file(native, std::move(at));
    file.identity_ = identityIn(info);
    file.empty_ = info.nFileSizeHigh == 0 && info.nFileSizeLow == 0;
    return file;
}

EntryIdentity FileSystemObject::IdentityOf(const Path& path) const
{
    const char* op = "open";
    return identityIn(entryInformation(exactPath(path, op), path, op));
}

bool FileSystemObject::RemoveEmptyFolder(const Path& path) const
{
    const char* op = "delete folder";
    if (RemoveDirectoryW(exactPath(path, op).c_str()))
        return true;
    if (GetLastError() == ERROR_DIR_NOT_EMPTY)
        return false;
    failLast(path, op);
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

} // namespace commands
