#include "hidden_names.h"

#include "exact_path.h"

#include <windows.h>

namespace commands {

bool IsHidden(const std::filesystem::path& folder, const std::filesystem::path& name)
{
    const DWORD attributes = GetFileAttributesW(win32::ExactPath(folder / name).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
}

} // namespace commands
