#include "held_folder.h"

#include "win32_backend.h"

namespace commands {

using namespace win32;

// Windows keeps only what the folder is, not a handle on it: a folder held open cannot be
// deleted until the handle is closed, nor can the folders above it be renamed, and under Wine
// GetFinalPathNameByHandleW names a held folder by the path it was opened at, whatever became
// of it. A folder renamed in its parent is found there by what it is; one moved elsewhere
// counts as gone.
struct HeldFolder::Handle {
    FolderIdentity identity;
};

namespace {

std::optional<FolderIdentity> identityAt(const Path& path)
{
    try {
        return identityOf(path, "open folder");
    } catch (const FsError&) {
        return std::nullopt;
    }
}

// The subfolder of the parent that is this folder, whatever its name.
std::optional<Path> findAmongSubfolders(const Path& parent, const FolderIdentity& folder)
{
    try {
        for (const Path& name : ListSubfolderNames(parent))
            if (identityAt(parent / name) == folder)
                return parent / name;
    } catch (const FsError&) {
    }
    return std::nullopt;
}

} // namespace

HeldFolder::HeldFolder() = default;
HeldFolder::~HeldFolder() = default;
HeldFolder::HeldFolder(HeldFolder&&) noexcept = default;
HeldFolder& HeldFolder::operator=(HeldFolder&&) noexcept = default;

HeldFolder::HeldFolder(const Path& folder)
    : handle_(std::make_unique<Handle>(Handle{identityOf(folder, "open folder")}))
{
}

FolderIdentity HeldFolder::Identity() const { return handle_ ? handle_->identity : FolderIdentity{}; }

// Windows lists a folder by its path only: the path that FindAgain gave, checked once more by
// what the listing found there.
FolderEntries HeldFolder::Read(const Path& shown) const
{
    FolderEntries entries = ReadFolder(shown);
    if (!handle_ || entries.identity != handle_->identity)
        throw FolderReplaced(shown);
    return entries;
}

std::optional<Path> HeldFolder::FindAgain(const Path& expected) const
{
    if (!handle_)
        return std::nullopt;
    if (identityAt(expected) == handle_->identity)
        return expected;
    if (!expected.has_relative_path())
        return std::nullopt;
    return findAmongSubfolders(expected.parent_path(), handle_->identity);
}

} // namespace commands
