#pragma once

// What the shared part of the file-system services (filesystem.cpp) and the backend of each
// platform give each other. Not for callers outside the core's file-system code.

#include "filesystem.h"

#include <string>
#include <string_view>

namespace commands::backend {

using Native = Path::string_type;
using NativeView = std::basic_string_view<Path::value_type>;

// ---- Supplied by filesystem.cpp

// True for an empty name, "." or "..": names that stand for no entry of their own.
bool isDotOrEmpty(NativeView name);
// One path element that the platform can hold as a name.
bool isValidElement(const Path& name);
// Sorts both name lists of a folder's entries into natural order.
void sortNaturally(FolderEntries& entries);

// Where the calls that act on an entry find it; each backend defines it.
struct EntryPlace;
// Renames the entry at the full path `full`, found at `place`, to newName in the same folder,
// never replacing another entry. Renaming to the name it has renames nothing, once the entry
// is seen to exist.
void renameInPlace(const Native& full, const EntryPlace& place, const Path& newName);

// ---- Supplied by each backend

// The OS error codes that the shared code reports: for a name that cannot be one, and for a
// path whose last element cannot be renamed ("." or a root).
extern const int invalidNameError;
extern const int fixedNameError;

// True when the name holds no character that the platform refuses in one path element.
bool holdsOnlyNameCharacters(NativeView name);
// The entry's present name: the last element of its full path, as a view into it. A path that
// cannot name an entry fails.
NativeView currentNameOf(const Native& full, const char* operation);
// Fails unless the entry exists.
void checkExists(const EntryPlace& place, const Native& full, const char* operation);
// Renames the entry whose name is oldName, a view into `full`, to newName, which differs from
// it, never replacing another entry.
void renameEntry(const EntryPlace& place, const Native& full, NativeView oldName,
                 const Path& newName);

// Kinds of entry that a listing keeps, and whether it needs what the folder is.
struct Wanted {
    bool files;
    bool subfolders;
    bool identity;
};
// The folder's entries of the kinds wanted, read in one pass, unsorted.
FolderEntries readFolderOnce(const Path& folder, Wanted wanted);

// A path and an error code as an error message shows them.
std::string pathText(const Path& path);
std::string errorText(int code);

} // namespace commands::backend
