#include "hidden_names.h"

namespace app {

bool IsHidden(const std::filesystem::path& /*folder*/, const std::filesystem::path& name)
{
    return !name.empty() && name.native().front() == '.';
}

} // namespace app
