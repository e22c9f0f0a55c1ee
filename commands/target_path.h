#pragma once

#include <filesystem>

namespace commands {

// Folder path F followed by name N: directly at a root (F ends in the separator), else with one
// separator between. N is used exactly as given.
std::filesystem::path TargetPath(const std::filesystem::path& folder,
                                 const std::filesystem::path& name, bool folderIsRoot);

} // namespace commands
