#pragma once

#include <filesystem>

namespace commands {

// True for an entry that the lists leave out: a name starting with a dot on Linux, an entry with
// the hidden attribute on Windows.
bool IsHidden(const std::filesystem::path& folder, const std::filesystem::path& name);

} // namespace commands
