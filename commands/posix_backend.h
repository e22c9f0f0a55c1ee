#pragma once

// The POSIX backend's own declarations, shared by its files: the descriptor wrappers over the
// system-call table, the folder held open, listing, the protected-folder guard and the tree
// delete.

#include "filesystem.h"
#include "filesystem_backend.h"
#include "posix_syscalls.h"
#include "progress.h"

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace commands {

namespace posix {

// Every call goes through the table, so that tests can make any of them fail.
inline SystemCalls& sys() { return systemCalls(); }

[[noreturn]] void fail(int code, const Path& path, const char* operation);

// The path as a C string; a path holding a NUL byte would name another entry, so it is refused.
const char* cpath(const Path& path, const char* operation);

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
                 const char* operation);
struct stat statAt(int dirfd, const char* name, int flags, const Path& shown,
                   const char* operation);
FolderIdentity identityOf(const struct stat& st);
bool isReadOnly(const struct stat& st);
// True when the entry (or, with AT_EMPTY_PATH, the open folder itself) is the root of a mount.
bool isMountRoot(int dirfd, const char* name, int flags, const Path& shown, const char* operation);
// The same, from what statx read of it.
bool isMountRoot(const struct statx& stx);

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
    DirStream(int dirfd, const Path& shown, const char* operation);
    ~DirStream();
    DirStream(const DirStream&) = delete;
    DirStream& operator=(const DirStream&) = delete;

    // The next entry other than . and .., or null at the end.
    const dirent* Next(const Path& shown, const char* operation)
    {
        return nextEntry(dir_, shown, operation);
    }

private:
    DIR* dir_ = nullptr;
};

// Reads the open folder once; keeps the names of the kinds asked for, unsorted.
FolderEntries readEntriesAt(int dirfd, const Path& folder, bool wantFiles, bool wantSubfolders);

// Refuses, before anything is touched, the root, every mount point and the home folder with
// its ancestors, however the path spells them.
void refuseProtectedFolder(const Path& path);

// Deletes the folder `name` of the open folder parentFd, which was seen to be `seen`; tells
// the progress before each item it deletes.
void deleteTree(int parentFd, const std::string& name, const FolderIdentity& seen, const Path& path,
                Progress& progress);

} // namespace posix

// A file as the calls that act on it find it (in a folder held open, or by its full path), and
// what its lookup saw, so that a delete right after it need not look again.
struct FileAt {
    const OpenedFolder* folder;
    bool lookedUp;
    bool readOnly;
};

// A folder held open since its lookup, for calls relative to it.
struct OpenedFolder {
    OpenedFolder(posix::Fd folderFd, std::string folderPath, std::string entryPrefix,
                 FolderIdentity folderIdentity)
        : fd(std::move(folderFd)), path(std::move(folderPath)), prefix(std::move(entryPrefix)),
          identity(folderIdentity)
    {
    }
    // The places below point back at this folder.
    OpenedFolder(const OpenedFolder&) = delete;
    OpenedFolder& operator=(const OpenedFolder&) = delete;

    posix::Fd fd;
    // The folder's path, and that path by the target-path rule with an empty name: what the
    // full path of an entry in it starts with.
    std::string path;
    std::string prefix;
    FolderIdentity identity;
    // What a file found in this folder points at, one for each thing its lookup can have seen:
    // the files of a folder share these instead of each owning one.
    FileAt listed{this, false, false};
    FileAt writable{this, true, false};
    FileAt readOnly{this, true, true};

    // What follows the prefix when `full` names an entry inside this folder, else null.
    const char* Inside(const std::string& full) const
    {
        if (full.size() <= prefix.size() || full.compare(0, prefix.size(), prefix) != 0)
            return nullptr;
        return full.c_str() + prefix.size();
    }
    // The file's name when `full` names an entry directly in this folder, else null.
    const char* NameOf(const std::string& full) const
    {
        const char* name = Inside(full);
        if (!name)
            return nullptr;
        const std::string_view n(name);
        return n == "." || n == ".." || n.find('/') != std::string_view::npos ? nullptr : name;
    }
};

namespace backend {

// An entry as the calls that act on it find it: relative to a folder descriptor, or to the
// current directory when the path is a full one; and its full path, for messages.
struct EntryPlace {
    int dirfd;
    const char* path;
    std::string_view full;
};

} // namespace backend

} // namespace commands
