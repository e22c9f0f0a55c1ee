#pragma once

// The mount table as Linux writes it, for the drive list's volumes (volumes_posix.cpp).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The kernel's mount table of this process.
inline constexpr const char* mountTablePath = "/proc/self/mountinfo";

// One mount as a line of /proc/self/mountinfo describes it.
struct MountEntry {
    std::filesystem::path mountPoint;  // exact bytes, escapes decoded
    std::string fileSystemType;
};

// The mounts that the text of /proc/self/mountinfo lists, in its order; a line that does not
// read as a mount is skipped.
std::vector<MountEntry> ParseMountInfo(std::string_view text);

} // namespace app
