// The POSIX backend's failures: an errno and the path it concerns, in the system's words.
#include "backend.h"

#include <cstring>

namespace commands {

FsError::FsError(int code, const Path& path, const std::string& operation)
    : std::runtime_error(operation + " \"" + path.string() + "\": " + std::strerror(code)),
      code_(code), path_(path)
{
}

void posix::fail(int code, const Path& path, const char* operation)
{
    throw FsError(code, path, operation);
}

} // namespace commands
