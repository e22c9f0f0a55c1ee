#include "error_text.h"

#include "text.h"

namespace commands {

std::string ErrorText(int code) { return SystemMessage(static_cast<unsigned long>(code)); }

} // namespace commands
