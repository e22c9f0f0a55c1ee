#include "filesystem.h"

#include "filesystem_backend.h"
#include "natural_order.h"

namespace commands {

namespace backend {

bool isDotOrEmpty(NativeView name)
{
    constexpr Path::value_type dot = '.';
    return name.empty() || (name[0] == dot && (name.size() == 1 || (name.size() == 2 && name[1] == dot)));
}

bool isValidElement(const Path& name)
{
    return !isDotOrEmpty(name.native()) && holdsOnlyNameCharacters(name.native());
}

void sortNaturally(FolderEntries& entries)
{
    SortNaturally(entries.files);
    SortNaturally(entries.subfolders);
}

void renameInPlace(const Native& full, const EntryPlace& place, const Path& newName)
{
    const char* op = "rename";
    if (!isValidElement(newName))
        throw FsError(invalidNameError, newName, op);
    const NativeView oldName = currentNameOf(full, op);
    if (isDotOrEmpty(oldName))
        throw FsError(fixedNameError, Path(full), op);
    if (oldName == newName.native()) {
        checkExists(place, full, op);
        return;
    }
    renameEntry(place, full, oldName, newName);
}

} // namespace backend

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + backend::pathText(path) +
                         "\": " + backend::errorText(code)),
      code_(code), path_(path)
{
}

namespace {

FolderEntries readSorted(const Path& folder, backend::Wanted wanted)
{
    FolderEntries entries = backend::readFolderOnce(folder, wanted);
    backend::sortNaturally(entries);
    return entries;
}

} // namespace

FolderEntries ReadFolder(const Path& folder)
{
    return readSorted(folder, {.files = true, .subfolders = true, .identity = true});
}

std::vector<Path> ListFileNames(const Path& folder)
{
    return readSorted(folder, {.files = true, .subfolders = false, .identity = false}).files;
}

std::vector<Path> ListSubfolderNames(const Path& folder)
{
    return readSorted(folder, {.files = false, .subfolders = true, .identity = false}).subfolders;
}

} // namespace commands
