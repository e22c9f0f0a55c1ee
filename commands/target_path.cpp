#include "target_path.h"

namespace commands {

std::filesystem::path::string_type ComposeTargetPath(const std::filesystem::path& folder,
                                                     const std::filesystem::path& name,
                                                     bool folderIsRoot)
{
    // Plain concatenation: operator/ would drop the folder for a name that looks absolute.
    std::filesystem::path::string_type target;
    target.reserve(folder.native().size() + 1 + name.native().size());
    target += folder.native();
    if (!folderIsRoot)
        target += std::filesystem::path::preferred_separator;
    target += name.native();
    return target;
}

std::filesystem::path TargetPath(const std::filesystem::path& folder,
                                 const std::filesystem::path& name, bool folderIsRoot)
{
    return std::filesystem::path(ComposeTargetPath(folder, name, folderIsRoot));
}

} // namespace commands
