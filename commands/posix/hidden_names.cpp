#include "hidden_names.h"

namespace commands {

bool IsHidden(const std::filesystem::path& /*folder*/, const std::filesystem::path& name)
{
    return !name.empty() && name.native().front() == '.';
}

} // namespace commands
