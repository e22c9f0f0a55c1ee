#include "posix_backend.h"

#include <sys/sysmacros.h>

namespace commands {

using namespace posix;

namespace {

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
    const dirent* Next(const std::string& shown, const char* operation)
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

// The items deleted so far, told to the progress before each next one.
struct Deletions {
    Progress& progress;
    std::uint64_t done = 0;
    void Before(std::string_view folder, const char* name)
    {
        progress.Before({Work::DeletingFolder, done, 0, folder, name});
    }
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
    if (dev != device || isMountRoot(stx))
        fail(EXDEV, Path(shown), "delete folder (another file system is mounted here)");
    if (!(stx.stx_mode & S_IWUSR))
        fail(EACCES, Path(shown), op);
    identity = {static_cast<std::uint64_t>(dev), stx.stx_ino};
    return TreeFolder(std::move(fd), Path(shown), op);
}

// Deletes an entry that is not a folder; a read-only file is not forced. Returns false when
// the entry turned out to be a folder.
bool deleteNonFolder(int dirfd, const char* name, unsigned char type, const std::string& shown,
                     Deletions& deletions)
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
    deletions.Before(shown, name);
    if (sys().unlinkat(dirfd, name, 0) != 0 && errno != ENOENT)
        fail(errno, Path(shown + '/' + name), op);
    ++deletions.done;
    return true;
}

// Reads the level's folder once: deletes its other entries and notes its subfolders.
void clearFiles(Level& level, const std::string& shown, Deletions& deletions)
{
    const char* op = "delete folder";
    const int fd = level.folder.fd();
    while (const dirent* entry = level.folder.Next(shown, op)) {
        if (entry->d_type == DT_DIR ||
            !deleteNonFolder(fd, entry->d_name, entry->d_type, shown, deletions))
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

} // namespace

// Deletes the folder `name` of the open folder parentFd, which was seen to be `seen`. Each
// folder is read once, however many subfolders it has; folders more than a few levels up
// are closed on the way down and opened again through "..", so that a tree of any depth needs
// few descriptors.
void posix::deleteTree(int parentFd, const std::string& name, const FolderIdentity& seen,
                       const Path& path, Progress& progress)
{
    const char* op = "delete folder";
    Deletions deletions{progress};
    const auto device = static_cast<dev_t>(seen.volume);
    std::string shown = path.native();
    std::vector<Level> levels(1);
    levels[0].name = name;
    levels[0].folder = openToClear(parentFd, name.c_str(), device, shown, levels[0].identity);
    if (levels[0].identity != seen)
        fail(ESTALE, path, "delete folder (the folder was replaced while it was opened)");
    clearFiles(levels[0], shown, deletions);

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
                    deleteNonFolder(current.folder.fd(), next.name.c_str(), DT_UNKNOWN, shown,
                                    deletions))
                    continue;  // no longer a folder
                throw;
            }
            clearFiles(next, shown, deletions);
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
        deletions.Before(std::string_view(shown).substr(0, shown.size() - current.name.size() - 1),
                         current.name.c_str());
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
            clearFiles(current, shown, deletions);
            continue;
        }
        ++deletions.done;
        if (top)
            return;
        shown.resize(shown.size() - current.name.size() - 1);
        levels.pop_back();
    }
}

} // namespace commands
