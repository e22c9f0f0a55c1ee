#pragma once

#include <string>
#include <string_view>

namespace commands {

// UTF-8 of UTF-16 text; an unpaired surrogate, which Windows allows in names, becomes U+FFFD
// instead of failing.
std::string Utf8FromWide(std::wstring_view wide);
// UTF-16 of UTF-8 text.
std::wstring WideFromUtf8(std::string_view utf8);
// The system's message for a Windows error code, in UTF-8, without the full stop and line
// break that end it; "error N" when the system has none.
std::string SystemMessage(unsigned long code);

} // namespace commands
