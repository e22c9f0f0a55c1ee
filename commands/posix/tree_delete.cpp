#include "backend.h"

#include <sys/sysmacros.h>

namespace commands {

using namespace posix;

namespace {

// One folder on the way down: what it is, its name in its parent, and those of its subfolders
// that are still to be deleted, all found in one read of it.
struct Level {
    FolderIdentity identity;
    std::string name;
    DirStream folder;
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
DirStream openToClear(int parentFd, const char* name, dev_t device, const std::string& shown,
                      FolderIdentity& identity)
{
    const char* op = "delete folder";
    Fd fd = openDirectory(parentFd, name, O_NOFOLLOW, Path(shown), op);
    const struct statx stx = statxAt(fd.get(), "", AT_EMPTY_PATH,
                                     STATX_TYPE | STATX_MODE | STATX_INO, Path(shown), op);
    const dev_t dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    if (dev != device || isMountRoot(stx))
        fail(EXDEV, Path(shown), "delete folder (another file system is mounted here)");
    if (!(stx.stx_mode & S_IWUSR))
        fail(EACCES, Path(shown), op);
    identity = {static_cast<std::uint64_t>(dev), stx.stx_ino};
    return DirStream(std::move(fd), Path(shown), op);
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
    level.folder = DirStream(std::move(up), Path(shown), op);
}

// Walks a tree down from its top folder and deletes it on the way back up. Each folder is
// read once, however many subfolders it has; folders more than a few levels up are closed on
// the way down and opened again through "..", so that a tree of any depth needs few
// descriptors.
class TreeWalk {
public:
    TreeWalk(int parentFd, const FolderIdentity& seen, const Path& path, Progress& progress)
        : parentFd_(parentFd), seen_(seen), device_(static_cast<dev_t>(seen.volume)),
          shown_(path.native()), deletions_{progress}
    {
    }

    void Run(const std::string& name)
    {
        levels_.resize(1);
        Level& top = levels_[0];
        top.name = name;
        top.folder = openToClear(parentFd_, name.c_str(), device_, shown_, top.identity);
        if (top.identity != seen_)
            fail(ESTALE, Path(shown_),
                 "delete folder (the folder was replaced while it was opened)");
        clearFiles(top, shown_, deletions_);
        for (;;) {
            if (!levels_.back().subfolders.empty())
                Descend();
            else if (RemoveCurrent())
                return;
        }
    }

private:
    // Goes down into the current folder's next subfolder, or deletes in passing one that is
    // no longer a folder.
    void Descend()
    {
        Level& current = levels_.back();
        Level next;
        next.name = std::move(current.subfolders.back());
        current.subfolders.pop_back();
        const std::size_t shownBefore = shown_.size();
        shown_ += '/';
        shown_ += next.name;
        try {
            next.folder =
                openToClear(current.folder.fd(), next.name.c_str(), device_, shown_, next.identity);
        } catch (const FsError& failure) {
            const int code = failure.code();
            shown_.resize(shownBefore);
            if (code == ENOENT)
                return;  // removed meanwhile
            if ((code == ELOOP || code == ENOTDIR) &&
                deleteNonFolder(current.folder.fd(), next.name.c_str(), DT_UNKNOWN, shown_,
                                deletions_))
                return;  // no longer a folder
            throw;
        }
        clearFiles(next, shown_, deletions_);
        levels_.push_back(std::move(next));
        if (levels_.size() > foldersKeptOpen)
            levels_[levels_.size() - 1 - foldersKeptOpen].folder.close();
    }

    // Every subfolder of the current folder is gone: the folder itself goes. True once the
    // top folder is gone.
    bool RemoveCurrent()
    {
        Level& current = levels_.back();
        const bool top = levels_.size() == 1;
        Level* above = top ? nullptr : &levels_[levels_.size() - 2];
        const std::size_t aboveShown = shown_.size() - current.name.size() - 1;
        if (above && !above->folder.isOpen())
            reopenFromBelow(*above, current, shown_.substr(0, aboveShown));
        const int parent = above ? above->folder.fd() : parentFd_;
        deletions_.Before(std::string_view(shown_).substr(0, aboveShown), current.name.c_str());
        current.folder.close();
        if (sys().unlinkat(parent, current.name.c_str(), AT_REMOVEDIR) != 0) {
            ClearAgain(current, parent, errno);
            return false;
        }
        ++deletions_.done;
        if (top)
            return true;
        shown_.resize(aboveShown);
        levels_.pop_back();
        return false;
    }

    // Entries made meanwhile: the folder is read once more, and only once.
    void ClearAgain(Level& current, int parent, int error)
    {
        if (error != ENOTEMPTY || current.reread)
            fail(error, Path(shown_), "delete folder");
        FolderIdentity again;
        current.folder = openToClear(parent, current.name.c_str(), device_, shown_, again);
        if (again != current.identity)
            fail(ESTALE, Path(shown_), "delete folder (the folder was replaced meanwhile)");
        current.reread = true;
        clearFiles(current, shown_, deletions_);
    }

    const int parentFd_;
    const FolderIdentity seen_;
    const dev_t device_;
    std::string shown_;
    Deletions deletions_;
    std::vector<Level> levels_;
};

} // namespace

void posix::deleteTree(int parentFd, const std::string& name, const FolderIdentity& seen,
                       const Path& path, Progress& progress)
{
    TreeWalk(parentFd, seen, path, progress).Run(name);
}

} // namespace commands
