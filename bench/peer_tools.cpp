#include "peer_tools.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace bench {

namespace {

// Whether the program is found on PATH.
bool OnPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= folders.size();) {
        std::size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = folders.substr(start, end - start) + '/' + program;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

// Runs the command with its output thrown away and its errors shown; the milliseconds from
// its start until it has exited.
std::optional<double> Run(const std::string& tool, const std::vector<std::string>& command)
{
    if (!OnPath(tool))
        return std::nullopt;
    std::vector<char*> argv;
    for (const std::string& word : command)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t child = 0;
    int status = 0;
    const int failed = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    if (!failed)
        waitpid(child, &status, 0);
    const auto end = std::chrono::steady_clock::now();
    posix_spawn_file_actions_destroy(&actions);
    if (failed || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::fprintf(stderr, "warning: %s did not succeed\n", tool.c_str());
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The tool run in the folder through a shell, given every name of the folder after `words`.
// A larger stack gives the system room for the names of 100,000 files as arguments.
std::optional<double> RunOverAllNames(const std::string& tool, const std::string& words,
                                      const std::filesystem::path& folder)
{
    if (!OnPath(tool))
        return std::nullopt;
    return Run("sh", {"sh", "-c",
                      "ulimit -s 65536; cd -- \"$1\" && exec " + tool + ' ' + words + " *", "sh",
                      folder.native()});
}

} // namespace

std::optional<double> RemoveRecursively(const std::filesystem::path& folder)
{
    return Run("rm", {"rm", "-rf", folder.native()});
}

std::optional<double> FindDelete(const std::filesystem::path& folder)
{
    return Run("find", {"find", folder.native(), "-maxdepth", "1", "-type", "f", "-delete"});
}

std::optional<double> PerlRename(const std::filesystem::path& folder)
{
    return RunOverAllNames("file-rename", "-- 's/.*/sprintf(\"p%d\", ++our $n)/e'", folder);
}

std::optional<double> GioTrash(const std::filesystem::path& folder)
{
    return RunOverAllNames("gio", "trash --", folder);
}

std::optional<double> ListNaturally(const std::filesystem::path& folder)
{
    return Run("ls", {"ls", "-v", folder.native()});
}

} // namespace bench
