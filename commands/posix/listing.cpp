#include "backend.h"

namespace commands {

using namespace posix;

namespace {

enum class EntryKind { File, Folder };

// Links to folders count as folders; a link that leads nowhere is a file.
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

} // namespace

FolderEntries posix::readEntriesAt(int dirfd, const Path& folder, bool wantFiles,
                                   bool wantSubfolders)
{
    const char* op = "read folder";
    // The stream takes a descriptor of its own, so that dirfd stays open.
    DirStream stream(openDirectory(dirfd, ".", 0, folder, op), folder, op);
    FolderEntries entries;
    while (const dirent* entry = stream.Next(folder, op)) {
        if (kindOf(dirfd, *entry, folder) == EntryKind::File) {
            if (wantFiles)
                entries.files.emplace_back(entry->d_name);
        } else if (wantSubfolders) {
            entries.subfolders.emplace_back(entry->d_name);
        }
    }
    return entries;
}

// The folder's identity is read from the descriptor that the listing holds, whether asked for
// or not.
FolderEntries ReadFolder(const Path& folder, EntryKinds kinds)
{
    const char* op = "read folder";
    const Fd fd = openDirectory(AT_FDCWD, cpath(folder, op), 0, folder, op);
    FolderEntries entries = readEntriesAt(fd.get(), folder, kinds.files, kinds.subfolders);
    entries.identity = identityOf(statAt(fd.get(), "", AT_EMPTY_PATH, folder, op));
    backend::sortNaturally(entries);
    return entries;
}

namespace backend {

FolderIdentity folderIdentityAt(const Path& folder)
{
    const char* op = "open folder";
    const struct stat st = statAt(AT_FDCWD, cpath(folder, op), 0, folder, op);
    if (!S_ISDIR(st.st_mode))
        fail(ENOTDIR, folder, op);
    return identityOf(st);
}

// The listing names each entry's inode: only an entry with the folder's inode, or a link,
// is looked at more closely.
std::optional<Path> findSubfolder(const Path& parent, const FolderIdentity& folder)
{
    const char* op = "read folder";
    const Fd fd = openDirectory(AT_FDCWD, cpath(parent, op), 0, parent, op);
    DirStream stream(openDirectory(fd.get(), ".", 0, parent, op), parent, op);
    while (const dirent* entry = stream.Next(parent, op)) {
        const bool mayBe = entry->d_ino == folder.file || entry->d_type == DT_LNK ||
                           entry->d_type == DT_UNKNOWN;
        if (!mayBe || isDotOrEmpty(entry->d_name))
            continue;
        struct stat st {};
        if (sys().fstatat(fd.get(), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode) &&
            identityOf(st) == folder)
            return Path(entry->d_name);
    }
    return std::nullopt;
}

} // namespace backend

} // namespace commands
