#include "filesystem.h"

#include "natural_order.h"
#include "backend.h"
#include "target_path.h"

namespace commands {

using namespace posix;

namespace {

Path parentOf(const Path& path)
{
    Path parent = path.parent_path();
    return parent.empty() ? Path(".") : parent;
}

// Opens the folder at the path for calls relative to it; it need not be readable.
std::shared_ptr<const OpenedFolder> openFolder(const Path& path, bool isRoot, const char* op)
{
    Fd fd = openDirectory(AT_FDCWD, cpath(path, op), O_PATH, path, op);
    const struct stat st = statAt(fd.get(), "", AT_EMPTY_PATH, path, op);
    return std::make_shared<const OpenedFolder>(std::move(fd), path.native(),
                                                ComposeTargetPath(path, Path(), isRoot),
                                                identityOf(st));
}

// Where the calls find the entry at the full path: relative to the folder when the path lies
// in it (the folder held, or the one a file was found in), else by the full path itself.
Place placeIn(const OpenedFolder* folder, const std::string& full)
{
    if (folder)
        if (const char* inside = folder->Inside(full))
            return {folder->fd.get(), inside};
    return {AT_FDCWD, full.c_str()};
}

// What a file just looked up points at: a place inside the folder it was found in, which it
// keeps alive, or one of two places shared by the files found by their full paths.
std::shared_ptr<const FileAt> lookedUpAt(std::shared_ptr<const OpenedFolder> folder, bool readOnly)
{
    static const FileAt writableByPath{nullptr, true, false};
    static const FileAt readOnlyByPath{nullptr, true, true};
    if (!folder)
        return {std::shared_ptr<const FileAt>(), readOnly ? &readOnlyByPath : &writableByPath};
    const FileAt* at = readOnly ? &folder->readOnly : &folder->writable;
    return {std::move(folder), at};
}

} // namespace

Path NameFromText(const std::string& utf8) { return Path(utf8); }

// Linux keeps no name for devices: /dev holds them.
bool IsDeviceName(const Path&) { return false; }

bool FileSystemObject::FollowsFolderMoved() { return true; }

Path File::Name() const
{
    const std::size_t slash = native_.rfind('/');
    return Path(slash == std::string::npos ? native_ : native_.substr(slash + 1));
}

void File::Name(const Path& newName)
{
    renameEntry(placeIn(at_ ? at_->folder : nullptr, native_), native_, newName);
}

void File::Delete()
{
    const char* op = "delete file";
    if (native_.find('\0') != std::string::npos)
        fail(EINVAL, path(), op);
    const auto [dirfd, at] = placeIn(at_ ? at_->folder : nullptr, native_);
    bool readOnly = at_ && at_->readOnly;
    // A file just looked up is not looked at again: unlinkat never removes a folder, and a link
    // put in the file's place is removed as a link.
    if (!(at_ && at_->lookedUp)) {
        struct stat st {};
        if (sys().fstatat(dirfd, at, &st, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, path(), op);
        if (S_ISDIR(st.st_mode))
            fail(EISDIR, path(), op);
        readOnly = isReadOnly(st);
    }
    if (readOnly)
        fail(EACCES, path(), op);
    if (sys().unlinkat(dirfd, at, 0) != 0)
        fail(errno, path(), op);
}

bool Folder::IsRootFolder() const { return path_.native() == "/"; }

std::vector<File> Folder::Files(Progress& progress) const
{
    const char* op = "read folder";
    std::shared_ptr<const OpenedFolder> folder = opened_.lock();
    if (!folder) {
        folder = openFolder(path_, IsRootFolder(), op);
        if (identity_ != FolderIdentity() && folder->identity != identity_)
            throw FolderReplaced(path_);
    }
    std::vector<Path> names = readEntriesAt(folder->fd.get(), path_, true, false).files;
    progress.Between();
    SortNaturally(names);
    progress.Between();
    return FilesAt(folder->prefix, names, std::shared_ptr<const FileAt>(folder, &folder->listed));
}

void Folder::CheckStillAtItsPath() const
{
    struct stat st {};
    if (sys().fstatat(AT_FDCWD, cpath(path_, "open folder"), &st, 0) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            throw FolderReplaced(path_);
        fail(errno, path_, "open folder");
    }
    if (identityOf(st) != identity_)
        throw FolderReplaced(path_);
}

void Folder::Name(const Path& newName)
{
    if (identity_ != FolderIdentity()) {
        struct stat st {};
        if (sys().fstatat(AT_FDCWD, cpath(path_, "rename"), &st, 0) == 0 &&
            identityOf(st) != identity_)
            fail(ESTALE, path_, "rename (the folder's path names another folder now)");
    }
    renameEntry({AT_FDCWD, path_.c_str()}, path_.native(), newName);
}

Folder FileSystemObject::GetFolder(const Path& path)
{
    Folder folder(path);
    held_ = openFolder(path, folder.IsRootFolder(), "open folder");
    folder.identity_ = held_->identity;
    folder.opened_ = held_;
    return folder;
}

File FileSystemObject::GetFile(const Path::string_type& path) const
{
    const char* op = "open file";
    if (path.find('\0') != std::string::npos)
        fail(EINVAL, Path(path), op);
    const char* at = path.c_str();
    std::shared_ptr<const OpenedFolder> folder = held_;
    if (folder) {
        if (const char* name = folder->NameOf(path))
            at = name;
        else
            folder.reset();
    }
    const int dirfd = folder ? folder->fd.get() : AT_FDCWD;
    struct stat st {};
    if (sys().fstatat(dirfd, at, &st, AT_SYMLINK_NOFOLLOW) != 0)
        fail(errno, Path(path), op);
    if (S_ISDIR(st.st_mode))
        fail(EISDIR, Path(path), op);
    if (S_ISLNK(st.st_mode)) {
        struct stat target {};
        if (sys().fstatat(dirfd, at, &target, 0) == 0 && S_ISDIR(target.st_mode))
            fail(EISDIR, Path(path), op);
    }
    File file(path, lookedUpAt(std::move(folder), isReadOnly(st)));
    file.identity_ = identityOf(st);
    file.empty_ = st.st_size == 0;
    return file;
}

EntryIdentity FileSystemObject::IdentityOf(const Path& path) const
{
    const char* op = "open";
    cpath(path, op);
    const auto [dirfd, at] = placeIn(held_.get(), path.native());
    return identityOf(statAt(dirfd, at, AT_SYMLINK_NOFOLLOW, path, op));
}

bool FileSystemObject::RemoveEmptyFolder(const Path& path) const
{
    const char* op = "delete folder";
    cpath(path, op);
    const auto [dirfd, at] = placeIn(held_.get(), path.native());
    if (sys().unlinkat(dirfd, at, AT_REMOVEDIR) == 0)
        return true;
    if (errno == ENOTEMPTY || errno == EEXIST)
        return false;
    fail(errno, path, op);
}

Folder FileSystemObject::CreateFolder(const Path& path) const
{
    const char* op = "create folder";
    cpath(path, op);
    const auto [dirfd, at] = placeIn(held_.get(), path.native());
    if (sys().mkdirat(dirfd, at, 0777) != 0)
        fail(errno, path, op);
    return Folder(path);
}

void FileSystemObject::CreateTextFile(const Path& path) const
{
    const char* op = "create file";
    cpath(path, op);
    const auto [dirfd, at] = placeIn(held_.get(), path.native());
    const int fd = sys().openat(dirfd, at, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        fail(errno, path, op);
    sys().close(fd);
}

void FileSystemObject::DeleteFolder(const Path& path, Progress& progress) const
{
    const char* op = "delete folder";
    refuseProtectedFolder(path);
    const Path name = path.filename();
    if (backend::isDotOrEmpty(name.native()))
        fail(EINVAL, path, op);
    // The folder looked up is deleted only while its path still names it.
    const FolderIdentity* expected = held_ && held_->path == path.native() ? &held_->identity
                                                                           : nullptr;
    const Fd parent = openDirectory(AT_FDCWD, cpath(parentOf(path), op), 0, path, op);
    const struct stat st = statAt(parent.get(), name.c_str(), AT_SYMLINK_NOFOLLOW, path, op);
    if (expected) {
        const struct stat seen =
            S_ISLNK(st.st_mode) ? statAt(parent.get(), name.c_str(), 0, path, op) : st;
        if (identityOf(seen) != *expected)
            fail(ESTALE, path, "delete folder (its path names another folder now)");
    }
    if (S_ISLNK(st.st_mode)) {
        // A link is removed as a link; what it leads to is kept.
        if (sys().unlinkat(parent.get(), name.c_str(), 0) != 0)
            fail(errno, path, op);
        return;
    }
    if (!S_ISDIR(st.st_mode))
        fail(ENOTDIR, path, op);
    if (isReadOnly(st))
        fail(EACCES, path, op);
    deleteTree(parent.get(), name.native(), identityOf(st), path, progress);
}

} // namespace commands
