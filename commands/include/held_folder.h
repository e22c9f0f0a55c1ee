#pragma once

#include "filesystem.h"

#include <optional>
#include <vector>

namespace commands {

// The folder that the window shows, kept as what it is (its identity) and never held open, so
// that showing a folder keeps no one from renaming, deleting or unmounting it. Where it was
// renamed in its parent, it is found there again; moved anywhere else, it counts as gone.
class HeldFolder {
public:
    HeldFolder() = default;
    // Keeps what the folder at the path is (exactly that path: links are followed, nothing is
    // normalised); throws FsError when no folder is there.
    explicit HeldFolder(const Path& folder);

    // What the folder kept is; zero while none is.
    FolderIdentity Identity() const { return identity_; }
    // The entries of the folder at the path, sorted as ReadFolder sorts them; throws
    // FolderReplaced where another folder is there now.
    FolderEntries Read(const Path& shown) const;
    // Where the folder is now: `expected` while that path leads to it, else the subfolder of
    // the same parent that is this folder, looked for first under the names the folder was
    // heard to be renamed to. Nothing where it is gone from that parent, or nothing is kept.
    std::optional<Path> FindAgain(const Path& expected,
                                  const std::vector<Path>& renamedTo = {}) const;

private:
    FolderIdentity identity_;
};

} // namespace commands
