#pragma once

// Plain functions that are the same on every platform, for both backends. Not for callers
// outside the core's file-system code.

#include "filesystem.h"

#include <optional>
#include <string_view>

namespace commands::backend {

using Native = Path::string_type;
using NativeView = std::basic_string_view<Path::value_type>;

// True for an empty name, "." or "..": names that stand for no entry of their own.
bool isDotOrEmpty(NativeView name);
// One path element: a name of its own that holds none of the characters the platform refuses.
bool isValidName(NativeView name, NativeView refusedCharacters);
// A rename to the name the entry has renames nothing. Names compare exactly, so that a change
// of case alone is a rename, also where the file system ignores case.
bool isSameName(NativeView present, NativeView wanted);
// What the folder at the path is; a link is followed. Throws FsError where no folder is there.
FolderIdentity folderIdentityAt(const Path& folder);
// The name of the parent's subfolder (or link to one) that is this folder, whatever its name;
// nothing where none is. Throws FsError where the parent cannot be read.
std::optional<Path> findSubfolder(const Path& parent, const FolderIdentity& folder);
// Sorts both name lists of a folder's entries into natural order.
void sortNaturally(FolderEntries& entries);

} // namespace commands::backend
