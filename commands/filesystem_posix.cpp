#include "filesystem.h"

#include "natural_order.h"
#include "posix_syscalls.h"
#include "target_path.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <pwd.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

#ifndef STATX_ATTR_MOUNT_ROOT
#define STATX_ATTR_MOUNT_ROOT 0x00002000
#endif

namespace commands {

namespace {

int realOpenat(int dirfd, const char* path, int flags, mode_t mode)
{
    return ::openat(dirfd, path, flags, mode);
}

int realRenameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                  unsigned flags)
{
    return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

const SystemCalls realCalls{realOpenat,    ::close,     ::fstatat,   ::statx,
                            ::mkdirat,     ::unlinkat,  realRenameat2, ::linkat,
                            ::fdopendir,   ::readdir,   ::closedir,  ::realpath};

SystemCalls currentCalls = realCalls;

SystemCalls& sys() { return currentCalls; }

[[noreturn]] void fail(int code, const Path& path, const char* operation)
{
    throw FsError(code, path, operation);
}

// The path as a C string; a path holding a NUL byte would name another entry, so it is refused.
const char* cpath(const Path& path, const char* operation)
{
    if (path.native().find('\0') != std::string::npos)
        fail(EINVAL, path, operation);
    return path.c_str();
}

// An open file descriptor, closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept
    {
        if (this != &other) {
            reset();
            fd_ = other.release();
        }
        return *this;
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset()
    {
        if (fd_ >= 0)
            sys().close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

Fd openDirectory(int dirfd, const char* name, int extraFlags, const Path& shown,
                 const char* operation)
{
    const int fd = sys().openat(dirfd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags, 0);
    if (fd < 0)
        fail(errno, shown, operation);
    return Fd(fd);
}

struct stat statAt(int dirfd, const char* name, int flags, const Path& shown,
                   const char* operation)
{
    struct stat st {};
    if (sys().fstatat(dirfd, name, &st, flags) != 0)
        fail(errno, shown, operation);
    return st;
}

FolderIdentity identityOf(const struct stat& st)
{
    return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino)};
}

bool isReadOnly(const struct stat& st) { return !S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR); }

// True when the entry (or, with AT_EMPTY_PATH, the open folder itself) is the root of a
// mount, bind mounts of the same file system included. When the kernel cannot answer, that is
// a failure, not a "no": a guard that guessed would let the folder delete into another volume.
// Kernels before 5.8 do not report the attribute; there only the device numbers tell mounts.
bool isMountRoot(int dirfd, const char* name, int flags, const Path& shown, const char* operation)
{
    struct statx stx {};
    if (sys().statx(dirfd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO, &stx) != 0)
        fail(errno, shown, operation);
    return (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

// The directory's next entry other than . and .., or null at the end.
template <typename Shown>
const dirent* nextEntry(DIR* dir, const Shown& shown, const char* operation)
{
    for (;;) {
        errno = 0;
        const dirent* entry = sys().readdir(dir);
        if (!entry) {
            if (errno != 0)
                fail(errno, Path(shown), operation);
            return nullptr;
        }
        const char* n = entry->d_name;
        if (!(n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'))))
            return entry;
    }
}

// A directory stream over an open directory, closed when it goes out of scope.
class DirStream {
public:
    DirStream(int dirfd, const Path& shown, const char* operation)
    {
        // fdopendir takes over the descriptor, so it gets a copy of its own.
        Fd copy(sys().openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0));
        if (copy.get() < 0)
            fail(errno, shown, operation);
        dir_ = sys().fdopendir(copy.get());
        if (!dir_)
            fail(errno, shown, operation);
        copy.release();
    }
    ~DirStream() { sys().closedir(dir_); }
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;

    // The next entry other than . and .., or null at the end.
    const dirent* next(const Path& shown, const char* operation)
    {
        return nextEntry(dir_, shown, operation);
    }

private:
    DIR* dir_ = nullptr;
};

bool isValidElement(const Path& name)
{
    const auto& s = name.native();
    return !s.empty() && s != "." && s != ".." && s.find('/') == std::string::npos &&
           s.find('\0') == std::string::npos;
}

Path parentOf(const Path& path)
{
    Path parent = path.parent_path();
    return parent.empty() ? Path(".") : parent;
}

// An entry as the calls that act on it find it: relative to a folder descriptor, or to the
// current directory when the path is a full one; and its full path, for messages.
struct EntryAt {
    int dirfd;
    const char* path;
    std::string_view full;
};

// Gives a file (not a folder) its new name as a hard link, then drops the old name. Returns
// false where the file system makes no hard link, so that another way can be tried.
bool renameByHardLink(const EntryAt& from, const EntryAt& to, const struct stat& st)
{
    const char* op = "rename";
    if (sys().linkat(from.dirfd, from.path, to.dirfd, to.path, 0) != 0) {
        if (errno == EEXIST)
            fail(EEXIST, Path(to.full), op);
        return false;
    }
    if (sys().unlinkat(from.dirfd, from.path, 0) == 0)
        return true;
    const int saved = errno;
    // The new name is taken back only while the old one still holds the same file: had someone
    // else removed or replaced the old name meanwhile, the new name would be the file's last.
    // When that cannot be told, both names stay and the rename is reported as failed.
    struct stat now {};
    if (sys().fstatat(from.dirfd, from.path, &now, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return true;
        fail(saved, Path(from.full), op);
    }
    if (now.st_dev != st.st_dev || now.st_ino != st.st_ino)
        return true;
    sys().unlinkat(to.dirfd, to.path, 0);
    fail(saved, Path(from.full), op);
}

// Renames where the file system does not support RENAME_NOREPLACE: the new name is first
// claimed by a hard link or a placeholder that only this call can have made, so a taken name
// still fails.
void renameClaimingTheName(const EntryAt& from, const EntryAt& to)
{
    const char* op = "rename";
    const struct stat st = statAt(from.dirfd, from.path, AT_SYMLINK_NOFOLLOW, Path(from.full), op);
    if (!S_ISDIR(st.st_mode) && renameByHardLink(from, to, st))
        return;
    // Claim the name with an empty placeholder, then move the entry over it.
    if (S_ISDIR(st.st_mode)) {
        if (sys().mkdirat(to.dirfd, to.path, 0700) != 0)
            fail(errno, Path(to.full), op);
    } else {
        const int fd = sys().openat(to.dirfd, to.path,
                                    O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            fail(errno, Path(to.full), op);
        sys().close(fd);
    }
    if (sys().renameat2(from.dirfd, from.path, to.dirfd, to.path, 0) != 0) {
        const int saved = errno;
        sys().unlinkat(to.dirfd, to.path, S_ISDIR(st.st_mode) ? AT_REMOVEDIR : 0);
        fail(saved, Path(from.full), op);
    }
}

// Renames the entry at the full path `native` to newName in the same folder, never replacing
// an entry. The calls find the entry at `at`, which is either the full path or its name in an
// open folder. Works on plain strings: path objects are made only when something fails.
void renameInPlace(const std::string& native, const EntryAt& at, const Path& newName)
{
    const char* op = "rename";
    if (!isValidElement(newName))
        fail(EINVAL, newName, op);
    if (native.find('\0') != std::string::npos)
        fail(EINVAL, Path(native), op);
    const std::size_t slash = native.rfind('/');
    const std::string_view oldName =
        slash == std::string::npos ? std::string_view(native) : std::string_view(native).substr(slash + 1);
    if (oldName.empty() || oldName == "." || oldName == "..")
        fail(EBUSY, Path(native), op);
    if (oldName == newName.native()) {
        statAt(at.dirfd, at.path, AT_SYMLINK_NOFOLLOW, Path(native), op);
        return;
    }
    const std::string newPath = native.substr(0, native.size() - oldName.size()) + newName.native();
    // Relative to an open folder the new name is the new path; otherwise the full one is.
    const std::string& target = at.dirfd == AT_FDCWD ? newPath : newName.native();
    if (sys().renameat2(at.dirfd, at.path, at.dirfd, target.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        fail(errno, Path(native), op);
    renameClaimingTheName(at, {at.dirfd, target.c_str(), newPath});
}

enum class EntryKind { File, Folder };

EntryKind kindOf(int dirfd, const dirent& entry, const Path& folder)
{
    unsigned char type = entry.d_type;
    if (type == DT_UNKNOWN) {
        struct stat st {};
        if (sys().fstatat(dirfd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, folder / entry.d_name, "read folder");
        type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
    }
    if (type == DT_DIR)
        return EntryKind::Folder;
    if (type == DT_LNK) {
        struct stat target {};
        if (sys().fstatat(dirfd, entry.d_name, &target, 0) == 0 && S_ISDIR(target.st_mode))
            return EntryKind::Folder;
    }
    return EntryKind::File;
}

// Reads the open folder once; sorts the names of the kinds asked for.
FolderEntries readEntriesAt(int dirfd, const Path& folder, bool wantFiles, bool wantSubfolders)
{
    const char* op = "read folder";
    DirStream stream(dirfd, folder, op);
    FolderEntries entries;
    while (const dirent* entry = stream.next(folder, op)) {
        if (kindOf(dirfd, *entry, folder) == EntryKind::File) {
            if (wantFiles)
                entries.files.emplace_back(entry->d_name);
        } else if (wantSubfolders) {
            entries.subfolders.emplace_back(entry->d_name);
        }
    }
    SortNaturally(entries.files);
    SortNaturally(entries.subfolders);
    return entries;
}

FolderEntries readEntries(const Path& folder, bool wantFiles, bool wantSubfolders)
{
    const char* op = "read folder";
    const Fd fd = openDirectory(AT_FDCWD, cpath(folder, op), 0, folder, op);
    FolderEntries entries = readEntriesAt(fd.get(), folder, wantFiles, wantSubfolders);
    entries.identity = identityOf(statAt(fd.get(), "", AT_EMPTY_PATH, folder, op));
    return entries;
}

// The canonical form of a folder path, every link and dot resolved.
std::optional<std::string> canonical(const char* path)
{
    char* resolved = sys().realpath(path, nullptr);
    if (!resolved)
        return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool isSameOrAncestor(const std::string& folder, const std::string& of)
{
    if (folder == of)
        return true;
    if (folder == "/")
        return true;
    return of.size() > folder.size() && of.compare(0, folder.size(), folder) == 0 &&
           of[folder.size()] == '/';
}

std::vector<std::string> homeFolders()
{
    std::vector<std::string> homes;
    if (const char* env = std::getenv("HOME"); env && *env)
        if (auto c = canonical(env))
            homes.push_back(*c);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        if (auto c = canonical(pw->pw_dir))
            homes.push_back(*c);
    return homes;
}

// True when the folder is a home folder or one of its ancestors. Compared by identity as well
// as by name, so that a bind mount showing a home folder elsewhere is caught too. A folder
// that cannot be compared counts as protected.
bool isHomeOrAncestor(const std::string& resolved, const struct stat& folder, const Path& shown)
{
    for (const std::string& home : homeFolders()) {
        if (isSameOrAncestor(resolved, home))
            return true;
        for (Path step(home);; step = step.parent_path()) {
            const struct stat st = statAt(AT_FDCWD, step.c_str(), 0, shown, "delete folder");
            if (st.st_dev == folder.st_dev && st.st_ino == folder.st_ino)
                return true;
            if (step == step.parent_path())
                break;
        }
    }
    return false;
}

// Refuses, before anything is touched, the root, every mount point and the home folder with
// its ancestors, however the path spells them.
void refuseProtectedFolder(const Path& path)
{
    const char* op = "delete folder";
    const auto resolved = canonical(cpath(path, op));
    if (!resolved)
        fail(errno, path, op);
    if (*resolved == "/")
        fail(EBUSY, path, "delete folder (a root folder is never deleted)");
    const Path real(*resolved);
    const struct stat self = statAt(AT_FDCWD, resolved->c_str(), 0, path, op);
    const struct stat parent = statAt(AT_FDCWD, real.parent_path().c_str(), 0, path, op);
    if (self.st_dev != parent.st_dev || isMountRoot(AT_FDCWD, resolved->c_str(), 0, path, op))
        fail(EBUSY, path, "delete folder (a mount point is never deleted)");
    if (isHomeOrAncestor(*resolved, self, path))
        fail(EPERM, path, "delete folder (the home folder is never deleted)");
}

// ---- Deleting a folder with everything in it.

// A folder of the tree being deleted, open for reading and for calls relative to it.
class TreeFolder {
public:
    TreeFolder() = default;
    // Takes over the descriptor; null when the folder cannot be read.
    TreeFolder(Fd fd, const Path& shown, const char* operation)
    {
        dir_ = sys().fdopendir(fd.get());
        if (!dir_)
            fail(errno, shown, operation);
        fd.release();
    }
    ~TreeFolder() { close(); }
    TreeFolder(TreeFolder&& other) noexcept : dir_(std::exchange(other.dir_, nullptr)) {}
    TreeFolder& operator=(TreeFolder&& other) noexcept
    {
        if (this != &other) {
            close();
            dir_ = std::exchange(other.dir_, nullptr);
        }
        return *this;
    }
    bool isOpen() const { return dir_ != nullptr; }
    int fd() const { return ::dirfd(dir_); }
    void close()
    {
        if (dir_)
            sys().closedir(std::exchange(dir_, nullptr));
    }
    // The next entry other than . and .., or null at the end.
    const dirent* next(const std::string& shown, const char* operation)
    {
        return nextEntry(dir_, shown, operation);
    }

private:
    DIR* dir_ = nullptr;
};

// One folder on the way down: what it is, its name in its parent, and those of its subfolders
// that are still to be deleted, all found in one read of it.
struct Level {
    FolderIdentity identity;
    std::string name;
    TreeFolder folder;
    std::vector<std::string> subfolders;
    bool reread = false;
};

// How many folders on the way down stay open; above them the walk climbs back through "..".
// A few are enough for the common shapes, wide folders and shallow trees.
constexpr std::size_t foldersKeptOpen = 4;

// Opens a subfolder to delete its contents, never through a link; refuses it when it is
// another volume or read-only. Checked on the open folder, so that a mount made after the
// folder was read is caught too.
TreeFolder openToClear(int parentFd, const char* name, dev_t device, const std::string& shown,
                       FolderIdentity& identity)
{
    const char* op = "delete folder";
    Fd fd = openDirectory(parentFd, name, O_NOFOLLOW, Path(shown), op);
    struct statx stx {};
    if (sys().statx(fd.get(), "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
                    STATX_TYPE | STATX_MODE | STATX_INO, &stx) != 0)
        fail(errno, Path(shown), op);
    const dev_t dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    const bool mountRoot = (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
                           (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
    if (dev != device || mountRoot)
        fail(EXDEV, Path(shown), "delete folder (another file system is mounted here)");
    if (!(stx.stx_mode & S_IWUSR))
        fail(EACCES, Path(shown), op);
    identity = {static_cast<std::uint64_t>(dev), stx.stx_ino};
    return TreeFolder(std::move(fd), Path(shown), op);
}

// Deletes an entry that is not a folder; a read-only file is not forced. Returns false when
// the entry turned out to be a folder.
bool deleteNonFolder(int dirfd, const char* name, unsigned char type, const std::string& shown)
{
    const char* op = "delete folder";
    if (type != DT_LNK) {  // a link is never read-only
        struct stat st {};
        if (sys().fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT)
                return true;
            fail(errno, Path(shown + '/' + name), op);
        }
        if (S_ISDIR(st.st_mode))
            return false;
        if (isReadOnly(st))
            fail(EACCES, Path(shown + '/' + name), op);
    }
    if (sys().unlinkat(dirfd, name, 0) != 0 && errno != ENOENT)
        fail(errno, Path(shown + '/' + name), op);
    return true;
}

// Reads the level's folder once: deletes its other entries and notes its subfolders.
void clearFiles(Level& level, const std::string& shown)
{
    const char* op = "delete folder";
    const int fd = level.folder.fd();
    while (const dirent* entry = level.folder.next(shown, op)) {
        if (entry->d_type == DT_DIR || !deleteNonFolder(fd, entry->d_name, entry->d_type, shown))
            level.subfolders.emplace_back(entry->d_name);
    }
}

// The level's folder open again, through ".." of the folder below it, checked to be the one
// the walk came down through.
void reopenFromBelow(Level& level, const Level& below, const std::string& shown)
{
    const char* op = "delete folder";
    Fd up = openDirectory(below.folder.fd(), "..", 0, Path(shown), op);
    const struct stat st = statAt(up.get(), "", AT_EMPTY_PATH, Path(shown), op);
    if (identityOf(st) != level.identity)
        fail(ESTALE, Path(shown), "delete folder (the folder was moved while it was deleted)");
    level.folder = TreeFolder(std::move(up), Path(shown), op);
}

// Deletes the folder `name` of the open folder parentFd, which was seen to be `seen`. Each
// folder is read once, however many subfolders it has; folders more than a few levels up
// are closed on the way down and opened again through "..", so that a tree of any depth needs
// few descriptors.
void deleteTree(int parentFd, const std::string& name, const FolderIdentity& seen, const Path& path)
{
    const char* op = "delete folder";
    const auto device = static_cast<dev_t>(seen.volume);
    std::string shown = path.native();
    std::vector<Level> levels(1);
    levels[0].name = name;
    levels[0].folder = openToClear(parentFd, name.c_str(), device, shown, levels[0].identity);
    if (levels[0].identity != seen)
        fail(ESTALE, path, "delete folder (the folder was replaced while it was opened)");
    clearFiles(levels[0], shown);

    for (;;) {
        Level& current = levels.back();
        if (!current.subfolders.empty()) {
            Level next;
            next.name = std::move(current.subfolders.back());
            current.subfolders.pop_back();
            const std::size_t shownBefore = shown.size();
            shown += '/';
            shown += next.name;
            try {
                next.folder =
                    openToClear(current.folder.fd(), next.name.c_str(), device, shown, next.identity);
            } catch (const FsError& failure) {
                const int code = failure.code();
                shown.resize(shownBefore);
                if (code == ENOENT)
                    continue;  // removed meanwhile
                if ((code == ELOOP || code == ENOTDIR) &&
                    deleteNonFolder(current.folder.fd(), next.name.c_str(), DT_UNKNOWN, shown))
                    continue;  // no longer a folder
                throw;
            }
            clearFiles(next, shown);
            levels.push_back(std::move(next));
            if (levels.size() > foldersKeptOpen)
                levels[levels.size() - 1 - foldersKeptOpen].folder.close();
            continue;
        }
        // Every subfolder is gone: the folder itself goes.
        const bool top = levels.size() == 1;
        if (!top && !levels[levels.size() - 2].folder.isOpen())
            reopenFromBelow(levels[levels.size() - 2], current,
                            shown.substr(0, shown.size() - current.name.size() - 1));
        const int parent = top ? parentFd : levels[levels.size() - 2].folder.fd();
        current.folder.close();
        if (sys().unlinkat(parent, current.name.c_str(), AT_REMOVEDIR) != 0) {
            // Entries made meanwhile: the folder is read once more, and only once.
            if (errno != ENOTEMPTY || current.reread)
                fail(errno, Path(shown), op);
            FolderIdentity again;
            current.folder = openToClear(parent, current.name.c_str(), device, shown, again);
            if (again != current.identity)
                fail(ESTALE, Path(shown), "delete folder (the folder was replaced meanwhile)");
            current.reread = true;
            clearFiles(current, shown);
            continue;
        }
        if (top)
            return;
        shown.resize(shown.size() - current.name.size() - 1);
        levels.pop_back();
    }
}

} // namespace

struct OpenedFolder {
    Fd fd;
    // The folder's path, and that path by the target-path rule with an empty name: what the
    // full path of an entry in it starts with.
    std::string path;
    std::string prefix;
    FolderIdentity identity;

    // What follows the prefix when `full` names an entry inside this folder, else null.
    const char* inside(const std::string& full) const
    {
        if (full.size() <= prefix.size() || full.compare(0, prefix.size(), prefix) != 0)
            return nullptr;
        return full.c_str() + prefix.size();
    }
    // The file's name when `full` names an entry directly in this folder, else null.
    const char* nameOf(const std::string& full) const
    {
        const char* name = inside(full);
        if (!name)
            return nullptr;
        const std::string_view n(name);
        return n == "." || n == ".." || n.find('/') != std::string_view::npos ? nullptr : name;
    }
};

namespace {

// Opens the folder at the path for calls relative to it; it need not be readable.
std::shared_ptr<const OpenedFolder> openFolder(const Path& path, bool isRoot, const char* op)
{
    Fd fd = openDirectory(AT_FDCWD, cpath(path, op), O_PATH, path, op);
    const struct stat st = statAt(fd.get(), "", AT_EMPTY_PATH, path, op);
    return std::make_shared<const OpenedFolder>(OpenedFolder{
        std::move(fd), path.native(), ComposeTargetPath(path, Path(), isRoot), identityOf(st)});
}

// Where a call finds the entry at the full path: relative to the folder held when the path
// lies in it, else the full path itself.
std::pair<int, const char*> placeOf(const std::shared_ptr<const OpenedFolder>& held,
                                    const std::string& full)
{
    if (held)
        if (const char* inside = held->inside(full))
            return {held->fd.get(), inside};
    return {AT_FDCWD, full.c_str()};
}

} // namespace

SystemCalls& systemCalls() { return currentCalls; }
const SystemCalls& realSystemCalls() { return realCalls; }

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + path.string() + "\": " + std::strerror(code)),
      code_(code), path_(path)
{
}

Path NameFromText(const std::string& utf8) { return Path(utf8); }

Path File::Name() const
{
    const std::size_t slash = native_.rfind('/');
    return Path(slash == std::string::npos ? native_ : native_.substr(slash + 1));
}

std::pair<int, const char*> File::Location() const
{
    if (folder_)
        return {folder_->fd.get(), native_.c_str() + folder_->prefix.size()};
    return {AT_FDCWD, native_.c_str()};
}

void File::Name(const Path& newName)
{
    const auto [dirfd, at] = Location();
    renameInPlace(native_, {dirfd, at, native_}, newName);
}

void File::Delete()
{
    const char* op = "delete file";
    if (native_.find('\0') != std::string::npos)
        fail(EINVAL, path(), op);
    const auto [dirfd, at] = Location();
    // A file just looked up is not looked at again: unlinkat never removes a folder, and a link
    // put in the file's place is removed as a link.
    if (!lookedUp_) {
        struct stat st {};
        if (sys().fstatat(dirfd, at, &st, AT_SYMLINK_NOFOLLOW) != 0)
            fail(errno, path(), op);
        if (S_ISDIR(st.st_mode))
            fail(EISDIR, path(), op);
        readOnly_ = isReadOnly(st);
    }
    if (readOnly_)
        fail(EACCES, path(), op);
    if (sys().unlinkat(dirfd, at, 0) != 0)
        fail(errno, path(), op);
}

bool Folder::IsRootFolder() const { return path_.native() == "/"; }

std::vector<File> Folder::Files() const
{
    const char* op = "read folder";
    std::shared_ptr<const OpenedFolder> folder = opened_.lock();
    if (!folder) {
        folder = openFolder(path_, IsRootFolder(), op);
        if (identity_ != FolderIdentity() && folder->identity != identity_)
            throw FolderReplaced(path_);
    }
    const std::vector<Path> names = readEntriesAt(folder->fd.get(), path_, true, false).files;
    std::vector<File> files;
    files.reserve(names.size());
    // Each file's path by the target-path rule, from the prefix composed once for the folder.
    for (const Path& name : names)
        files.push_back(File(folder->prefix + name.native(), folder));
    return files;
}

void Folder::CheckStillAtItsPath() const
{
    const struct stat st = statAt(AT_FDCWD, cpath(path_, "open folder"), 0, path_, "open folder");
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
    renameInPlace(path_.native(), {AT_FDCWD, path_.c_str(), path_.native()}, newName);
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
        if (const char* name = folder->nameOf(path))
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
    File file(path, std::move(folder));
    file.lookedUp_ = true;
    file.readOnly_ = isReadOnly(st);
    return file;
}

Folder FileSystemObject::CreateFolder(const Path& path) const
{
    const char* op = "create folder";
    cpath(path, op);
    const auto [dirfd, at] = placeOf(held_, path.native());
    if (sys().mkdirat(dirfd, at, 0777) != 0)
        fail(errno, path, op);
    return Folder(path);
}

void FileSystemObject::CreateTextFile(const Path& path) const
{
    const char* op = "create file";
    cpath(path, op);
    const auto [dirfd, at] = placeOf(held_, path.native());
    const int fd = sys().openat(dirfd, at, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        fail(errno, path, op);
    sys().close(fd);
}

void FileSystemObject::DeleteFolder(const Path& path) const
{
    const char* op = "delete folder";
    refuseProtectedFolder(path);
    const Path name = path.filename();
    if (name.empty() || name == "." || name == "..")
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
    deleteTree(parent.get(), name.native(), identityOf(st), path);
}

FolderEntries ReadFolder(const Path& folder) { return readEntries(folder, true, true); }

std::vector<Path> ListFileNames(const Path& folder)
{
    return readEntries(folder, true, false).files;
}

std::vector<Path> ListSubfolderNames(const Path& folder)
{
    return readEntries(folder, false, true).subfolders;
}

} // namespace commands
