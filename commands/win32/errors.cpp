// The Windows backend's failures: an error code and the path it concerns, in the system's words.
#include "backend.h"
#include "text.h"

#include <string>

namespace commands {

namespace win32 {

void fail(DWORD code, const Path& path, const char* operation)
{
    throw FsError(static_cast<int>(code), path, operation);
}

void failLast(const Path& path, const char* operation)
{
    fail(GetLastError(), path, operation);
}

} // namespace win32

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + Utf8FromWide(path.native()) +
                         "\": " + SystemMessage(static_cast<DWORD>(code))),
      code_(code), path_(path)
{
}

} // namespace commands
