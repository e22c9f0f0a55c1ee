#include "backend.h"

#include <unistd.h>

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

} // namespace

SystemCalls& systemCalls() { return currentCalls; }
const SystemCalls& realSystemCalls() { return realCalls; }

namespace posix {

const char* cpath(const Path& path, const char* operation)
{
    if (path.native().find('\0') != std::string::npos)
        fail(EINVAL, path, operation);
    return path.c_str();
}

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

struct statx statxAt(int dirfd, const char* name, int flags, unsigned mask, const Path& shown,
                     const char* operation)
{
    struct statx stx {};
    if (sys().statx(dirfd, name, flags | AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, mask, &stx) != 0)
        fail(errno, shown, operation);
    return stx;
}

// Bind mounts of the same file system count too. Kernels before 5.8 do not report the
// attribute; there only the device numbers tell mounts.
bool isMountRoot(const struct statx& stx)
{
    return (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) &&
           (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT);
}

DirStream::DirStream(Fd fd, const Path& shown, const char* operation)
{
    dir_ = sys().fdopendir(fd.get());
    if (!dir_)
        fail(errno, shown, operation);
    fd.release();
}

} // namespace posix

} // namespace commands
