#pragma once

// The one way the suites and the benchmark make scratch folders: a fresh folder that goes,
// whatever was left in it, and the files and subfolders to fill it with. No Qt, no GoogleTest:
// the core suites and the benchmark use it too.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <system_error>

namespace scratch {

namespace fs = std::filesystem;

// Creates an empty file, or one with the given contents, replacing what was there.
inline void Touch(const fs::path& file, const std::string& contents = {})
{
    std::ofstream(file, std::ios::binary) << contents;
}

// A whole file's bytes; empty when it cannot be read.
inline std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Everything below the folder, by path relative to it: a file's bytes, "/" for a folder, or
// "-> " and where a link leads. Empty when the folder is missing.
inline std::map<std::string, std::string> Contents(const fs::path& folder)
{
    std::map<std::string, std::string> items;
    std::error_code missing;
    for (auto it = fs::recursive_directory_iterator(folder, missing);
         it != fs::recursive_directory_iterator(); ++it) {
        const fs::file_status status = it->symlink_status();
        items[fs::relative(it->path(), folder).generic_string()] =
            fs::is_symlink(status)     ? "-> " + fs::read_symlink(it->path()).string()
            : fs::is_directory(status) ? "/"
                                       : readFile(it->path());
    }
    return items;
}

// A fresh folder named `prefix` and a random number under `parent` (or `prefix` alone, with
// `exactName`), removed with all it holds when the object goes: write permission is given back
// first, so that read-only leftovers go too, and names that are not UTF-8 go as well.
class ScratchFolder {
public:
    explicit ScratchFolder(const fs::path& parent = fs::temp_directory_path(),
                           const std::string& prefix = "ffname-test-", bool exactName = false)
    {
        std::random_device random;
        root_ = parent / (exactName ? prefix : prefix + std::to_string(random()));
        fs::create_directories(root_);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    ~ScratchFolder()
    {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(root_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root_, ignored);
    }

    const fs::path& root() const { return root_; }
    fs::path at(const fs::path& relative) const { return root_ / relative; }

    // A file of the contents at the relative path, with the folders above it.
    fs::path write(const fs::path& relative, const std::string& contents = "data") const
    {
        const fs::path path = at(relative);
        fs::create_directories(path.parent_path());
        Touch(path, contents);
        return path;
    }

    fs::path folder(const fs::path& relative) const
    {
        fs::create_directories(at(relative));
        return at(relative);
    }

private:
    fs::path root_;
};

// What FillNumbered makes: entries named by the printf pattern from 1 up, empty files or
// subfolders, each subfolder holding the empty file `inEach` when that is given.
struct Numbered {
    const char* pattern;
    bool subfolders = false;
    const char* inEach = nullptr;
};

// Makes the folder afresh with `count` numbered entries.
inline void FillNumbered(const fs::path& folder, int count, const Numbered& entries)
{
    fs::remove_all(folder);
    fs::create_directories(folder);
    char name[64];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, entries.pattern, i);
        if (!entries.subfolders) {
            Touch(folder / name);
            continue;
        }
        fs::create_directory(folder / name);
        if (entries.inEach)
            Touch(folder / name / entries.inEach);
    }
}

} // namespace scratch
