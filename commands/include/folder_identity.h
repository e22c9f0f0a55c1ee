#pragma once

#include <cstdint>

namespace commands {

// What a folder is, whatever path names it: the device and inode numbers on Linux, the volume
// serial number and file ID on Windows. A folder moved away and a new one made under its old
// path differ in it, and so do a mount point and the folder that a mount hides.
struct FolderIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// What any entry is: the same numbers, for a file or a link as for a folder.
using EntryIdentity = FolderIdentity;

} // namespace commands
