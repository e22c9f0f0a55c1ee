#include "posix_shell.h"

#include "fs_error.h"

#include <gio/gio.h>
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

namespace commands {

namespace {

// The paths of a double-NUL-terminated list.
std::vector<std::string> PathsOf(const ShellFileOperation& request)
{
    std::vector<std::string> paths;
    const std::string& list = request.pFrom;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t end = std::min(list.find('\0', start), list.size());
        if (end == start)
            break;
        paths.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

// Moves the file at the exact bytes of its path to the Trash; the system's words on failure.
bool MoveToTrash(const std::string& path, std::string& reason)
{
    GFile* file = g_file_new_for_path(path.c_str());
    GError* error = nullptr;
    const bool moved = g_file_trash(file, nullptr, &error);
    if (!moved) {
        reason = error->message;
        g_error_free(error);
    }
    g_object_unref(file);
    return moved;
}

// What an entry is, without following a link: its device and inode, and its birth time where
// the file system keeps one, as a file deleted and made anew often gets the inode back.
// Nothing when it is gone.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t bornSeconds = 0;
    std::uint32_t bornNanoseconds = 0;
    bool exists = false;
    bool operator==(const Identity&) const = default;
};

Identity IdentityAt(const std::string& path)
{
    struct statx stx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &stx) != 0)
        return {};
    Identity identity{makedev(stx.stx_dev_major, stx.stx_dev_minor), stx.stx_ino, 0, 0, true};
    if (stx.stx_mask & STATX_BTIME) {
        identity.bornSeconds = stx.stx_btime.tv_sec;
        identity.bornNanoseconds = stx.stx_btime.tv_nsec;
    }
    return identity;
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

namespace trash {

using std::filesystem::path;

bool IsOn(const path& folder, const EntryIdentity& entry)
{
    struct stat st {};
    return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_dev == entry.volume;
}

bool Holds(const path& trashed, const EntryIdentity& entry)
{
    struct stat st {};
    return lstat(trashed.c_str(), &st) == 0 && st.st_dev == entry.volume &&
           st.st_ino == entry.file;
}

// The top folder of the volume that holds the folder.
path TopOf(path folder)
{
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0)
        return {};
    for (path up = folder.parent_path(); up != folder; folder = up, up = folder.parent_path()) {
        struct stat parent {};
        if (stat(up.c_str(), &parent) != 0 || parent.st_dev != st.st_dev)
            break;
    }
    return folder;
}

// The home Trash, where the entries of the home's volume go.
path HomeTrash()
{
    const char* data = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (data && *data)
        return path(data) / "Trash";
    if (home && *home)
        return path(home) / ".local/share/Trash";
    return {};
}

// The two Trash folders that the top of the original's volume may hold.
std::vector<path> VolumeTrashes(const path& original)
{
    const path top = TopOf(original.parent_path());
    if (top.empty())
        return {};
    const std::string uid = std::to_string(getuid());
    return {top / ".Trash" / uid, top / (".Trash-" + uid)};
}

// The names that a Trash gives a file of this name, in turn: the name, then the name with
// .2, .3 ... before its first dot, or at its end.
std::string NameNumbered(const std::string& name, int number)
{
    if (number == 1)
        return name;
    const std::size_t dot = name.find('.', 1);
    const std::string tag = "." + std::to_string(number);
    return dot == std::string::npos ? name + tag : name.substr(0, dot) + tag + name.substr(dot);
}

path FindIn(const path& trash, const std::string& name, const EntryIdentity& entry)
{
    for (int number = 1; number < 10000; ++number) {
        const std::string candidate = NameNumbered(name, number);
        if (Holds(trash / "files" / candidate, entry))
            return trash / "files" / candidate;
        struct stat st {};
        if (lstat((trash / "info" / (candidate + ".trashinfo")).c_str(), &st) != 0)
            break;
    }
    // Named otherwise: looked for by what it is.
    DIR* files = opendir((trash / "files").c_str());
    if (!files)
        return {};
    path found;
    while (const dirent* each = readdir(files))
        if (each->d_ino == entry.file && Holds(trash / "files" / each->d_name, entry)) {
            found = trash / "files" / each->d_name;
            break;
        }
    closedir(files);
    return found;
}

} // namespace trash

} // namespace

std::filesystem::path PosixShell::WhereTrashed(const std::filesystem::path& original,
                                               const EntryIdentity& entry)
{
    const auto findIn = [&](const std::filesystem::path& folder) -> std::filesystem::path {
        if (folder.empty() || !trash::IsOn(folder / "files", entry))
            return {};
        return trash::FindIn(folder, original.filename().native(), entry);
    };
    // The home Trash first: the volume's top, which takes a walk up the folders, only where
    // the entry is not there, as for a file of another volume.
    if (std::filesystem::path found = findIn(trash::HomeTrash()); !found.empty())
        return found;
    for (const std::filesystem::path& folder : trash::VolumeTrashes(original))
        if (std::filesystem::path found = findIn(folder); !found.empty())
            return found;
    return {};
}

Restored PosixShell::Restore(const std::filesystem::path& trashed, const EntryIdentity& entry,
                             const std::filesystem::path& original)
{
    if (!trash::Holds(trashed, entry))
        return Restored::GoneFromTrash;
    if (renameat2(AT_FDCWD, trashed.c_str(), AT_FDCWD, original.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST)
            return Restored::NameTaken;
        if (errno != EINVAL)
            throw FsError(errno, original, "bring back from the Trash");
        // A file system that cannot refuse to replace: a hard link claims the name, or fails.
        if (link(trashed.c_str(), original.c_str()) != 0) {
            if (errno == EEXIST)
                return Restored::NameTaken;
            throw FsError(errno, original, "bring back from the Trash");
        }
        unlink(trashed.c_str());
    }
    const std::filesystem::path info = trashed.parent_path().parent_path() / "info" /
                                       (trashed.filename().native() + ".trashinfo");
    unlink(info.c_str());
    return Restored::Back;
}

int PosixShell::SHFileOperation(ShellFileOperation& request)
{
    using Request = ShellFileOperation;
    if (request.wFunc != Request::foDelete || !(request.fFlags & Request::fofAllowUndo))
        return 1;
    int result = 0;
    for (const std::string& path : PathsOf(request)) {
        const Identity folderAsked = IdentityAt(FolderOf(path));
        const Identity fileAsked = IdentityAt(path);
        if (!(request.fFlags & Request::fofNoConfirmation) && !dialogs_->ConfirmTrash(path)) {
            request.fAnyOperationsAborted = true;
            continue;
        }
        // The answer is about the file that was there when the question was asked.
        const bool tellsFailures = !(request.fFlags & (Request::fofNoErrorUi | Request::fofSilent));
        if (IdentityAt(FolderOf(path)) != folderAsked) {
            result = 1;
            if (tellsFailures)
                dialogs_->ReportFolderMoved(path);
            continue;
        }
        if (const Identity now = IdentityAt(path); now.exists && now != fileAsked) {
            result = 1;
            if (tellsFailures)
                dialogs_->ReportFileReplaced(path);
            continue;
        }
        std::string reason;
        if (!MoveToTrash(path, reason)) {
            result = 1;
            if (tellsFailures)
                dialogs_->ReportTrashFailure(path, reason);
        }
    }
    return result;
}

} // namespace commands
