#pragma once

#include <filesystem>

namespace commands {

// Folder path F followed by name N: directly at a root (F ends in the separator), else with one
// separator between. N is used exactly as given.
std::filesystem::path TargetPath(const std::filesystem::path& folder,
                                 const std::filesystem::path& name, bool folderIsRoot);

// The same path as a plain string, for loops that compose one per file: a path object splits
// its string into elements when it is made.
std::filesystem::path::string_type ComposeTargetPath(const std::filesystem::path& folder,
                                                     const std::filesystem::path& name,
                                                     bool folderIsRoot);

} // namespace commands
