#pragma once

// The POSIX backend's own declarations, shared by its files: the descriptor and directory
// stream wrappers over the system-call table, the folder held open, listing, rename, the
// protected-folder guard and the tree delete.

#include "filesystem.h"
#include "filesystem_backend.h"
#include "syscalls.h"
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
// The entry itself, never what a link leads to, and no automount triggered by looking.
struct statx statxAt(int dirfd, const char* name, int flags, unsigned mask, const Path& shown,
                     const char* operation);
FolderIdentity identityOf(const struct stat& st);
bool isReadOnly(const struct stat& st);
// True when what statx read is the root of a mount.
bool isMountRoot(const struct statx& stx);

// A directory stream, closed when it goes out of scope; it takes over the descriptor it is
// made from.
class DirStream {
public:
    DirStream() = default;
    DirStream(Fd fd, const Path& shown, const char* operation);
    ~DirStream() { close(); }
    DirStream(DirStream&& other) noexcept : dir_(std::exchange(other.dir_, nullptr)) {}
    DirStream& operator=(DirStream&& other) noexcept
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

    // The next entry other than . and .., or null at the end. `shown` names the folder in an
    // error; a plain string is made a path only then.
    template <typename Shown>
    const dirent* Next(const Shown& shown, const char* operation)
    {
        for (;;) {
            errno = 0;
            const dirent* entry = sys().readdir(dir_);
            if (!entry) {
                if (errno != 0)
                    fail(errno, Path(shown), operation);
                return nullptr;
            }
            if (!backend::isDotOrEmpty(entry->d_name))
                return entry;
        }
    }

private:
    DIR* dir_ = nullptr;
};

// Where the calls that act on an entry find it: relative to an open folder, or to the current
// directory by its full path.
struct Place {
    int dirfd;
    const char* path;
};

// Renames the entry at the full path `full`, found at `place`, to newName in the same folder,
// never replacing another entry.
void renameEntry(Place place, const std::string& full, const Path& newName);

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
        return backend::isDotOrEmpty(n) || n.find('/') != std::string_view::npos ? nullptr : name;
    }
};

} // namespace commands
