#include "shell_posix.h"

#include <gio/gio.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cstdint>
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

} // namespace

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
