#include "backend.h"

namespace commands {

using namespace posix;

namespace {

// One end of a rename: where the calls find it, and its full path for messages.
struct RenameEnd {
    int dirfd;
    const char* path;
    std::string_view full;
};

// Gives a file (not a folder) its new name as a hard link, then drops the old name. Returns
// false where the file system makes no hard link, so that another way can be tried.
bool renameByHardLink(const RenameEnd& from, const RenameEnd& to, const struct stat& st)
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
void renameClaimingTheName(const RenameEnd& from, const RenameEnd& to)
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

} // namespace

// Works on plain strings: path objects are made only when something fails.
void posix::renameEntry(Place place, const std::string& full, const Path& newName)
{
    const char* op = "rename";
    using namespace std::string_view_literals;
    if (!backend::isValidName(newName.native(), "/\0"sv))
        fail(EINVAL, newName, op);
    if (full.find('\0') != std::string::npos)
        fail(EINVAL, Path(full), op);
    const std::size_t slash = full.rfind('/');
    const std::string_view oldName =
        std::string_view(full).substr(slash == std::string::npos ? 0 : slash + 1);
    if (backend::isDotOrEmpty(oldName))
        fail(EBUSY, Path(full), op);  // "." or the root keeps its name
    if (backend::isSameName(oldName, newName.native())) {
        statAt(place.dirfd, place.path, AT_SYMLINK_NOFOLLOW, Path(full), op);  // it must exist
        return;
    }
    const std::string newPath = full.substr(0, full.size() - oldName.size()) + newName.native();
    // Relative to an open folder the new name is the new path; otherwise the full one is.
    const std::string& target = place.dirfd == AT_FDCWD ? newPath : newName.native();
    if (sys().renameat2(place.dirfd, place.path, place.dirfd, target.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        fail(errno, Path(full), op);
    renameClaimingTheName({place.dirfd, place.path, full}, {place.dirfd, target.c_str(), newPath});
}

} // namespace commands
