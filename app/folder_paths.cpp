#include "folder_paths.h"

namespace app {

using std::filesystem::path;

path NormalFolder(const path& folder)
{
    // A relative path, which the program never makes itself, is taken from the working folder
    // where there is one.
    std::error_code error;
    path normal = std::filesystem::absolute(folder, error);
    if (error)
        normal = folder;
    normal = normal.lexically_normal();
    // A trailing separator is an empty last element; a root keeps its separator.
    if (normal.has_relative_path() && !normal.has_filename())
        normal = normal.parent_path();
    return normal;
}

std::vector<path> AncestorsOf(const path& folder)
{
    std::vector<path> ancestors;
    path ancestor = folder.root_path();
    if (!ancestor.empty())
        ancestors.push_back(ancestor);
    for (const path& element : folder.relative_path()) {
        if (element.empty())
            continue;
        ancestor /= element;
        ancestors.push_back(ancestor);
    }
    return ancestors;
}

bool IsUnder(const path& folder, const path& root)
{
    const path::string_type& f = folder.native();
    const path::string_type& r = root.native();
    if (r.empty() || f.size() < r.size() || f.compare(0, r.size(), r) != 0)
        return false;
    return f.size() == r.size() || r.back() == path::preferred_separator ||
           f[r.size()] == path::preferred_separator;
}

} // namespace app
