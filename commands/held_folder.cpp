#include "held_folder.h"

#include "filesystem_backend.h"

namespace commands {

namespace {

std::optional<FolderIdentity> identityAt(const Path& path)
{
    try {
        return backend::folderIdentityAt(path);
    } catch (const FsError&) {
        return std::nullopt;
    }
}

} // namespace

HeldFolder::HeldFolder(const Path& folder) : identity_(backend::folderIdentityAt(folder)) {}

// The listing reads what the folder it lists is, so that no other folder's entries are shown
// for this one's.
FolderEntries HeldFolder::Read(const Path& shown) const
{
    FolderEntries entries = ReadFolder(shown);
    if (identity_ == FolderIdentity() || entries.identity != identity_)
        throw FolderReplaced(shown);
    return entries;
}

std::optional<Path> HeldFolder::FindAgain(const Path& expected,
                                          const std::vector<Path>& renamedTo) const
{
    if (identity_ == FolderIdentity())
        return std::nullopt;
    if (identityAt(expected) == identity_)
        return expected;
    if (!expected.has_relative_path())
        return std::nullopt;
    const Path parent = expected.parent_path();
    for (const Path& name : renamedTo)
        if (!backend::isDotOrEmpty(name.native()) && identityAt(parent / name) == identity_)
            return parent / name;
    try {
        if (std::optional<Path> name = backend::findSubfolder(parent, identity_))
            return parent / *name;
    } catch (const FsError&) {
    }
    return std::nullopt;
}

} // namespace commands
