#include "bare_limits.h"

#include "natural_order.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gio/gio.h>

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
using Names = std::vector<std::filesystem::path>;

double Since(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The names of the open folder's files, or of its subfolders.
Names ReadNames(DIR* dir, bool subfolders)
{
    Names names;
    while (const dirent* entry = readdir(dir)) {
        if ((entry->d_type == DT_DIR) == subfolders && !IsDotOrDotDot(entry->d_name))
            names.emplace_back(entry->d_name);
    }
    return names;
}

// The names of the open folder's files in the file list's order.
Names ReadSortedNames(DIR* dir)
{
    Names names = ReadNames(dir, false);
    commands::SortNaturally(names);
    return names;
}

// An open folder: readdir through it, and its descriptor for the *at calls.
class OpenFolder {
public:
    explicit OpenFolder(const std::filesystem::path& folder) : dir_(opendir(folder.c_str()))
    {
        if (!dir_)
            std::perror(folder.c_str());
    }
    ~OpenFolder()
    {
        if (dir_)
            closedir(dir_);
    }
    OpenFolder(const OpenFolder&) = delete;
    OpenFolder& operator=(const OpenFolder&) = delete;

    DIR* dir() const { return dir_; }
    int fd() const { return dirfd(dir_); }

private:
    DIR* dir_;
};

// A path as the Path= line of a .trashinfo holds it: every byte but the unreserved ones and
// '/' percent-encoded.
std::string UriEscaped(const std::string& path)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(path.size());
    for (const unsigned char c : path) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                           c == '~' || c == '/';
        if (plain) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += hex[c >> 4];
            escaped += hex[c & 15];
        }
    }
    return escaped;
}

std::string TrashInfo(const std::string& fullPath)
{
    char date[32];
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + UriEscaped(fullPath) + "\nDeletionDate=" + date + "\n";
}

int OpenSubfolder(int parent, const char* name)
{
    mkdirat(parent, name, 0700);
    return openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

// Empties the subfolder `name` of parent (its files only) and removes it.
void DeleteSubfolderAt(int parent, const char* name)
{
    const int fd = openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (DIR* dir = fdopendir(fd)) {
        while (const dirent* entry = readdir(dir))
            if (!IsDotOrDotDot(entry->d_name))
                unlinkat(fd, entry->d_name, 0);
        closedir(dir);
    }
    unlinkat(parent, name, AT_REMOVEDIR);
}

} // namespace

double ListAndSort(const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    Names files, subfolders;
    {
        const OpenFolder open(folder);
        while (const dirent* entry = readdir(open.dir())) {
            if (entry->d_type != DT_DIR)
                files.emplace_back(entry->d_name);
            else if (!IsDotOrDotDot(entry->d_name))
                subfolders.emplace_back(entry->d_name);
        }
    }
    commands::SortNaturally(files);
    commands::SortNaturally(subfolders);
    return Since(start);
}

double RenameEach(const std::filesystem::path& folder, const char* prefix)
{
    const auto start = Clock::now();
    const std::string base = folder.native() + '/';
    const OpenFolder open(folder);
    long number = 0;
    for (const std::filesystem::path& name : ReadSortedNames(open.dir())) {
        const std::string newPath = base + prefix + std::to_string(++number);
        renameat2(AT_FDCWD, (base + name.native()).c_str(), AT_FDCWD, newPath.c_str(),
                  RENAME_NOREPLACE);
    }
    return Since(start);
}

double UnlinkEach(const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    const std::string base = folder.native() + '/';
    const OpenFolder open(folder);
    for (const std::filesystem::path& name : ReadSortedNames(open.dir()))
        unlink((base + name.native()).c_str());
    return Since(start);
}

double TrashEach(const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    const OpenFolder open(folder);
    for (const std::filesystem::path& name : ReadSortedNames(open.dir())) {
        GFile* file = g_file_new_for_path((folder / name).c_str());
        g_file_trash(file, nullptr, nullptr);
        g_object_unref(file);
    }
    return Since(start);
}

double RenameEachAt(const std::filesystem::path& folder, const char* prefix)
{
    const auto start = Clock::now();
    const OpenFolder open(folder);
    std::string newName = prefix;
    const std::size_t prefixLength = newName.size();
    long number = 0;
    for (const std::filesystem::path& name : ReadSortedNames(open.dir())) {
        newName.resize(prefixLength);
        newName += std::to_string(++number);
        renameat2(open.fd(), name.c_str(), open.fd(), newName.c_str(), RENAME_NOREPLACE);
    }
    return Since(start);
}

double UnlinkEachAt(const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    const OpenFolder open(folder);
    for (const std::filesystem::path& name : ReadSortedNames(open.dir()))
        unlinkat(open.fd(), name.c_str(), 0);
    return Since(start);
}

double TrashEachAt(const std::filesystem::path& folder, const std::filesystem::path& trash)
{
    const auto start = Clock::now();
    std::filesystem::create_directories(trash);
    const int trashFd = open(trash.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int filesFd = OpenSubfolder(trashFd, "files");
    const int infoFd = OpenSubfolder(trashFd, "info");
    const std::string base = folder.native() + '/';
    const OpenFolder open(folder);
    for (const std::filesystem::path& name : ReadSortedNames(open.dir())) {
        const std::string info = TrashInfo(base + name.native());
        const int fd = openat(infoFd, (name.native() + ".trashinfo").c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (write(fd, info.data(), info.size()) < 0)
            std::perror("write");
        close(fd);
        renameat2(open.fd(), name.c_str(), filesFd, name.c_str(), RENAME_NOREPLACE);
    }
    close(infoFd);
    close(filesFd);
    close(trashFd);
    return Since(start);
}

double DeleteTreeAt(const std::filesystem::path& folder)
{
    const auto start = Clock::now();
    {
        const OpenFolder open(folder);
        for (const std::filesystem::path& name : ReadNames(open.dir(), true))
            DeleteSubfolderAt(open.fd(), name.c_str());
    }
    rmdir(folder.c_str());
    return Since(start);
}

} // namespace bench
