#include "error_text.h"

#include <cstring>

namespace commands {

std::string ErrorText(int code) { return std::strerror(code); }

} // namespace commands
