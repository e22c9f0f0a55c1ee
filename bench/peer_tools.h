#pragma once

#include <filesystem>
#include <optional>

// The commands that a user would run instead of the program, each timed as a new process on a
// folder of its own, from its start until it has exited. Each returns milliseconds, or nothing
// when its tool is not installed.
namespace bench {

// rm -rf FOLDER
std::optional<double> RemoveRecursively(const std::filesystem::path& folder);
// find FOLDER -maxdepth 1 -type f -delete
std::optional<double> FindDelete(const std::filesystem::path& folder);
// Perl rename in the folder, through a shell that passes it every name:
//   file-rename -- 's/.*/sprintf("p%d", ++our $n)/e' *
std::optional<double> PerlRename(const std::filesystem::path& folder);
// One gio trash call over every name, through a shell in the folder: gio trash -- *
std::optional<double> GioTrash(const std::filesystem::path& folder);
// ls -v FOLDER (natural order), its listing thrown away
std::optional<double> ListNaturally(const std::filesystem::path& folder);

} // namespace bench
