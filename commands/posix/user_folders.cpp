#include "user_folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <string>
#include <unistd.h>

namespace commands {

std::filesystem::path WorkingFolder(int& error)
{
    std::string buffer(4096, '\0');
    if (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        error = errno;
        return {};
    }
    error = 0;
    buffer.resize(std::strlen(buffer.c_str()));
    return buffer;
}

void LeaveWorkingFolder()
{
    [[maybe_unused]] const int ignored = ::chdir("/");
}

std::filesystem::path HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir && *user->pw_dir == '/')
        return user->pw_dir;
    return {};
}

} // namespace commands
