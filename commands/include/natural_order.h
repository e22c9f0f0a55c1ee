#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace commands {

// True when name a goes before name b: case-insensitive, digits by value, ties by bytes.
bool NaturalLess(std::string_view a, std::string_view b);
// Sorts names in natural order (keys computed once per name).
void SortNaturally(std::vector<std::filesystem::path>& names);

} // namespace commands
