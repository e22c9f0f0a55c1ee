#include "held_folder.h"

#include "posix_backend.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace commands {

using namespace posix;

namespace {

// True when the path lies in the files of a freedesktop.org Trash: the home Trash, or a
// volume's ".Trash-<uid>" or ".Trash/<uid>".
bool isInTrash(const Path& path)
{
    const std::string uid = std::to_string(getuid());
    Path dataHome;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/')
        dataHome = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        dataHome = Path(home) / ".local/share";
    for (Path files = path.parent_path(); files.has_relative_path(); files = files.parent_path()) {
        if (files.filename() != "files")
            continue;
        const Path trash = files.parent_path();
        if ((!dataHome.empty() && trash == dataHome / "Trash") ||
            trash.filename() == ".Trash-" + uid ||
            (trash.filename() == uid && trash.parent_path().filename() == ".Trash"))
            return true;
    }
    return false;
}

} // namespace

struct HeldFolder::Handle {
    Fd fd;
    FolderIdentity identity;
};

HeldFolder::HeldFolder() = default;
HeldFolder::~HeldFolder() = default;
HeldFolder::HeldFolder(HeldFolder&&) noexcept = default;
HeldFolder& HeldFolder::operator=(HeldFolder&&) noexcept = default;

// O_PATH: holding the folder needs no right to read it.
HeldFolder::HeldFolder(const Path& folder) : handle_(std::make_unique<Handle>())
{
    const char* op = "open folder";
    handle_->fd = openDirectory(AT_FDCWD, cpath(folder, op), O_PATH, folder, op);
    handle_->identity = identityOf(statAt(handle_->fd.get(), "", AT_EMPTY_PATH, folder, op));
}

FolderIdentity HeldFolder::Identity() const { return handle_ ? handle_->identity : FolderIdentity{}; }

FolderEntries HeldFolder::Read(const Path& shown) const
{
    const char* op = "read folder";
    if (!handle_)
        fail(ENOENT, shown, op);
    const Fd fd = openDirectory(handle_->fd.get(), ".", 0, shown, op);
    FolderEntries entries = readEntriesAt(fd.get(), shown, true, true);
    entries.identity = handle_->identity;
    backend::sortNaturally(entries);
    return entries;
}

// The kernel names the folder of a descriptor in /proc; the name is believed only when it
// leads back to the folder held.
std::optional<Path> HeldFolder::FindAgain(const Path& expected) const
{
    if (!handle_)
        return std::nullopt;
    struct stat st {};
    if (sys().fstatat(handle_->fd.get(), "", &st, AT_EMPTY_PATH) != 0 || st.st_nlink == 0)
        return std::nullopt;  // deleted
    if (sys().fstatat(AT_FDCWD, expected.c_str(), &st, 0) == 0 && identityOf(st) == handle_->identity)
        return expected;
    const std::string link = "/proc/self/fd/" + std::to_string(handle_->fd.get());
    std::string now(4096, '\0');
    const ssize_t length = readlink(link.c_str(), now.data(), now.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= now.size() || now[0] != '/')
        return std::nullopt;
    now.resize(static_cast<std::size_t>(length));
    if (sys().fstatat(AT_FDCWD, now.c_str(), &st, 0) != 0)
        // A path that cannot be looked into (no right to search it, a failing disk) may still
        // lead to the folder: it keeps the path it had, as a folder that cannot be read does.
        return errno == ENOENT || errno == ENOTDIR ? std::nullopt : std::optional<Path>(expected);
    if (identityOf(st) != handle_->identity || isInTrash(now))
        return std::nullopt;
    return Path(now);
}

} // namespace commands
