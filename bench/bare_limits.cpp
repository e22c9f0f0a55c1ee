#include "bare_limits.h"

#include "natural_order.h"

#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include <gio/gio.h>

namespace bench {

namespace {

double Since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

std::vector<std::filesystem::path> ReadNames(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_type != DT_DIR)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

std::vector<std::filesystem::path> ReadSortedNames(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> names = ReadNames(folder);
    commands::SortNaturally(names);
    return names;
}

} // namespace

double ListAndSort(const std::filesystem::path& folder)
{
    const auto start = std::chrono::steady_clock::now();
    ReadSortedNames(folder);
    return Since(start);
}

// The bare loops name each file by its full path, as the system calls named in their
// descriptions take it: unlink(path) and renameat2 on two paths.
double RenameEach(const std::filesystem::path& folder, const char* prefix)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string base = folder.native() + '/';
    long number = 0;
    for (const std::filesystem::path& name : ReadSortedNames(folder)) {
        const std::string newPath = base + prefix + std::to_string(++number);
        renameat2(AT_FDCWD, (base + name.native()).c_str(), AT_FDCWD, newPath.c_str(),
                  RENAME_NOREPLACE);
    }
    return Since(start);
}

double UnlinkEach(const std::filesystem::path& folder)
{
    const auto start = std::chrono::steady_clock::now();
    const std::string base = folder.native() + '/';
    for (const std::filesystem::path& name : ReadSortedNames(folder))
        unlink((base + name.native()).c_str());
    return Since(start);
}

double TrashEach(const std::filesystem::path& folder)
{
    const auto start = std::chrono::steady_clock::now();
    for (const std::filesystem::path& name : ReadSortedNames(folder)) {
        GFile* file = g_file_new_for_path((folder / name).c_str());
        g_file_trash(file, nullptr, nullptr);
        g_object_unref(file);
    }
    return Since(start);
}

} // namespace bench
