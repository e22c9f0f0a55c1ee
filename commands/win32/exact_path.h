#pragma once

#include <filesystem>
#include <string>

namespace commands::win32 {

// The path in the form that names exactly the entry it spells: its long form (\\?\), in which
// Windows normalises no name, so that "d." and "e " are reached as listed and not as their
// stripped twins "d" and "e". A relative path is taken from the current folder, and "." and
// ".." elements are resolved by their text alone; no name is changed. A path that holds a NUL
// names no entry: it is returned as it is, for the call to refuse.
std::wstring ExactPath(const std::filesystem::path& path);

// True when the path, written plainly as the shell takes it, still names the entry it spells:
// no element ends in a dot or a blank, which plain paths drop, and none is a device name.
bool PlainPathKeepsNames(const std::filesystem::path& path);

// True unless the file at the path, opened as itself, lies elsewhere than its folder and name
// say: a link that Windows does not show as one (a Unix link under Wine) is not itself. A file
// or folder that cannot be opened counts as itself: whoever opens it next tells that failure.
bool LeadsToItself(const std::filesystem::path& file);

} // namespace commands::win32
