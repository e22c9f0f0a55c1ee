#include "backend.h"

#include <cstdlib>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace commands {

using namespace posix;

namespace {

// The canonical form of a folder path, every link and dot resolved.
std::optional<std::string> canonical(const char* path)
{
    char* resolved = sys().realpath(path, nullptr);
    if (!resolved)
        return std::nullopt;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

bool isSameOrAncestor(const std::string& folder, const std::string& of)
{
    if (folder == of)
        return true;
    if (folder == "/")
        return true;
    return of.size() > folder.size() && of.compare(0, folder.size(), folder) == 0 &&
           of[folder.size()] == '/';
}

std::vector<std::string> homeFolders()
{
    std::vector<std::string> homes;
    if (const char* env = std::getenv("HOME"); env && *env)
        if (auto c = canonical(env))
            homes.push_back(*c);
    if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir)
        if (auto c = canonical(pw->pw_dir))
            homes.push_back(*c);
    return homes;
}

// True when the folder is a home folder or one of its ancestors. Compared by identity as well
// as by name, so that a bind mount showing a home folder elsewhere is caught too. A folder
// that cannot be compared counts as protected.
bool isHomeOrAncestor(const std::string& resolved, const struct stat& folder, const Path& shown)
{
    for (const std::string& home : homeFolders()) {
        if (isSameOrAncestor(resolved, home))
            return true;
        for (Path step(home);; step = step.parent_path()) {
            const struct stat st = statAt(AT_FDCWD, step.c_str(), 0, shown, "delete folder");
            if (st.st_dev == folder.st_dev && st.st_ino == folder.st_ino)
                return true;
            if (step == step.parent_path())
                break;
        }
    }
    return false;
}

} // namespace

void posix::refuseProtectedFolder(const Path& path)
{
    const char* op = "delete folder";
    const auto resolved = canonical(cpath(path, op));
    if (!resolved)
        fail(errno, path, op);
    if (*resolved == "/")
        fail(EBUSY, path, "delete folder (a root folder is never deleted)");
    const Path real(*resolved);
    const struct stat self = statAt(AT_FDCWD, resolved->c_str(), 0, path, op);
    const struct stat parent = statAt(AT_FDCWD, real.parent_path().c_str(), 0, path, op);
    // When the kernel cannot tell, that is a failure, not a "no": a guard that guessed would
    // let the delete into another volume.
    if (self.st_dev != parent.st_dev ||
        isMountRoot(statxAt(AT_FDCWD, resolved->c_str(), 0, STATX_INO, path, op)))
        fail(EBUSY, path, "delete folder (a mount point is never deleted)");
    if (isHomeOrAncestor(*resolved, self, path))
        fail(EPERM, path, "delete folder (the home folder is never deleted)");
}

} // namespace commands
