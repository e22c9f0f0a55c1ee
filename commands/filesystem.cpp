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

bool isValidName(NativeView name, NativeView refusedCharacters)
{
    return !isDotOrEmpty(name) && name.find_first_of(refusedCharacters) == NativeView::npos;
}

bool isSameName(NativeView present, NativeView wanted) { return present == wanted; }

void sortNaturally(FolderEntries& entries)
{
    SortNaturally(entries.files);
    SortNaturally(entries.subfolders);
}

} // namespace backend

bool IsOneName(const Path& name)
{
    const backend::NativeView text = name.native();
    constexpr Path::value_type slash = '/';
    return !backend::isDotOrEmpty(text) && text.find(slash) == text.npos &&
           text.find(Path::preferred_separator) == text.npos;
}

std::vector<File> Folder::FilesAt(const Path::string_type& prefix, const std::vector<Path>& names,
                                  const std::shared_ptr<const FileAt>& at)
{
    std::vector<File> files;
    files.reserve(names.size());
    for (const Path& name : names)
        files.push_back(File(prefix + name.native(), at));
    return files;
}

std::vector<Path> ListFileNames(const Path& folder)
{
    return ReadFolder(folder, {.files = true, .subfolders = false, .identity = false}).files;
}

std::vector<Path> ListSubfolderNames(const Path& folder)
{
    return ReadFolder(folder, {.files = false, .subfolders = true, .identity = false}).subfolders;
}

} // namespace commands
